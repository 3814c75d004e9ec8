// Platform services of the command line: messages go to stderr, a question is answered by
// --yes or at a terminal prompt, and refused (No) when no one is there to answer.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/platform/platform_services.h"

namespace marquill::shell {

class ConsolePlatform : public PlatformServices {
 public:
  // `interactive` defaults to whether stdin and stderr are terminals.
  ConsolePlatform(bool assume_yes, std::istream& in, std::ostream& err,
                  std::optional<bool> interactive = std::nullopt);
  // Standard streams.
  explicit ConsolePlatform(bool assume_yes);

  MsgBoxResult MsgBox(const MessageBox& box) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view default_text) override;
  std::optional<std::string> OpenFileDialog(const FileDialog& dialog) override;
  std::optional<host::Color> ColorDialog(host::Color initial) override;
  std::optional<std::string> BrowseForFolder(std::string_view title) override;
  bool ShellOpen(std::string_view path) override;
  bool StartProgram(std::string_view command_line) override;
  std::string SystemFolder() override;
  std::string Environment(std::string_view name) override;

 private:
  // Shows `prompt` and reads one line; nullopt when no one can answer or input ended.
  std::optional<std::string> Ask(std::string_view prompt);

  bool assume_yes_;
  std::istream& in_;
  std::ostream& err_;
  bool interactive_;
};

// The arguments of a command line as Windows splits them: blanks separate, double quotes group
// (and are dropped).
std::vector<std::string> SplitCommandLine(std::string_view command_line);

// The Windows folder of the Wine prefix ($WINEPREFIX, else ~/.wine) ending in the separator;
// "" when there is none.
std::string WineWindowsFolder();

}  // namespace marquill::shell
