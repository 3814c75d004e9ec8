Attribute VB_Name = "modDocs"
Option Explicit

Private mTotal As Long
Const kLimit = 10

' Sub Main calls Total; this comment mentions Sub and Function.
    ' Function of the module: sums things
Public Function Total(ByVal a As Long, Optional b As Integer = 2) As Long
' ----------
' Total (Function) description:
'
' Parameters: 
'    [in] a
'    [out] b
'
' Return: 
'
' Revised:
' ----------
    Total = a + b
End Function

Public Sub Main()
' ----------
' Main (Sub) description:
'
' Revised:
' ----------
    mTotal = Total(1)
End Sub

Private Sub Fill(ByVal sAsset As String, _
                 Optional ByVal x As Long = 5, _
                 ParamArray args() As Variant)
' ----------
' Fill (Sub) description:
'
' Parameters: 
'    [in] sAsset
'    [in] x
'    [out] args()
' Revised:
' ----------
End Sub

Public Function Rows(a) As Long()
' ----------
' Rows (Function) description:
'
' Parameters: 
'    [out] a
'
' Return: 
'
' Revised:
' ----------
End Function

Public Sub Pick(Optional s As String = "a,b", ByVal myFunction As Long)
' ----------
' Pick (Sub) description:
'
' Parameters: 
'    [out] s
'    [in] myFunction
' Revised:
' ----------
End Sub
