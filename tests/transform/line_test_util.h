// One checker for every line procedure: run a command on a module holding some lines and compare
// the module's lines afterwards, on a CR LF module and an LF module alike.
#pragma once

#include <functional>
#include <source_location>
#include <string>
#include <vector>

#include "host/code_model.h"
#include "host/memory/memory_host.h"

namespace marquill::transform::testing {

using Lines = std::vector<std::string>;
using Command = std::function<void(host::CodeModule&)>;

enum class Outcome {
  kCompletes,  // the procedure runs to its end
  kFails,      // the procedure ends on a host failure (such as a read past the last line),
               // keeping what it changed
};

enum class Stability {
  kStable,    // a second run leaves the result as it is
  kUnstable,  // no claim about a second run
};

// A module of `lines` whose every line (and every line edits create) ends in `eol`.
host::MemoryCodeModule& MakeModule(host::MemoryProject& project, const Lines& lines, host::Eol eol);

// Texts of the module's lines.
Lines TextsOf(const host::MemoryCodeModule& module);

// Runs `command` on `input` and expects `expected`, with every line ending in the module's own
// line ending, for CR LF and for LF modules. Failures name the caller's line.
void VerifyLines(const Lines& input, const Command& command, const Lines& expected,
                 Outcome outcome = Outcome::kCompletes, Stability stability = Stability::kStable,
                 std::source_location where = std::source_location::current());

}  // namespace marquill::transform::testing
