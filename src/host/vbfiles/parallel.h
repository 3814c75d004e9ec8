// Independent per-file work spread over the machine's cores: reading and splitting the files of
// a large project, or rendering and writing them, costs far more than the rest of a load or save.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

namespace marquill::host::vbfiles {

// Calls work(i) for every i in [0, count), on up to four threads. Items must not share mutable
// state. When items fail, the failure of the lowest index is rethrown after all have finished,
// so errors come out in the same order as with one thread.
template <class Work>
void ForEachInParallel(std::size_t count, Work&& work) {
  const std::size_t threads =
      std::min<std::size_t>({count, std::max(1u, std::thread::hardware_concurrency()), 4});
  std::vector<std::exception_ptr> failures(count);
  std::atomic<std::size_t> next{0};
  const auto run = [&] {
    for (std::size_t i = next++; i < count; i = next++) {
      try {
        work(i);
      } catch (...) {
        failures[i] = std::current_exception();
      }
    }
  };
  std::vector<std::thread> helpers;
  for (std::size_t t = 1; t < threads; ++t) helpers.emplace_back(run);
  run();
  for (std::thread& helper : helpers) helper.join();
  for (const std::exception_ptr& failure : failures) {
    if (failure) std::rethrow_exception(failure);
  }
}

}  // namespace marquill::host::vbfiles
