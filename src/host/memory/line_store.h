// A module's lines as a gap buffer.
//
// Line commands walk a module and insert or delete at the line they are visiting, so the gap
// follows the walk: an edit costs the distance from the previous edit, not the module's size.
#pragma once

#include <cstddef>
#include <vector>

#include "host/memory/memory_host.h"

namespace marquill::host {

class LineStore {
 public:
  LineStore() = default;
  explicit LineStore(std::vector<SourceLine> lines);

  std::size_t size() const { return buffer_.size() - GapSize(); }
  bool empty() const { return size() == 0; }

  // 0-based; the caller checks the range.
  const SourceLine& operator[](std::size_t index) const {
    return buffer_[index < gap_begin_ ? index : index + GapSize()];
  }
  SourceLine& operator[](std::size_t index) {
    return buffer_[index < gap_begin_ ? index : index + GapSize()];
  }

  // Inserts `lines` before `index` (size() appends).
  void Insert(std::size_t index, std::vector<SourceLine> lines);
  void Erase(std::size_t index, std::size_t count);
  std::vector<SourceLine> ToVector() const;

 private:
  std::size_t GapSize() const { return gap_end_ - gap_begin_; }
  void MoveGap(std::size_t index);
  void Reserve(std::size_t gap_needed);

  std::vector<SourceLine> buffer_;
  std::size_t gap_begin_ = 0;
  std::size_t gap_end_ = 0;
};

}  // namespace marquill::host
