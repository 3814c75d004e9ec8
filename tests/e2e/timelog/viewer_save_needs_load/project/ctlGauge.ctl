VERSION 5.00
Begin VB.UserControl ctlGauge 
   ClientHeight    =   375
   ClientLeft      =   0
   ClientTop       =   0
   ClientWidth     =   2655
   ScaleHeight     =   375
   ScaleWidth      =   2655
   Begin VB.Shape shpBar 
      BackColor       =   &H00C00000&
      BackStyle       =   1  'Opaque
      Height          =   375
      Left            =   0
      Top             =   0
      Width           =   1335
   End
End
Attribute VB_Name = "ctlGauge"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = True
Attribute VB_PredeclaredId = False
Attribute VB_Exposed = False
Option Explicit

' A bar that fills from the left, 0 to 100.
Private m_Value As Long

Public Property Get Value() As Long
Attribute Value.VB_Description = "The position of the bar, 0 to 100."
    Value = m_Value
End Property

Public Property Let Value(ByVal NewValue As Long)
    m_Value = NewValue
    shpBar.Width = ScaleWidth * m_Value / 100
    PropertyChanged "Value"
End Property

Private Sub UserControl_ReadProperties(PropBag As PropertyBag)
    m_Value = PropBag.ReadProperty("Value", 0)
End Sub

Private Sub UserControl_WriteProperties(PropBag As PropertyBag)
    PropBag.WriteProperty "Value", m_Value, 0
End Sub
