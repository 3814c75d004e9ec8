Attribute VB_Name = "Module1"
Option Explicit

Public Function Grade(ByVal score As Long) As String
Select Case score
Case Is >= 90
If score = 100 Then ' a perfect score
Grade = "A+"
Else
Grade = "A"
End If
Case Else
If score < 0 Then Grade = "?" ' never
Grade = "B"
End Select
End Function
