Attribute VB_Name = "modTools"
Sub Tools()
    ' nothing yet
End Sub
