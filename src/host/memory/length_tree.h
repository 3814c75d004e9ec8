// Consecutive runs of lines (a module's declarations section and its procedures) as a Fenwick
// tree: a run grows or shrinks, the start of any run and the run holding a line are found, all
// in logarithmic time. Edits inside one procedure so never renumber the others one by one.
#pragma once

#include <cstddef>
#include <vector>

namespace marquill::host {

class LengthTree {
 public:
  LengthTree() = default;
  explicit LengthTree(const std::vector<int>& lengths) : tree_(lengths.size() + 1, 0) {
    for (std::size_t i = 0; i < lengths.size(); ++i) {
      tree_[i + 1] += lengths[i];
      const std::size_t parent = (i + 1) + ((i + 1) & (~i));
      if (parent < tree_.size()) tree_[parent] += tree_[i + 1];
    }
  }

  std::size_t size() const { return tree_.empty() ? 0 : tree_.size() - 1; }

  void Add(std::size_t run, int delta) {
    for (std::size_t i = run + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
  }

  // Lines in runs [0, run).
  int LinesBefore(std::size_t run) const {
    int sum = 0;
    for (std::size_t i = run; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }

  // The run holding 1-based `line`; size() when the line is past the last run.
  std::size_t RunAt(int line) const {
    std::size_t pos = 0;
    int remaining = line;
    std::size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (pos + step < tree_.size() && tree_[pos + step] < remaining) {
        pos += step;
        remaining -= tree_[pos];
      }
    }
    return pos;
  }

 private:
  std::vector<int> tree_;  // 1-based
};

}  // namespace marquill::host
