Attribute VB_Name = "modLf"
Option Explicit

' This module was checked out with LF line endings.
Public Function Twice(ByVal Value As Long) As Long
    Twice = Value * 2
End Function
