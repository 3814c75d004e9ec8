VERSION 5.00
Object = "{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCTL.OCX"
Begin VB.Form frmNested 
   BackColor       =   &H00FFFFFF&
   Caption         =   "Nested"
   ClientHeight    =   5000
   ClientLeft      =   60
   ClientTop       =   450
   ClientWidth     =   7000
   BeginProperty Font 
      Name            =   "Tahoma"
      Size            =   8.25
      Charset         =   0
      Weight          =   400
      Underline       =   0   'False
      Italic          =   0   'False
      Strikethrough   =   0   'False
   EndProperty
   LinkTopic       =   "Form1"
   ScaleHeight     =   5000
   ScaleMode       =   3  'Pixel
   ScaleWidth      =   7000
   StartUpPosition =   3  'Windows Default
   Begin MSComctlLib.ListView lvwItems 
      Height          =   1500
      Left            =   3600
      TabIndex        =   6
      Top             =   120
      Width           =   3255
      _ExtentX        =   5741
      _ExtentY        =   2646
      View            =   3
      LabelWrap       =   -1  'True
      HideSelection   =   -1  'True
      _Version        =   393217
      ForeColor       =   -2147483640
      BackColor       =   -2147483643
      BorderStyle     =   1
      Appearance      =   1
      NumItems        =   2
      BeginProperty ColumnHeader(1) {BDD1F052-858B-11D1-B16A-00C0F0283628} 
         Text            =   "Name"
         Object.Width           =   2540
      EndProperty
      BeginProperty ColumnHeader(2) {BDD1F052-858B-11D1-B16A-00C0F0283628} 
         SubItemIndex    =   1
         Text            =   "Value"
         Object.Width           =   2540
      EndProperty
   End
   Begin VB.Frame fraOuter 
      Caption         =   "Outer"
      Height          =   3000
      Left            =   120
      TabIndex        =   0
      Top             =   120
      Width           =   3300
      Begin VB.Frame fraInner 
         Caption         =   "Inner"
         Height          =   2200
         Left            =   120
         TabIndex        =   1
         Top             =   360
         Width           =   3000
         Begin VB.PictureBox picDeep 
            Height          =   1400
            Left            =   120
            ScaleHeight     =   1340
            ScaleWidth      =   2700
            TabIndex        =   2
            Top             =   360
            Width           =   2760
            Begin VB.CommandButton cmdDeep 
               Caption         =   "Deep"
               Height          =   375
               Left            =   120
               TabIndex        =   3
               Top             =   120
               Width           =   1215
            End
            Begin VB.OptionButton optPick 
               Caption         =   "B"
               Height          =   255
               Index           =   1
               Left            =   1440
               TabIndex        =   5
               Top             =   720
               Width           =   1095
            End
            Begin VB.OptionButton optPick 
               Caption         =   "A"
               Height          =   255
               Index           =   0
               Left            =   120
               TabIndex        =   4
               Top             =   720
               Value           =   -1  'True
               Width           =   1095
            End
         End
      End
   End
   Begin VB.Timer tmrTick 
      Interval        =   1000
      Left            =   6480
      Top             =   4440
   End
   Begin VB.Image imgLogo 
      Height          =   480
      Left            =   120
      Stretch         =   -1  'True
      Top             =   4320
      Width           =   480
   End
   Begin VB.Menu mnuEdit 
      Caption         =   "&Edit"
      Begin VB.Menu mnuEditCopy 
         Caption         =   "&Copy"
         Shortcut        =   ^C
      End
   End
End
Attribute VB_Name = "frmNested"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private Sub cmdDeep_Click()
    optPick(0).Value = True
End Sub

Private Sub optPick_Click(Index As Integer)
    lvwItems.ListItems.Clear
End Sub

Private Sub tmrTick_Timer()
    cmdDeep.Caption = Format$(Time, "hh:nn:ss")
End Sub
