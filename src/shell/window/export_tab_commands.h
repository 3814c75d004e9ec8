// The HTML export of the "&Err handling&&Export" tab and the "&Analyser" tab's project report.
//
// "Export as HTML" writes the component or member the pickers name ("Apply to:") into the folder
// of txtPathHTML under the name in txtFileHTML; "Create Report" fills txtReport and "Open report
// in browser" writes it as a page and opens it. Pages go through a PageWriter: the disk, through
// a temporary file renamed over the target, unless a front end that previews puts another in its
// place. A page that cannot be written shows a box titled "Error" and leaves no file behind.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "export/html_export.h"

namespace marquill::shell {

class frmUtility;

// cmdCreateRep elements.
inline constexpr int kOpenReportButton = 0;
inline constexpr int kCreateReportButton = 1;
// chkReport elements.
inline constexpr int kReportLogs = 0;
inline constexpr int kReportReferences = 1;
inline constexpr int kReportControls = 2;
inline constexpr int kReportLines = 5;
inline constexpr int kReportFiles = 6;

inline constexpr std::string_view kFolderPickerTitle = "Choose a directory from the list.";
inline constexpr std::string_view kReportNameEmptyText = "Name of the report empty!";

// Writes a whole file; std::system_error when it cannot.
using PageWriter = std::function<void(const std::string& path, std::string_view bytes)>;

// Hooks both tabs' export controls and builds the keyword lists at the window's load.
void AttachExportTabs(frmUtility& window);
// Replaces where the window's pages go (previews keep them in memory).
void SetPageWriter(frmUtility& window, PageWriter writer);
// The keyword lists the window built when it loaded; empty before.
const exporter::KeywordTables& KeywordTablesOf(frmUtility& window);

// The folder picker owned by the window: a path ending in the separator, "" when cancelled.
std::string BrowseForFolder(frmUtility& window);

void cmdExportHTML_Click(frmUtility& window);
void cmdPath_Click(frmUtility& window);
void txtPathHTML_Change(frmUtility& window);
// 1 builds the report into txtReport; 0 writes it as a page and opens it.
void cmdCreateRep_Click(frmUtility& window, int index);
void cmdSelHTMLRep_Click(frmUtility& window);

}  // namespace marquill::shell
