// Failures of reading or writing project files, with the place they were found.
#pragma once

#include <stdexcept>
#include <string>

namespace marquill::host::vbfiles {

// A file that cannot be loaded: missing, unreadable, binary, or malformed at a line.
// what() reads "FILE:LINE: message" (or "FILE: message" when no line applies).
class LoadError : public std::runtime_error {
 public:
  LoadError(std::string file, int line, std::string message)
      : std::runtime_error(Format(file, line, message)),
        file_(std::move(file)),
        line_(line),
        message_(std::move(message)) {}

  const std::string& file() const { return file_; }
  int line() const { return line_; }  // 0 when the whole file is at fault
  const std::string& message() const { return message_; }

 private:
  static std::string Format(const std::string& file, int line, const std::string& message) {
    return line > 0 ? file + ":" + std::to_string(line) + ": " + message : file + ": " + message;
  }

  std::string file_;
  int line_;
  std::string message_;
};

// A save that could not be completed; no target file was changed.
class SaveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace marquill::host::vbfiles
