Attribute VB_Name = "Module1"
Option Explicit

Public Sub Report()
If Ready Then
    Call Log("short", "message")
    Call WriteAll(argument001, argument002, argument003, argument004, argument005, argument006, argument007, argument008, argument009, argument010, argument011, argument012, argument013, argument014, argument015, argument016, argument017, argument018, argument019, argument020, argument021, argument022, argument023, argument024, argument025, argument026, argument027, argument028, argument029, argument030, argument031, argument032, argument033, argument034, argument035, argument036, argument037, argument038, argument039, argument040, argument041, argument042, argument043, argument044, argument045, argument046, ar, _
    gument047, argument048, argument049, argument050, argument051, argument052, argument053, argument054, argument055, argument056, argument057, argument058, argument059, argument060, argument061, argument062, argument063, argument064, argument065, argument066, argument067, argument068, argument069, argument070, argument071, argument072, argument073, argument074, argument075, argument076, argument077, argument078, argument079)
End If
End Sub
