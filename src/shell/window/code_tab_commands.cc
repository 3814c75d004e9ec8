#include "shell/window/code_tab_commands.h"

#include "host/ignore_errors.h"
#include "host/text/vb_text.h"
#include "shell/window/frm_utility.h"
#include "transform/indentation.h"
#include "transform/line_cleanup.h"
#include "transform/split_join.h"

namespace marquill::shell {
namespace {

// Runs a procedure without a number over the selected target. Without the IDE root there is no
// target at all.
void RunOverTarget(frmUtility& window, const host::LineProcedure& procedure) {
  if (host::Vbe* vbe = window.Vbe()) host::RunLineProcedure(*vbe, SelectedScope(window), procedure);
}

// The same for a procedure taking the whole number of `field`, read anew for every module.
void RunOverTarget(frmUtility& window, const TextBox& field,
                   const host::NumberedLineProcedure& procedure) {
  host::Vbe* vbe = window.Vbe();
  if (vbe == nullptr) return;
  host::RunLineProcedure(
      *vbe, SelectedScope(window), [&field] { return field.Text(); }, procedure);
}

// Joins continued statements, counting those left continued in the window's notes.
void JoinOverTarget(frmUtility& window) {
  LineCommandNotes& notes = window.lineNotes;
  RunOverTarget(window, [&notes](host::CodeModule& module, int first, int last) {
    transform::JoinReport report;
    try {
      transform::JoinLines(module, first, last, &report);
    } catch (const host::HostError&) {
      notes.statements_left_continued += report.left_continued;
      throw;
    }
    notes.statements_left_continued += report.left_continued;
  });
}

void NormaliseNumberField(TextBox& field) {
  // A text too large for a number stays as typed; the commands' entry test then rejects it.
  host::Step([&field] { field.SetText(host::DecimalFieldText(field.Text())); });
}

}  // namespace

host::Scope SelectedScope(const CodeTab& tab) {
  if (tab.optWhere(0).Value()) return host::Scope::kAllProject;
  if (tab.optWhere(1).Value()) return host::Scope::kCurrentModule;
  return host::Scope::kSelectedText;
}

void cmdDelEmpty_Click(frmUtility& window) {
  RunOverTarget(window, [&window](host::CodeModule& module, int first, int last) {
    transform::DelEmptyRows(module, first, last, window.chkDelLines.On());
  });
}

void cmdCompactStr_Click(frmUtility& window) { RunOverTarget(window, transform::CompactStrings); }

void cndDelAllComments_Click(frmUtility& window) { RunOverTarget(window, transform::DelComments); }

void cmdDelSplit_Click(frmUtility& window) {
  window.lineNotes = {};
  JoinOverTarget(window);
}

void cmdSplit_Click(frmUtility& window) {
  if (!host::NumberFieldPasses(window.txtSplit.Text())) return;
  RunOverTarget(window, window.txtSplit, transform::SplitLines);
}

void cmdIndent_Click(frmUtility& window) {
  window.lineNotes = {};
  if (!host::NumberFieldPasses(window.txtIndent.Text())) return;
  const MsgBoxResult answer = window.Platform().MsgBox(MessageBox{
      std::string(kIndentQuestion), std::string(kIndentQuestionTitle), MsgBoxButtons::kYesNo});
  if (answer != MsgBoxResult::kYes) return;
  // The block rules read one physical line at a time: continued statements become one line first.
  JoinOverTarget(window);
  LineCommandNotes& notes = window.lineNotes;
  RunOverTarget(window, window.txtIndent,
                [&notes](host::CodeModule& module, int first, int last, int width) {
                  try {
                    transform::IndentLines(module, first, last, width);
                  } catch (const transform::IndentStop& stop) {
                    // The window says nothing, as for any failure; the note is for the caller.
                    notes.stops.push_back({module.Parent().Name(), stop.line(), stop.what()});
                    throw;
                  }
                });
}

void txtSplit_LostFocus(frmUtility& window) { NormaliseNumberField(window.txtSplit); }

void txtIndent_Change(frmUtility& window) { NormaliseNumberField(window.txtIndent); }

void AttachLineCommands(frmUtility& window) {
  window.cmdDelEmpty.OnClick([&window] { cmdDelEmpty_Click(window); });
  window.cmdCompactStr.OnClick([&window] { cmdCompactStr_Click(window); });
  window.cndDelAllComments.OnClick([&window] { cndDelAllComments_Click(window); });
  window.cmdDelSplit.OnClick([&window] { cmdDelSplit_Click(window); });
  window.cmdSplit.OnClick([&window] { cmdSplit_Click(window); });
  window.cmdIndent.OnClick([&window] { cmdIndent_Click(window); });
  window.txtSplit.OnLostFocus([&window] { txtSplit_LostFocus(window); });
  window.txtIndent.OnChange([&window] { txtIndent_Change(window); });
}

}  // namespace marquill::shell
