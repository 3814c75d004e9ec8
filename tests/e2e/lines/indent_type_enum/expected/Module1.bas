Attribute VB_Name = "Module1"
Option Explicit

Private Type Shape
    Kind As Long
End Type
Public Enum ShapeKind
    skCircle = 1
End Enum
Public Sub Draw(s As Shape, c As Object)
If c.Type = 1 Then s.Kind = 2
c.Type = 3
Debug.Print "Type " & c.Type
With c
    .Enum = skCircle
End With
End Sub
