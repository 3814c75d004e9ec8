Attribute VB_Name = "Module1"
Option Explicit

Public Sub Check(x As Object)
If IsThenable(x) Then
    Call Run(x)
End If
If x.Name = "Then" Then
    x.Name = ""
End If
If x Is Nothing Then y
Call Run(x)
End Sub
