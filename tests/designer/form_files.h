// Projects of form files on disk for the designer tools' tests: written to a scratch folder,
// loaded through the project loader, and read back as the bytes a save would write.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/memory/memory_host.h"
#include "host/vbfiles/vb_project.h"
#include "support/files.h"

namespace marquill::designer::testing_util {

using ::marquill::test::Crlf;
using ::marquill::test::ReadBytes;
using ::marquill::test::WriteBytes;

// A form file: the designer block, the attributes and the code.
inline std::string FormFile(const std::string& name, const std::vector<std::string>& designer,
                            const std::vector<std::string>& code = {},
                            const std::string& form_class = "VB.Form") {
  std::vector<std::string> lines = {"VERSION 5.00", "Begin " + form_class + " " + name};
  lines.insert(lines.end(), designer.begin(), designer.end());
  lines.push_back("End");
  lines.push_back("Attribute VB_Name = \"" + name + "\"");
  lines.insert(lines.end(), code.begin(), code.end());
  return Crlf(lines);
}

// Forms written as NAME.frm beside Project.vbp, then loaded.
class FormProject {
 public:
  explicit FormProject(const std::vector<std::pair<std::string, std::string>>& forms) {
    std::string vbp = "Type=Exe\r\n";
    for (const auto& [name, text] : forms) {
      WriteBytes(folder_ / (name + ".frm"), text);
      vbp += "Form=" + name + ".frm\r\n";
    }
    WriteBytes(folder_ / "Project.vbp", vbp + "Name=\"Project1\"\r\n");
    Reload();
  }
  void Reload() { files_ = host::vbfiles::VbProject::Load(folder_ / "Project.vbp"); }
  host::MemoryProject& project() { return files_->Project(); }
  host::Component& form(const std::string& name) { return project().ComponentNamed(name); }
  host::FormDesigner& designer(const std::string& name) { return *form(name).Designer(); }
  const std::filesystem::path& folder() const { return folder_.path(); }
  host::vbfiles::VbProject& files() { return *files_; }

  // The bytes a save would write for `file` (a name in the folder); the bytes on disk when the
  // file is unchanged.
  std::string Saved(const std::string& file) {
    for (const auto& output : files_->SaveToMemory()) {
      if (output.path.filename() == file) return output.bytes;
    }
    return ReadBytes(folder_ / file);
  }

 private:
  ::marquill::test::TempDir folder_{"designer"};
  std::unique_ptr<host::vbfiles::VbProject> files_;
};

}  // namespace marquill::designer::testing_util
