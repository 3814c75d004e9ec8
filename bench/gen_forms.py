#!/usr/bin/env python3
"""Generates a VB6 project of forms for the designer benchmarks: each form holds frames with
nested controls, a control array, labels and text boxes, and a little code. Lines end in CR LF.

    bench/gen_forms.py --forms 500 --controls 40 --out /tmp/forms
"""
import argparse
import os

CLASSES = ("VB.TextBox", "VB.Label", "VB.CommandButton", "VB.CheckBox", "VB.ComboBox")


def control(lines, indent, cls, name, tab, index=None):
    pad = " " * indent
    lines.append(f"{pad}Begin {cls} {name} ")
    if cls != "VB.TextBox":
        lines.append(f'{pad}   Caption         =   "{name}"')
    lines.append(f"{pad}   Height          =   285")
    if index is not None:
        lines.append(f"{pad}   Index           =   {index}")
    lines.append(f"{pad}   Left            =   {120 + 60 * tab}")
    if tab:
        lines.append(f"{pad}   TabIndex        =   {tab}")
    if cls == "VB.TextBox":
        lines.append(f'{pad}   Text            =   "{name}"')
    lines.append(f"{pad}   Top             =   {120 + 30 * tab}")
    lines.append(f"{pad}   Width           =   1215")
    lines.append(f"{pad}End")


def form(name, controls):
    lines = ["VERSION 5.00", f"Begin VB.Form {name} ", '   Caption         =   "Form"',
             "   ClientHeight    =   3195", "   ClientLeft      =   60", "   ClientTop       =   345",
             "   ClientWidth     =   4680", '   LinkTopic       =   "Form1"',
             "   ScaleHeight     =   3195", "   ScaleWidth      =   4680",
             "   StartUpPosition =   3  'Windows Default"]
    tab = 0
    # A frame holding a quarter of the controls, the rest on the form, three as an array.
    nested = controls // 4
    lines.append("   Begin VB.Frame fraGroup ")
    lines.append('      Caption         =   "Group"')
    lines.append("      Height          =   2000")
    for i in range(nested - 1):
        tab += 1
        control(lines, 6, CLASSES[i % len(CLASSES)], f"ctlNested{i}", tab)
    lines.append("   End")
    for i in range(controls - nested - 3):
        tab += 1
        control(lines, 3, CLASSES[i % len(CLASSES)], f"ctlField{i}", tab)
    for index in range(3):
        tab += 1
        control(lines, 3, "VB.OptionButton", "optPick", tab, index)
    lines.append("End")
    lines += [f'Attribute VB_Name = "{name}"', "Attribute VB_GlobalNameSpace = False",
              "Attribute VB_Creatable = False", "Attribute VB_PredeclaredId = True",
              "Attribute VB_Exposed = False", "Option Explicit", "",
              "Private Sub ctlField0_Change()", "    ctlField1.Text = ctlField0.Text", "End Sub", "",
              "Private Sub optPick_Click(Index As Integer)", '    Debug.Print "picked"; Index',
              "End Sub"]
    return "\r\n".join(lines) + "\r\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--forms", type=int, default=500)
    parser.add_argument("--controls", type=int, default=40)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    vbp = ["Type=Exe"]
    for i in range(args.forms):
        name = f"frmForm{i}"
        with open(os.path.join(args.out, name + ".frm"), "w", newline="") as out:
            out.write(form(name, args.controls))
        vbp.append(f"Form={name}.frm")
    vbp += ['Name="Forms"', 'Startup="frmForm0"']
    with open(os.path.join(args.out, "Project.vbp"), "w", newline="") as out:
        out.write("\r\n".join(vbp) + "\r\n")


if __name__ == "__main__":
    main()
