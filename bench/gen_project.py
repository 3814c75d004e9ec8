#!/usr/bin/env python3
"""Generates a synthetic VB6 project for benchmarks: a .vbp and its modules, classes and forms.

The code is a realistic mix: procedures with comments, runs of empty rows, continued
declarations and statements, "On Error Resume Next", nested blocks, strings holding apostrophes,
long lines; classes with properties and member attributes; forms with nested controls and
control arrays. Lines end in CR LF, as the IDE writes them. Same seed, same project.

    bench/gen_project.py --modules 500 --lines 1000000 --out /tmp/big --seed 1
"""
import argparse
import os
import random

WORDS = ("total count index value item name text result buffer offset limit width height "
         "record field column row key entry label amount price order customer invoice").split()


class Module:
    def __init__(self, rng, name, kind):
        self.rng = rng
        self.name = name
        self.kind = kind  # "bas", "cls" or "frm"
        self.lines = []
        self.procs = 0

    def ident(self):
        return self.rng.choice(WORDS).capitalize() + str(self.rng.randint(1, 99))

    def comment(self, indent=""):
        text = " ".join(self.rng.choice(WORDS) for _ in range(self.rng.randint(3, 12)))
        self.lines.append(f"{indent}' {text.capitalize()}, so it's done here.")

    def blanks(self):
        self.lines.extend([""] * self.rng.choice((1, 1, 1, 2, 3)))

    def statement(self, indent):
        r = self.rng.random()
        a, b = self.ident(), self.ident()
        if r < 0.25:
            self.lines.append(f"{indent}{a} = {b} + {self.rng.randint(1, 999)}")
        elif r < 0.35:
            self.lines.append(f'{indent}Debug.Print "It\'s {a}: " & {b} & " of " & {a} & " isn\'t '
                              f'what the {self.rng.choice(WORDS)} said it would be, so log it"')
        elif r < 0.45:
            self.lines.append(f"{indent}{a} = Format$({b}, \"0.00\") & _")
            self.lines.append(f"{indent}    \" {self.rng.choice(WORDS)}\" ' continued")
        elif r < 0.55:
            self.lines.append(f"{indent}If {a} > {b} Then")
            self.statement(indent + "    ")
            self.lines.append(f"{indent}Else")
            self.statement(indent + "    ")
            self.lines.append(f"{indent}End If")
        elif r < 0.62:
            self.lines.append(f"{indent}For i = 1 To {a}")
            self.statement(indent + "    ")
            self.lines.append(f"{indent}Next i")
        elif r < 0.68:
            self.lines.append(f"{indent}Select Case {a}")
            self.lines.append(f"{indent}    Case 1: {b} = \"one\"")
            self.lines.append(f"{indent}    Case Else: {b} = \"other\"")
            self.lines.append(f"{indent}End Select")
        elif r < 0.74:
            self.comment(indent)
        elif r < 0.80:
            self.lines.append("")
        else:
            self.lines.append(f"{indent}Call {self.ident()}({a}, \"{self.rng.choice(WORDS)}\")")

    def procedure(self, body_lines):
        self.procs += 1
        name = f"{self.rng.choice(WORDS).capitalize()}{self.procs}"
        self.comment()
        scope = self.rng.choice(("Public", "Private"))
        if self.rng.random() < 0.4:
            self.lines.append(f"{scope} Function {name}(ByVal First As Long, _")
            self.lines.append(f"    Optional ByVal Second As String = \"\") As Long")
            end = "End Function"
        else:
            self.lines.append(f"{scope} Sub {name}(ByVal First As Long)")
            end = "End Sub"
        if self.kind == "cls" and scope == "Public" and self.rng.random() < 0.5:
            self.lines.append(f'Attribute {name}.VB_Description = "Does the {self.rng.choice(WORDS)} work."')
        self.lines.append("    Dim i As Long")
        if self.rng.random() < 0.5:
            self.lines.append("    On Error Resume Next")
        start = len(self.lines)
        while len(self.lines) - start < body_lines:
            self.statement("    ")
        self.lines.append(end)
        self.blanks()

    def property(self):
        self.procs += 1
        name = f"{self.rng.choice(WORDS).capitalize()}{self.procs}"
        self.lines.append(f"Public Property Get {name}() As Long")
        self.lines.append(f'Attribute {name}.VB_Description = "The {name.lower()}."')
        self.lines.append(f"    {name} = m_{name}")
        self.lines.append("End Property")
        self.lines.append("")
        self.lines.append(f"Public Property Let {name}(ByVal NewValue As Long)")
        self.lines.append(f"    m_{name} = NewValue")
        self.lines.append("End Property")
        self.blanks()

    def fill(self, target):
        self.lines.append("Option Explicit")
        self.lines.append("")
        for _ in range(self.rng.randint(2, 6)):
            self.lines.append(f"Private m_{self.ident()} As Long")
        self.lines.append("")
        while True:
            before = len(self.lines)
            if self.kind == "cls" and self.rng.random() < 0.2:
                self.property()
            else:
                self.procedure(self.rng.randint(4, 40))
            if len(self.lines) > target:
                del self.lines[before:]  # whole procedures only, so every block is closed
                break
        while len(self.lines) < target:
            self.comment()


