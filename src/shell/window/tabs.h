// The controls of the main window's eight tabs, with their design-time captions, start values
// and enabled states. Behaviour is attached by the subsystem owning each tab; these structs only
// say what the window holds when it is created. Names are the add-in's own (a typo such as
// `cndDelAllComments` included), since handlers and scripts refer to them.
#pragma once

#include <string>
#include <vector>

#include "shell/window/controls.h"

namespace marquill::shell {

// Every control of the window, for look-up by name and for front ends that draw them all.
using ControlList = std::vector<Control*>;

// Design back colour of a picture box: the system's button face, &H8000000F&.
inline constexpr host::Color kButtonFace{0x8000000F};

// 0 "&Forms": the form property batch editor.
struct FormsTab {
  static constexpr int kPage = 0;
  FormsTab();
  void Register(ControlList& all);

  ListBox lstForms{"lstForms", kPage, /*check_boxes=*/true};
  Label lblIcon{"lblIcon", kPage, "Icon:"};
  Label lblBackColor{"lblBackColor", kPage, "Back color:"};
  ControlArray<PictureBox> pctForms{"pctForms"};
  Label lblScaleMode{"lblScaleMode", kPage, "Scale mode:"};
  ComboBox cmbScaleMode{
      "cmbScaleMode",
      kPage,
      {"User", "Twips", "Point", "Pixel", "Character", "Inch", "Millimeter", "Centimeter"}};
  Label lblStartUpPos{"lblStartUpPos", kPage, "Start up position:"};
  ComboBox cmbStartUpPos{
      "cmbStartUpPos", kPage, {"Manual", "Center Owner", "Center Screen", "Windows Default"}};
  Label lblBorderForm{"lblBorderForm", kPage, "Border style:"};
  ComboBox cmbBorderForm{"cmbBorderForm",
                         kPage,
                         {"None", "Fixed Single", "Sizable", "Fixed Dialog", "Fixed ToolWindow",
                          "Sizable ToolWindow"}};
  Label lblWndState{"lblWndState", kPage, "Window state:"};
  ComboBox cmbWndState{"cmbWndState", kPage, {"Normal", "Minimized", "Maximized"}};
  ControlArray<CommandButton> cmdChange{"cmdChange"};
  ControlArray<CommandButton> cmdTaskBar{"cmdTaskBar"};
  Label lblWhatsThisButton{"lblWhatsThisButton", kPage, "WhatsThisButton:"};
  Label lblWhatsThisHelp{"lblWhatsThisHelp", kPage, "WhatsThisHelp:"};
  ControlArray<CommandButton> cmdTrueFalse{"cmdTrueFalse"};
};

// 1 "&Controls": control delete and rename, tab order.
struct ControlsTab {
  static constexpr int kPage = 1;
  ControlsTab();
  void Register(ControlList& all);

  Label lblForms{"lblForms", kPage, "Forms:"};
  ComboBox cmbForms{"cmbForms", kPage};
  Label lblControls{"lblControls", kPage, "Controls:"};
  ListBox lstControls{"lstControls", kPage};
  Label lblNewNameControl{"lblNewNameControl", kPage, "New name:"};
  TextBox txtNewNameControl{"txtNewNameControl", kPage};
  CommandButton cmdDelControl{"cmdDelControl", -1, kPage, "Delete"};
  CommandButton cmdRenControl{"cmdRenControl", -1, kPage, "Rename"};
  Label lblTabOrder{"lblTabOrder", kPage, "Tab order:"};
  ListBox lstTabOrder{"lstTabOrder", kPage};
  Label lblTabStop{"lblTabStop", kPage, "Tab stop false:"};
  ListBox lstTabStop{"lstTabStop", kPage};
  CommandButton cmdGetTab{"cmdGetTab", -1, kPage, "Get TabOrder && TabStop"};
  CommandButton cmdSaveTab{"cmdSaveTab", -1, kPage, "Save TabOrder && TabStop"};
  ControlArray<CommandButton> cmdTab{"cmdTab"};
  ControlArray<CommandButton> cmdTabUpDown{"cmdTabUpDown"};
};

// What the last line command met that the window keeps quiet about; the command line reports it.
struct LineCommandNotes {
  struct Stop {
    std::string module;  // the component's name
    int line = 0;
    std::string reason;
  };
  int statements_left_continued = 0;  // joins one code line could not hold
  std::vector<Stop> stops;            // modules a procedure gave up on, first come first
};

// 2 "C&ode && Shortcuts": the line commands with their scope, and the shortcut editor.
struct CodeTab {
  static constexpr int kPage = 2;
  CodeTab();
  void Register(ControlList& all);

