#include "export/project_report.h"

#include <system_error>
#include <variant>
#include <vector>

#include "export/html_export.h"
#include "host/ignore_errors.h"

namespace marquill::exporter {
namespace {

constexpr std::string_view kBreak = "\r\n";

bool HasControls(host::ComponentType type) {
  return type == host::ComponentType::kMSForm || type == host::ComponentType::kVBForm ||
         type == host::ComponentType::kMDIForm || type == host::ComponentType::kUserControl;
}

std::string ControlName(host::Control& control) {
  const host::PropertyValue value = control.Properties().Item("Name").Value();
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  return "";
}

// One line per control and, below it, four more spaces per level for what it contains.
void AppendControls(host::Controls& controls, int level, std::string& text) {
  for (host::Control& control : controls) {
    host::Step([&] {
      text += std::string(4 * static_cast<std::size_t>(level), ' ') + "  + ";
      host::Step([&] { text += ControlName(control); });
      text += " [";
      host::Step([&] { text += control.ClassName(); });
      text += "]";
      text += kBreak;
      host::Step([&] {
        host::Controls& inside = control.ContainedControls();
        if (inside.Count() > 0) AppendControls(inside, level + 1, text);
      });
    });
  }
}

std::string ComponentLine(host::Component& component, const ReportOptions& options,
                          int line_count) {
  std::string line = "  + ";
  host::Step([&] { line += component.Name(); });
  line += " [ ";
  host::Step([&] { line += host::ComponentTypeName(component.Type()); });
  line += " ]";
  if (options.files) {
    line += " - ";
    host::Step([&] { line += component.FileNames(1); });
  }
  if (options.lines) line += "- rows #" + std::to_string(line_count);
  return line;
}

std::string ReferencesSection(host::Project& project, bool files) {
  std::string text = "References";
  text += kBreak;
  host::Step([&] {
    for (host::Reference& reference : project.References()) {
      host::Step([&] {
        std::string line = "  + " + reference.Name() + " [ " + reference.Description() + " " +
                           std::to_string(reference.Major()) + "." +
                           std::to_string(reference.Minor()) + " ]";
        if (files) line += " - " + reference.FullPath();
        text += line;
        text += kBreak;
      });
    }
  });
  return text;
}

std::vector<std::string_view> LogLines(std::string_view log) {
  std::vector<std::string_view> lines;
  std::size_t from = 0;
  while (from < log.size()) {
    std::size_t end = log.find_first_of("\r\n", from);
    if (end == std::string_view::npos) end = log.size();
    lines.push_back(log.substr(from, end - from));
    if (end < log.size() && log[end] == '\r' && end + 1 < log.size() && log[end + 1] == '\n') {
      ++end;
    }
    from = end + 1;
  }
  return lines;
}

std::string LogsSection(const std::string& log, host::DateOrder order) {
  std::string text(kLogsHeading);
  text += kBreak;
  for (std::string_view line : LogLines(log)) {
    text += line;
    text += kBreak;
  }
  text += kBreak;
  text += "Total: " + host::FormatLogTotal(host::SumTimeLog(log, order).seconds);
  return text;
}

}  // namespace

std::string BuildReport(host::Project* project, const ReportOptions& options,
                        const LogReader& read_log, host::DateOrder order) {
  std::string report(kReportTitle);
  if (project == nullptr) return report;
  std::string file_name;
  host::Step([&] { file_name = project->FileName(); });
  if (options.files) report += " [" + file_name + "] ";
  long total = 0;
  std::string components;
  std::string controls;
  host::Step([&] {
    for (host::Component& component : project->Components()) {
      int count = 0;
      host::Step([&] {
        if (host::CodeModule* module = component.CodeModule()) count = module->CountOfLines();
      });
      total += count;
      components += ComponentLine(component, options, count);
      components += kBreak;
      if (!options.controls) continue;
      host::Step([&] {
        if (!HasControls(component.Type())) return;
        std::string block(kBreak);
        block += component.Name() + " components";
        block += kBreak;
        if (host::FormDesigner* designer = component.Designer()) {
          AppendControls(designer->Controls(), 0, block);
        }
        controls += block;
      });
    }
  });
  if (options.lines) report += "- Total rows #" + std::to_string(total);
  report += "\r\n\r\n" + components + "\r\n\r\n";
  if (options.references) report += ReferencesSection(*project, options.files);
  if (options.controls) report += controls;
  if (options.logs && !file_name.empty() && read_log) {
    host::Step([&] {
      std::optional<std::string> log = read_log(host::TimeLogPath(file_name));
      if (log) report += LogsSection(*log, order);
    });
  }
  return report;
}

std::string ReportPage(std::string_view report) {
  std::string page = "<html><head><title>Report</title>\r\n";
  page += "<META NAME=\"GENERATOR\" Content=\"VB Marquill Add-In\">\r\n";
  page += "<body><pre>\r\n";
  page += EscapeHtml(report);
  page += "\r\n</pre></body></html>\r\n";
  return page;
}

}  // namespace marquill::exporter
