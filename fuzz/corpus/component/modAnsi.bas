Attribute VB_Name = "modAnsi"
Option Explicit

' Résumé of the café's menu, in Windows-1252: “smart quotes” and the € sign.
Public Const CAFE As String = "Café crème"

Public Function Greeting() As String
    Greeting = "Déjà vu — " & CAFE
End Function