def form_header(rng, name):
    out = ["VERSION 5.00", f"Begin VB.Form {name} ", '   Caption         =   "%s"' % name,
           "   ClientHeight    =   4215", "   ClientLeft      =   45", "   ClientTop       =   330",
           "   ClientWidth     =   6135", '   LinkTopic       =   "Form1"',
           "   ScaleHeight     =   4215", "   ScaleWidth      =   6135",
           "   StartUpPosition =   3  'Windows Default"]
    tab = 0
    for f in range(rng.randint(1, 3)):
        out += [f"   Begin VB.Frame fraGroup{f} ", f'      Caption         =   "Group {f}"',
                "      Height          =   1500", "      Left            =   120",
                f"      TabIndex        =   {tab}", "      Top             =   120",
                "      Width           =   3000"]
        tab += 1
        for i in range(rng.randint(1, 4)):
            out += [f"      Begin VB.TextBox txtValue{f} ", "         Height          =   285",
                    f"         Index           =   {i}", "         Left            =   120",
                    f"         TabIndex        =   {tab}", f'         Text            =   "Value {i}"',
                    f"         Top             =   {300 + 360 * i}", "         Width           =   2000",
                    "      End"]
            tab += 1
        out.append("   End")
    out += ["   Begin VB.CommandButton cmdOK ", '      Caption         =   "OK"',
            "      BeginProperty Font ", '         Name            =   "MS Sans Serif"',
            "         Size            =   8.25", "      EndProperty", "      Height          =   375",
            f"      TabIndex        =   {tab}", "   End", "End"]
    out += [f'Attribute VB_Name = "{name}"', "Attribute VB_GlobalNameSpace = False",
            "Attribute VB_Creatable = False", "Attribute VB_PredeclaredId = True",
            "Attribute VB_Exposed = False"]
    return out


def class_header(name):
    return ["VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "  Persistable = 0  'NotPersistable",
            "  DataBindingBehavior = 0  'vbNone", "  DataSourceBehavior  = 0  'vbNone",
            "  MTSTransactionMode  = 0  'NotAnMTSObject", "END", f'Attribute VB_Name = "{name}"',
            "Attribute VB_GlobalNameSpace = False", "Attribute VB_Creatable = True",
            "Attribute VB_PredeclaredId = False", "Attribute VB_Exposed = False"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--modules", type=int, default=500, help="number of components")
    parser.add_argument("--lines", type=int, default=1_000_000, help="total lines of all components")
    parser.add_argument("--out", required=True, help="folder to write the project into")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    if args.modules < 1:
        parser.error("--modules must be at least 1")

    rng = random.Random(args.seed)
    os.makedirs(args.out, exist_ok=True)
    vbp = ["Type=Exe",
           r"Reference=*\G{00020430-0000-0000-C000-000000000046}#2.0#0#..\..\Windows\System32\stdole2.tlb#OLE Automation"]
    per_module, extra = divmod(args.lines, args.modules)
    for index in range(args.modules):
        kind = "frm" if index % 10 == 9 else "cls" if index % 5 == 4 else "bas"
        name = {"bas": "mod", "cls": "cls", "frm": "frm"}[kind] + f"Gen{index:04d}"
        header = (form_header(rng, name) if kind == "frm" else class_header(name) if kind == "cls"
                  else [f'Attribute VB_Name = "{name}"'])
        target = per_module + (1 if index < extra else 0)
        module = Module(rng, name, kind)
        module.fill(max(2, target - len(header)))
        with open(os.path.join(args.out, f"{name}.{kind}"), "wb") as f:
            f.write(("\r\n".join(header + module.lines) + "\r\n").encode("cp1252"))
        if kind == "frm":
            vbp.append(f"Form={name}.frm")
        elif kind == "cls":
            vbp.append(f"Class={name}; {name}.cls")
        else:
            vbp.append(f"Module={name}; {name}.bas")
    vbp += ['Startup="Sub Main"', 'Name="Generated"', "MajorVer=1", "MinorVer=0"]
    with open(os.path.join(args.out, "Project.vbp"), "wb") as f:
        f.write(("\r\n".join(vbp) + "\r\n").encode("cp1252"))


if __name__ == "__main__":
    main()
