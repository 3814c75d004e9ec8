Attribute VB_Name = "Module1"
Option Explicit

Public Sub Walk(items As Collection)
Dim NextItem As Long, Elsewhere As Long, LoopCount As Long, Ending As Long
For NextItem = 1 To items.Count
    LoopCount = LoopCount + 1
    Elsewhere = NextItem
    Ending = 1
    Do While Elsewhere > 0
        Elsewhere = Elsewhere - 1
    Loop
Next NextItem
If LoopCount = 0 Then
    End
Else:
    Ending = 2
End If
End Sub
