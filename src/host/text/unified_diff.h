// Line diffs of two versions of a file, for previews of what a command would write.
//
// The edit script is a shortest one (Myers' O(ND) algorithm in linear space), after common head
// and tail lines and lines found on one side only are set aside, so a large file with a few
// changes costs little more than reading it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marquill::host {

enum class DiffOp : std::uint8_t { kKeep, kDelete, kInsert };

// The lines of `text`, each with its "\n" (and a "\r" before it) kept, so that a line ending
// change is a change; the last line may lack one. "" has no lines.
std::vector<std::string_view> SplitLines(std::string_view text);

// A shortest edit script from `before` to `after`: kKeep takes a line of both, kDelete one of
// `before`, kInsert one of `after`. Within a changed stretch, deletions come first.
std::vector<DiffOp> DiffLines(const std::vector<std::string_view>& before,
                              const std::vector<std::string_view>& after);

// The unified diff ("--- label", "+++ label", "@@ -l,n +l,n @@" hunks with `context` lines
// around each change) of two texts; "" when they are equal. Lines are printed as they are, CR
// and all; a last line without a line break is followed by "\ No newline at end of file".
std::string UnifiedDiff(std::string_view before, std::string_view after,
                        std::string_view before_label, std::string_view after_label,
                        int context = 3);

}  // namespace marquill::host
