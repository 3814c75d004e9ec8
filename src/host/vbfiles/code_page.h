// File names written in a Windows ANSI code page. A project file written on a Japanese, Chinese,
// Korean or Western Windows holds its file names in that machine's code page; checked out on
// Linux, the names on disk are UTF-8. The bytes of the project file are never changed: only the
// name looked for on disk and the name shown in messages are decoded.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marquill::host::vbfiles {

// 932 (Japanese), 936 (Simplified Chinese), 949 (Korean), 950 (Traditional Chinese), then the
// single-byte pages 1250 to 1258.
const std::vector<int>& CommonCodePages();
bool IsKnownCodePage(int code_page);

// `bytes` decoded from `code_page` into UTF-8; nullopt when they are not valid text in it.
std::optional<std::string> DecodeCodePage(std::string_view bytes, int code_page);

// The ANSI code page this machine writes file names in: Windows' own (code_page_win.cc), 0 on a
// system without one (code_page_posix.cc).
int MachineCodePage();

// The code pages to try for a project's names, most likely first: `forced` alone when it is not
// 0; else `machine` when all of `text` (the project file) is valid in it, since a project is most
// often read where it was written; else the first common page in which it is valid; then the
// rest.
std::vector<int> CodePagesToTry(std::string_view text, int forced, int machine = MachineCodePage());

// A name for a message: as it is when it is UTF-8, else decoded from the first of `code_pages`
// that reads it, else with its bytes escaped; quoted safely (host::QuoteInput) in every case.
std::string DisplayName(std::string_view bytes, const std::vector<int>& code_pages);

}  // namespace marquill::host::vbfiles
