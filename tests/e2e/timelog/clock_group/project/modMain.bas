Attribute VB_Name = "modMain"
Option Explicit

' Helpers shared by the sample's forms.
' Don't remove the strings with apostrophes: "It's" must survive every cleanup.

Public Declare Function GetTickCount Lib "kernel32" () As Long
Private Declare Function GetPrivateProfileString Lib "kernel32" Alias "GetPrivateProfileStringA" _
    (ByVal lpApplicationName As String, ByVal lpKeyName As Any, ByVal lpDefault As String, _
     ByVal lpReturnedString As String, ByVal nSize As Long, ByVal lpFileName As String) As Long

Public Const APP_TITLE As String = "Marquill Sample"
Private Const MAX_ITEMS As Long = 100
Private Const QUOTE_NOTE As String = "It's ""quoted"" here" ' a comment after a string with ' in it

Public Enum CounterMode
    cmUp = 0
    cmDown = 1
End Enum

Public Type FieldInfo
    Name As String
    Width As Long
End Type

Public g_Counter As clsCounter
Private m_Started As Long



Public Sub Main()
    On Error Resume Next
    m_Started = GetTickCount
    Set g_Counter = New clsCounter
    mdiMain.Show
    frmMain.Show
End Sub

' Joins two texts with a separator, leaving out empty ones.
Public Function JoinTexts(ByVal First As String, ByVal Second As String, _
                          Optional ByVal Separator As String = ", ") As String
    If Len(First) = 0 Then
        JoinTexts = Second
    ElseIf Len(Second) = 0 Then
        JoinTexts = First
    Else
        JoinTexts = First & Separator & Second ' it's joined
    End If
End Function


Public Function Describe(ByVal Mode As CounterMode) As String
    Select Case Mode
        Case cmUp: Describe = "Counting up, one step at a time, until the user stops it or the count reaches " & MAX_ITEMS
        Case Else: Describe = "Counting down"
    End Select
End Function

Private Function ReadSetting(ByVal Section As String, ByVal Key As String) As String
    Dim Buffer As String
    Dim Length As Long

    On Error Resume Next
    Buffer = String$(255, 0)
    Length = GetPrivateProfileString(Section, Key, "", Buffer, Len(Buffer), App.Path & "\marquill.ini")
    ReadSetting = Left$(Buffer, Length)
End Function

Public Function Elapsed() As Long
    Elapsed = GetTickCount - m_Started
End Function
