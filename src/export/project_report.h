// The project report: the components with their types, optionally their files and line counts,
// the references, the controls of the designers and the working time of the project's time log,
// as one text with CR LF line breaks; and the page that shows it in a browser.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "host/code_model.h"
#include "host/timelog/time_log_text.h"

namespace marquill::exporter {

// The "Include..." boxes of the report.
struct ReportOptions {
  bool logs = false;
  bool references = false;
  bool controls = false;
  bool lines = false;
  bool files = false;
};

// The whole text of a time log, std::nullopt when there is none; may throw std::system_error
// (the section is then left out).
using LogReader = std::function<std::optional<std::string>(const std::string& path)>;

inline constexpr std::string_view kReportTitle = "VBMarquill";
inline constexpr std::string_view kLogsHeading = "--------- Logs --------";

// The report on `project` (nullptr: no active project, the header line alone). A host call that
// fails leaves out what it would have given, as ignore-errors mode does.
std::string BuildReport(host::Project* project, const ReportOptions& options,
                        const LogReader& read_log,
                        host::DateOrder order = host::DateOrder::kMonthFirst);

// The report wrapped in a minimal HTML page; the text is escaped so the page shows it as it is.
std::string ReportPage(std::string_view report);

}  // namespace marquill::exporter
