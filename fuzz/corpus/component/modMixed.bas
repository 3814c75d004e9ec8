Attribute VB_Name = "modMixed"
Option Explicit

' Some lines end in CR LF, some in LF only; the last has no break at all.
Public Sub Touch()
    Debug.Print "touched"
End Sub