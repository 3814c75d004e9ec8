// The step language of `marquill run`: one step a line, a verb and its arguments.
//
//   # a comment; blank lines are ignored
//   set txtSplit 60
//   choose cmbComponents modMain
//   click cmdErrHandler(1)
//
// Arguments are words, or double-quoted texts with the escapes \" \\ \r \n \t. A quoted text is
// always text: `answer "yes"` types the word yes, `answer yes` answers a question Yes.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace marquill::shell {

// A fault in a script, at a line of it. what() reads "FILE:LINE: message".
// `command_failed` tells a step the host or a command refused (exit 1 on the command line) from
// a step that cannot be done as written (exit 2).
class ScriptError : public std::runtime_error {
 public:
  ScriptError(std::string file, int line, std::string message, bool command_failed = false);
  const std::string& file() const { return file_; }
  int line() const { return line_; }
  const std::string& message() const { return message_; }
  bool command_failed() const { return command_failed_; }

 private:
  std::string file_;
  int line_;
  std::string message_;
  bool command_failed_;
};

struct ScriptToken {
  std::string text;
  bool quoted = false;
  friend bool operator==(const ScriptToken&, const ScriptToken&) = default;
};

enum class StepVerb {
  kSet,       // set CONTROL TEXT
  kCheck,     // check CONTROL 0|1|2
  kSelect,    // select OPTION
  kClick,     // click CONTROL
  kChoose,    // choose CONTROL ENTRY
  kTick,      // tick CONTROL ENTRY
  kUntick,    // untick CONTROL ENTRY
  kTab,       // tab N
  kKey,       // key CODE
  kAnswer,    // answer yes|no|cancel|TEXT
  kPane,      // pane MODULE [FIRST[,COL] LAST[,COL]] | pane none
  kMenu,      // menu CAPTION
  kToolbar,   // toolbar CAPTION
  kShortcut,  // shortcut NAME
};

// A control named by a step: `name` or `name(index)`.
struct ControlRef {
  std::string name;
  int index = -1;
  std::string Text() const;
};

struct ScriptStep {
  int line = 0;
  StepVerb verb = StepVerb::kSet;
  std::string verb_text;
  std::vector<ScriptToken> args;
};

// Splits a line into tokens; ScriptError (with `file` and `line`) for an unclosed quote or an
// unknown escape.
std::vector<ScriptToken> TokenizeLine(std::string_view text, const std::string& file, int line);

// Parses a whole script, checking every step's verb and number of arguments before anything
// runs. Lines may end in LF or CR LF; a UTF-8 byte order mark in front is skipped.
std::vector<ScriptStep> ParseScript(std::string_view text, const std::string& file);

// Reads `name` or `name(index)`; false when the text is neither.
bool ParseControlRef(std::string_view text, ControlRef& ref);

// An entry named by a step: "#N" is the 0-based position N, anything else an entry's text. A
// quoted "#N" is text.
struct EntryRef {
  int position = -1;
  std::string text;
};
EntryRef ParseEntryRef(const ScriptToken& token);

// Reads a code pane position "LINE" or "LINE,COLUMN" (column 1 when left out); false when the
// text is neither or a number is below 1.
bool ParsePanePosition(std::string_view text, int& line, int& column);

}  // namespace marquill::shell
