#include "transform/line_test_util.h"

#include <gtest/gtest.h>

namespace marquill::transform::testing {
namespace {

const char* EolName(host::Eol eol) { return eol == host::Eol::kCrLf ? "CR LF" : "LF"; }

// Runs the command; returns whether it ended on a host failure.
bool RunFails(const Command& command, host::CodeModule& module) {
  try {
    command(module);
    return false;
  } catch (const host::HostError&) {
    return true;
  }
}

void VerifyWithEol(const Lines& input, const Command& command, const Lines& expected,
                   Outcome outcome, Stability stability, host::Eol eol) {
  SCOPED_TRACE(EolName(eol));
  host::MemoryProject project("Project1");
  host::MemoryCodeModule& module = MakeModule(project, input, eol);

  EXPECT_EQ(RunFails(command, module), outcome == Outcome::kFails)
      << (outcome == Outcome::kFails ? "expected the procedure to end on a host failure"
                                     : "the procedure ended on a host failure");
  EXPECT_EQ(TextsOf(module), expected);
  for (int i = 1; i <= module.CountOfLines(); ++i) {
    EXPECT_EQ(module.LineAt(i).eol, eol) << "line " << i << " lost the module's line ending";
  }
  if (stability == Stability::kStable) {
    RunFails(command, module);
    EXPECT_EQ(TextsOf(module), expected) << "a second run changed the result";
  }
}

}  // namespace

host::MemoryCodeModule& MakeModule(host::MemoryProject& project, const Lines& lines,
                                   host::Eol eol) {
  std::vector<host::SourceLine> source;
  source.reserve(lines.size());
  for (const std::string& text : lines) source.push_back({text, eol});
  const std::string name = "Module" + std::to_string(project.Components().Count() + 1);
  return project.AddComponent(name, host::ComponentType::kStdModule).SetCode(source, eol);
}

Lines TextsOf(const host::MemoryCodeModule& module) {
  Lines texts;
  for (const host::SourceLine& line : module.AllLines()) texts.push_back(line.text);
  return texts;
}

void VerifyLines(const Lines& input, const Command& command, const Lines& expected, Outcome outcome,
                 Stability stability, std::source_location where) {
  ::testing::ScopedTrace trace(where.file_name(), static_cast<int>(where.line()), "VerifyLines");
  VerifyWithEol(input, command, expected, outcome, stability, host::Eol::kCrLf);
  VerifyWithEol(input, command, expected, outcome, stability, host::Eol::kLf);
}

}  // namespace marquill::transform::testing
