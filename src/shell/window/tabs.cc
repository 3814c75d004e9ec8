#include "shell/window/tabs.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace marquill::shell {

namespace {

template <class T>
void AddAll(ControlList& all, ControlArray<T>& array) {
  for (int index : array.Indexes()) all.push_back(&array(index));
}

void AddAll(ControlList& all, std::initializer_list<Control*> controls) {
  all.insert(all.end(), controls);
}

// Adds buttons with these captions at indexes 0, 1, 2 ...
void AddButtons(ControlArray<CommandButton>& array, int page,
                std::initializer_list<const char*> captions) {
  int index = 0;
  for (const char* caption : captions) array.Add(index++, page, caption);
}

}  // namespace

FormsTab::FormsTab() {
  pctForms.Add(0, kPage, kButtonFace).SetToolTip("Click to select an icon");
  pctForms.Add(1, kPage, kButtonFace).SetToolTip("Click to select a back color");
  AddButtons(cmdChange, kPage, {"Change", "Change", "Change", "Change", "Change", "Change"});
  AddButtons(cmdTaskBar, kPage, {"ShowInTaskbar", "Not ShowInTaskbar"});
  AddButtons(cmdTrueFalse, kPage, {"True", "False", "True", "False"});
}

void FormsTab::Register(ControlList& all) {
  AddAll(all, {&lstForms, &lblIcon, &lblBackColor});
  AddAll(all, pctForms);
  AddAll(all, {&lblScaleMode, &cmbScaleMode, &lblStartUpPos, &cmbStartUpPos, &lblBorderForm,
               &cmbBorderForm, &lblWndState, &cmbWndState});
  AddAll(all, cmdChange);
  AddAll(all, cmdTaskBar);
  AddAll(all, {&lblWhatsThisButton, &lblWhatsThisHelp});
  AddAll(all, cmdTrueFalse);
}

ControlsTab::ControlsTab() {
  AddButtons(cmdTab, kPage, {">", ">>", "<", "<<"});
  // "5" and "6" are the up and down arrows of the Marlett symbol font.
  AddButtons(cmdTabUpDown, kPage, {"5", "6"});
  for (int index : cmdTabUpDown.Indexes()) cmdTabUpDown(index).SetFontName("Marlett");
}

void ControlsTab::Register(ControlList& all) {
  AddAll(all, {&lblForms, &cmbForms, &lblControls, &lstControls, &lblNewNameControl,
               &txtNewNameControl, &cmdDelControl, &cmdRenControl, &lblTabOrder, &lstTabOrder,
               &lblTabStop, &lstTabStop, &cmdGetTab, &cmdSaveTab});
  AddAll(all, cmdTab);
  AddAll(all, cmdTabUpDown);
}

CodeTab::CodeTab() {
  optWhere.Add(0, kPage, "All project").SetValue(true);
  optWhere.Add(1, kPage, "Current module");
  optWhere.Add(2, kPage, "Selected text");
  AddButtons(cmdShortcut, kPage, {"New", "Delete", "Save"});
  cmdShortcut(2).SetEnabled(false);
}

void CodeTab::Register(ControlList& all) {
  AddAll(all, {&fraWhere});
  AddAll(all, optWhere);
  AddAll(all, {&cmdDelEmpty, &chkDelLines, &cmdCompactStr, &cndDelAllComments, &cmdDelSplit,
               &cmdSplit, &txtSplit, &cmdIndent, &txtIndent, &lstShortcuts, &txtShortcut});
  AddAll(all, cmdShortcut);
}

CommentsTab::CommentsTab() {
  chkComments.Add(0, kPage, "&Module comments");
  chkComments.Add(1, kPage, "&Standard comments");
  chkComments.Add(2, kPage, "&Also");
  chkComments.Add(3, kPage, "Delimiters");
}

void CommentsTab::Register(ControlList& all) {
  AddAll(all, chkComments);
  AddAll(all,
         {&txtDelim, &lblDelimTimes, &txtDelimNr, &txtCmtLine, &lblCommentFormat, &txtCommentFormat,
          &lblCmtModules, &cmbCmtModules, &lstComment, &cmdCommentInsert, &cmdCommentSave});
}

ErrorsTab::ErrorsTab() {
  AddButtons(cmdErrHandler, kPage, {"Remove", "Insert", "Insert custom error handler"});
  optError.Add(0, kPage, "MsgBox");
  optError.Add(1, kPage, "Debug.Print");
  optError.Add(2, kPage, "Call (name)");
}

void ErrorsTab::Register(ControlList& all) {
  AddAll(all, {&lblComponents, &cmbComponents, &lblMembers, &cmbMembers, &lblHelpCtxID,
               &txtHelpCtxID, &lblDesc, &txtDesc, &lblWhereErr, &cmbWhereErr, &lblResumeNext});
  AddAll(all, cmdErrHandler);
  AddAll(all, {&lblErrLabel, &txtErrLabel});
  AddAll(all, optError);
  AddAll(all, {&txtCallErr, &txtErrHandler, &cmdExportHTML, &txtPathHTML, &cmdPath, &lblFileHTML,
               &txtFileHTML, &chkColors});
}

AnalyserTab::AnalyserTab() {
  chkReport.Add(0, kPage, "Logs");
  chkReport.Add(1, kPage, "References");
  chkReport.Add(2, kPage, "Controls used");
  chkReport.Add(5, kPage, "Number of lines");
  chkReport.Add(6, kPage, "File names");
  AddButtons(cmdCreateRep, kPage, {"Open report in browser", "Create Report"});
  txtHTMLReport.Add(0, kPage, "", kSingleLine);
  txtHTMLReport.Add(1, kPage, "", kSingleLine);
}

void AnalyserTab::Register(ControlList& all) {
  AddAll(all, {&fraInclude});
  AddAll(all, chkReport);
  AddAll(all, cmdCreateRep);
  AddAll(all, txtHTMLReport);
  AddAll(all, {&cmdSelHTMLRep, &txtReport});
}

LogsTab::LogsTab() {
  AddButtons(cmdLogs, kPage, {"Load", "Save", "Close"});
  AddButtons(cmdRegSrv, kPage, {"Register", "Unregister"});
  cmdRegSrv(0).SetEnabled(false);
  cmdRegSrv(1).SetEnabled(false);
  AddButtons(cmdVBAddin, kPage, {"Load", "Save", "Close"});
  cmdVBAddin(1).SetEnabled(false);
  cmdVBAddin(2).SetEnabled(false);
}

void LogsTab::Register(ControlList& all) {
  AddAll(all, {&lblLogs, &txtLogs, &txtTotalLogs});
  AddAll(all, cmdLogs);
  AddAll(all, {&lblRegSrv, &txtRegSrv, &cmdRegSrvSel});
  AddAll(all, cmdRegSrv);
  AddAll(all, {&lblVBAddin, &txtVBAddin});
  AddAll(all, cmdVBAddin);
}

StartTab::StartTab() = default;

void StartTab::Register(ControlList& all) {
  AddAll(all, {&picLogo, &lblProduct, &lblAbout, &lblHelpHint, &cmdHelp});
}

}  // namespace marquill::shell
