// Reading what a refusal says.
#pragma once

#include <string>

namespace marquill::test {

// The message of the `Error` that `run` throws; "" when it throws nothing.
template <class Error, class Run>
std::string MessageOf(Run&& run) {
  try {
    run();
  } catch (const Error& error) {
    return error.what();
  }
  return "";
}

}  // namespace marquill::test