  Label fraWhere{"fraWhere", kPage, "Where", /*frame=*/true};
  ControlArray<OptionButton> optWhere{"optWhere"};
  CommandButton cmdDelEmpty{"cmdDelEmpty", -1, kPage, "Delete empty rows"};
  CheckBox chkDelLines{"chkDelLines", -1, kPage, "all", 1};
  CommandButton cmdCompactStr{"cmdCompactStr", -1, kPage, "Compact constant strings"};
  CommandButton cndDelAllComments{"cndDelAllComments", -1, kPage, "Delete all comments"};
  CommandButton cmdDelSplit{"cmdDelSplit", -1, kPage, "Use single line (delete _)"};
  CommandButton cmdSplit{"cmdSplit", -1, kPage, "Split line at most"};
  TextBox txtSplit{"txtSplit", kPage, "80"};
  CommandButton cmdIndent{"cmdIndent", -1, kPage, "Indent"};
  TextBox txtIndent{"txtIndent", kPage, "4"};
  ListBox lstShortcuts{"lstShortcuts", kPage};
  TextBox txtShortcut{"txtShortcut", kPage, "", kMultiLine | kVerticalScroll};
  ControlArray<CommandButton> cmdShortcut{"cmdShortcut"};
  LineCommandNotes lineNotes;
};

// 3 "Co&mments": comment templates and header insertion.
struct CommentsTab {
  static constexpr int kPage = 3;
  CommentsTab();
  void Register(ControlList& all);

  ControlArray<CheckBox> chkComments{"chkComments"};
  TextBox txtDelim{"txtDelim", kPage};
  Label lblDelimTimes{"lblDelimTimes", kPage, "x"};
  TextBox txtDelimNr{"txtDelimNr", kPage};
  TextBox txtCmtLine{"txtCmtLine", kPage, "", kMultiLine | kVerticalScroll | kFixedPitch};
  Label lblCommentFormat{"lblCommentFormat", kPage, "Module copyright && description:"};
  TextBox txtCommentFormat{"txtCommentFormat", kPage, "", kMultiLine | kBothScrolls | kFixedPitch};
  Label lblCmtModules{"lblCmtModules", kPage, "Modules:"};
  ComboBox cmbCmtModules{"cmbCmtModules", kPage};
  ListBox lstComment{"lstComment", kPage, /*check_boxes=*/true};
  CommandButton cmdCommentInsert{"cmdCommentInsert", -1, kPage, "&Insert"};
  CommandButton cmdCommentSave{"cmdCommentSave", -1, kPage, "&Save"};
};

// 4 "&Err handling&&Export": member pickers and attributes, error handlers, HTML export.
struct ErrorsTab {
  static constexpr int kPage = 4;
  ErrorsTab();
  void Register(ControlList& all);

  Label lblComponents{"lblComponents", kPage, "Components:"};
  ComboBox cmbComponents{"cmbComponents", kPage};
  Label lblMembers{"lblMembers", kPage, "Members:"};
  ComboBox cmbMembers{"cmbMembers", kPage};
  Label lblHelpCtxID{"lblHelpCtxID", kPage, "Help Context ID:"};
  TextBox txtHelpCtxID{"txtHelpCtxID", kPage};
  Label lblDesc{"lblDesc", kPage, "Description:"};
  TextBox txtDesc{"txtDesc", kPage, "", kMultiLine};

