Attribute VB_Name = "modTools"
Sub Tools()
    
End Sub
