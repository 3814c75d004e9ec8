VERSION 5.00
Begin VB.Form frmMain 
   BorderStyle     =   1  'Fixed Single
   Caption         =   "Marquill Sample"
   ClientHeight    =   4215
   ClientLeft      =   45
   ClientTop       =   330
   ClientWidth     =   6135
   Icon            =   "frmMain.frx":0000
   LinkTopic       =   "Form1"
   MaxButton       =   0   'False
   MinButton       =   0   'False
   ScaleHeight     =   4215
   ScaleWidth      =   6135
   ShowInTaskbar   =   0   'False
   StartUpPosition =   2  'CenterScreen
   Begin Marquill.ctlGauge ctlGauge1 
      Height          =   375
      Left            =   3360
      TabIndex        =   8
      Top             =   3720
      Width           =   2655
      _ExtentX        =   4683
      _ExtentY        =   661
   End
   Begin VB.Frame fraOptions 
      Caption         =   "Options"
      Height          =   2055
      Left            =   120
      TabIndex        =   4
      Top             =   1560
      Width           =   3135
      Begin VB.PictureBox picHolder 
         BorderStyle     =   0  'None
         Height          =   855
         Left            =   120
         ScaleHeight     =   855
         ScaleWidth      =   2895
         TabIndex        =   6
         Top             =   1080
         Width           =   2895
         Begin VB.CheckBox chkVerbose 
            Caption         =   "Verbose"
            Height          =   255
            Left            =   0
            TabIndex        =   7
            Top             =   120
            Width           =   1575
         End
      End
      Begin VB.CommandButton cmdOK 
         Caption         =   "OK"
         Default         =   -1  'True
         Height          =   375
         Left            =   120
         TabIndex        =   5
         Top             =   360
         Width           =   1215
      End
   End
   Begin VB.TextBox txtField 
      Height          =   285
      Index           =   2
      Left            =   120
      TabIndex        =   3
      Text            =   "Third"
      Top             =   1080
      Width           =   2895
   End
   Begin VB.TextBox txtField 
      Height          =   285
      Index           =   1
      Left            =   120
      TabIndex        =   2
      Text            =   "Second"
      Top             =   720
      Width           =   2895
   End
   Begin VB.TextBox txtField 
      Height          =   285
      Index           =   0
      Left            =   120
      TabIndex        =   1
      Text            =   "First"
      Top             =   360
      Width           =   2895
   End
   Begin VB.Label lblTitle 
      Caption         =   "Fields:"
      BeginProperty Font 
         Name            =   "MS Sans Serif"
         Size            =   8.25
         Charset         =   0
         Weight          =   700
         Underline       =   0   'False
         Italic          =   0   'False
         Strikethrough   =   0   'False
      EndProperty
      Height          =   255
      Left            =   120
      Top             =   120
      Width           =   2895
   End
   Begin VB.Line linSeparator 
      X1              =   120
      X2              =   6000
      Y1              =   3600
      Y2              =   3600
   End
End
Attribute VB_Name = "frmMain"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

' The counter this form shows; its Changed event moves the gauge.
Private WithEvents m_Counter As clsCounter
Attribute m_Counter.VB_VarHelpID = -1

Private Sub Form_Load()
    Set m_Counter = New clsCounter
    m_Counter.Name = "Clicks"
    txtField(0).Text = "It's a start"
End Sub

Private Sub cmdOK_Click()
    On Error Resume Next
    m_Counter.Increment
    If chkVerbose.Value = vbChecked Then Debug.Print "OK pressed: " & m_Counter.Count & " so far, on " & Format$(Now, "yyyy-mm-dd hh:nn:ss")
    Unload Me
End Sub

Private Sub txtField_Change(Index As Integer)
    lblTitle.Caption = "Field " & Index & " changed" ' don't count it
End Sub

Private Sub chkVerbose_Click()
    fraOptions.Caption = IIf(chkVerbose.Value = vbChecked, "Options (verbose)", "Options")
End Sub

Private Sub m_Counter_Changed(ByVal NewValue As Long)
    ctlGauge1.Value = NewValue Mod 101
End Sub