  Label lblWhereErr{"lblWhereErr", kPage, "Apply to:"};
  ComboBox cmbWhereErr{"cmbWhereErr", kPage, {"selected component", "selected member"}};
  Label lblResumeNext{"lblResumeNext", kPage, "On Error Resume Next:"};
  ControlArray<CommandButton> cmdErrHandler{"cmdErrHandler"};
  Label lblErrLabel{"lblErrLabel", kPage, "Error label:"};
  TextBox txtErrLabel{"txtErrLabel", kPage, "err_label"};
  ControlArray<OptionButton> optError{"optError"};
  TextBox txtCallErr{"txtCallErr", kPage};
  TextBox txtErrHandler{"txtErrHandler", kPage, "", kMultiLine | kBothScrolls};

  CommandButton cmdExportHTML{"cmdExportHTML", -1, kPage, "Export as HTML", /*enabled=*/false};
  TextBox txtPathHTML{"txtPathHTML", kPage};
  CommandButton cmdPath{"cmdPath", -1, kPage, "..."};
  Label lblFileHTML{"lblFileHTML", kPage, "HTML file (*.htm or *.html):"};
  TextBox txtFileHTML{"txtFileHTML", kPage};
  CheckBox chkColors{"chkColors", -1, kPage, "&Use VB standard colors"};
};

// 5 "&Analyser": the project report.
struct AnalyserTab {
  static constexpr int kPage = 5;
  AnalyserTab();
  void Register(ControlList& all);

  Label fraInclude{"fraInclude", kPage, "Include...", /*frame=*/true};
  ControlArray<CheckBox> chkReport{"chkReport"};  // indexes 0, 1, 2, 5 and 6
  ControlArray<CommandButton> cmdCreateRep{"cmdCreateRep"};
  ControlArray<TextBox> txtHTMLReport{"txtHTMLReport"};  // 0 file name, 1 folder
  CommandButton cmdSelHTMLRep{"cmdSelHTMLRep", -1, kPage, "..."};
  TextBox txtReport{"txtReport", kPage, "", kMultiLine | kFixedPitch};
};

// 6 "&Logs && External": time log viewer, server registration, add-in list.
struct LogsTab {
  static constexpr int kPage = 6;
  LogsTab();
  void Register(ControlList& all);

  Label lblLogs{"lblLogs", kPage, "Logs:"};
  TextBox txtLogs{"txtLogs", kPage, "", kMultiLine};
  TextBox txtTotalLogs{"txtTotalLogs", kPage, "", kLocked};
  ControlArray<CommandButton> cmdLogs{"cmdLogs"};

  Label lblRegSrv{"lblRegSrv", kPage, "Custom controls and components:"};
  TextBox txtRegSrv{"txtRegSrv", kPage};
  CommandButton cmdRegSrvSel{"cmdRegSrvSel", -1, kPage, "..."};
  ControlArray<CommandButton> cmdRegSrv{"cmdRegSrv"};

  Label lblVBAddin{"lblVBAddin", kPage, "VBAddiIn.ini"};
  TextBox txtVBAddin{"txtVBAddin", kPage, "", kMultiLine};
  ControlArray<CommandButton> cmdVBAddin{"cmdVBAddin"};
};

// 7 "&Start": product name, logo and help.
struct StartTab {
  static constexpr int kPage = 7;
  StartTab();
  void Register(ControlList& all);

  PictureBox picLogo{"picLogo", -1, kPage, kButtonFace};
  Label lblProduct{"lblProduct", kPage, "VB Marquill v1.01"};
  Label lblAbout{"lblAbout", kPage,
                 "Source-code tools for Visual Basic 6 projects: line cleanup, layout and "
                 "indentation, error handlers, member descriptions, header comments, form and "
                 "control tools, HTML export, project report, time log and code shortcuts."};
  Label lblHelpHint{"lblHelpHint", kPage, "Press F1 or Help for the manual."};
  CommandButton cmdHelp{"cmdHelp", -1, kPage, "&Help"};
};

}  // namespace marquill::shell
