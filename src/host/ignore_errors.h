// Ignore-errors mode: most command handlers skip a step that fails and go on with the next one,
// without a message. Each step runs through Step(); failures the user can cause (the host refused,
// a text is not a number, a file could not be read or written) are swallowed there, while
// programming errors still propagate.
#pragma once

#include <system_error>
#include <utility>

#include "host/code_model.h"
#include "host/text/vb_text.h"

namespace marquill::host {

// Runs `step`; returns false when it failed and was skipped.
template <class F>
bool Step(F&& step) {
  try {
    std::forward<F>(step)();
    return true;
  } catch (const HostError&) {
  } catch (const ConversionError&) {
  } catch (const std::system_error&) {  // file-system and stream failures
  }
  return false;
}

}  // namespace marquill::host
