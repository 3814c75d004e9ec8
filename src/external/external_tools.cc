#include "external/external_tools.h"

#include <filesystem>

namespace marquill::external {

namespace {
constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
}  // namespace

std::string RegistrationCommandLine(std::string_view system_folder, std::string_view server_file,
                                    bool unregister) {
  return std::string(system_folder) + (unregister ? "regsvr32.exe /u " : "regsvr32.exe ") + "\"" +
         std::string(server_file) + "\"";
}

std::string ServerFileProblem(std::string_view server_file) {
  const std::string file(server_file);
  if (file.find('"') != std::string::npos) {
    return "The server file name " + file +
           " holds a double quote; regsvr32 would read it as two arguments.";
  }
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    return "The server file " + file + " does not exist.";
  }
  return "";
}

std::string AddinListPath(std::string_view windir) {
  std::string path(windir);
  if (!path.empty() && path.back() != kSeparator) path += kSeparator;
  return path + "vbaddin.ini";
}

}  // namespace marquill::external
