// The project file (.vbp): its lines in order, and what the loader needs from them.
//
// Every line is kept as written (order, blank lines, foreign sections such as
// [MS Transaction Server], separators), so an unchanged project file renders byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/code_model.h"
#include "host/memory/memory_host.h"

namespace marquill::host::vbfiles {

// The kinds of file a project lists, by the key of their line.
enum class ListedKind {
  kForm,          // Form=frmMain.frm
  kModule,        // Module=modMain; modMain.bas
  kClass,         // Class=clsThing; clsThing.cls
  kUserControl,   // UserControl=ctlGauge.ctl
  kPropertyPage,  // PropertyPage=ppgGauge.pag
  kUserDocument,  // UserDocument=docMain.dob
  kDesigner,      // Designer=DataEnvironment1.Dsr
  kRelatedDoc,    // RelatedDoc=readme.txt
  kResFile,       // ResFile32="Project1.RES"
};

// Whether files of this kind are text files holding code (everything but resources and
// related documents, which are only carried along).
bool HoldsCode(ListedKind kind);

struct ListedFile {
  ListedKind kind;
  std::string name;  // the name before "; " (modules and classes), else ""
  std::string path;  // as written, quotes removed
  int line = 0;      // 1-based line of the project file
};

struct VbpReference {
  MemoryReference reference;
  int line = 0;
};

struct VbpFile {
  std::vector<SourceLine> lines;
  std::size_t nul_tail = 0;
  std::vector<ListedFile> files;
  std::vector<VbpReference> references;
  std::string project_name;  // Name="..."; "" when the line is missing

  // LoadError "FILE:LINE: ..." for a line that cannot be read.
  static VbpFile Parse(std::string_view bytes, const std::string& file_name);
  std::string Render() const;
};

// One Reference= value (after the "="): *\G{LIBID}#maj.min#lcid#path#description, versions in
// hexadecimal, or *\A<project path> for a reference to another project. Throws HostError with
// the reason when it cannot be read.
MemoryReference ParseReference(std::string_view value);

}  // namespace marquill::host::vbfiles
