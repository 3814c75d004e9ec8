// Helpers shared by the shell's tests.
#pragma once

#include "support/files.h"

namespace marquill::shell::testing_util {

using TempFolder = ::marquill::test::TempDir;

}  // namespace marquill::shell::testing_util
