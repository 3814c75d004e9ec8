Attribute VB_Name = "modDocs"
Option Explicit

Private mTotal As Long
Const kLimit = 10

' Sub Main calls Total; this comment mentions Sub and Function.
    ' Function of the module: sums things
Public Function Total(ByVal a As Long, Optional b As Integer = 2) As Long
    Total = a + b
End Function

Public Sub Main()
    mTotal = Total(1)
End Sub

Private Sub Fill(ByVal sAsset As String, _
                 Optional ByVal x As Long = 5, _
                 ParamArray args() As Variant)
End Sub

Public Function Rows(a) As Long()
End Function

Public Sub Pick(Optional s As String = "a,b", ByVal myFunction As Long)
End Sub
