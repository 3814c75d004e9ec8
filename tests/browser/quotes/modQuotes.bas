Attribute VB_Name = "modQuotes"
Option Explicit
' Tags like <b> & "quotes" aren't markup
' second comment line & <i>

Public Function Wrap(ByVal s As String) As String
    If s < "<" And s <> "&amp;" Then
        Wrap = "<" & s & ">" ' it's "tagged" <script>alert(1)</script>
    Else
        Wrap = "'" & Chr$(34) & "&lt;" & "&&"
    End If
End Function
