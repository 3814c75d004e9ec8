// A timed run of the studio over a large project, for the notes on scale: how long opening the
// project takes until the explorer shows it, and how long "Indent" over the whole project takes
// until the open code windows show the result. Prints the figures; false when something failed.
#pragma once

#include <filesystem>

namespace marquill::studio {

bool MeasureProject(const std::filesystem::path& vbp_path);

}  // namespace marquill::studio
