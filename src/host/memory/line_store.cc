#include "host/memory/line_store.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace marquill::host {

LineStore::LineStore(std::vector<SourceLine> lines)
    : buffer_(std::move(lines)), gap_begin_(buffer_.size()), gap_end_(buffer_.size()) {}

void LineStore::MoveGap(std::size_t index) {
  if (GapSize() == 0) {
    // Nothing to move over; moving lines onto themselves would empty them.
    gap_begin_ = gap_end_ = index;
  } else if (index < gap_begin_) {
    // Lines [index, gap_begin_) move to the end of the gap.
    std::move_backward(buffer_.begin() + static_cast<std::ptrdiff_t>(index),
                       buffer_.begin() + static_cast<std::ptrdiff_t>(gap_begin_),
                       buffer_.begin() + static_cast<std::ptrdiff_t>(gap_end_));
    const std::size_t moved = gap_begin_ - index;
    gap_begin_ = index;
    gap_end_ -= moved;
  } else if (index > gap_begin_) {
    const std::size_t moved = index - gap_begin_;
    std::move(buffer_.begin() + static_cast<std::ptrdiff_t>(gap_end_),
              buffer_.begin() + static_cast<std::ptrdiff_t>(gap_end_ + moved),
              buffer_.begin() + static_cast<std::ptrdiff_t>(gap_begin_));
    gap_begin_ += moved;
    gap_end_ += moved;
  }
}

void LineStore::Reserve(std::size_t gap_needed) {
  if (GapSize() >= gap_needed) return;
  // Grow geometrically so that a run of appends stays linear.
  const std::size_t used = size();
  const std::size_t capacity = std::max({used * 2, used + gap_needed, std::size_t{16}});
  std::vector<SourceLine> grown(capacity);
  std::move(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(gap_begin_),
            grown.begin());
  const std::size_t after = buffer_.size() - gap_end_;
  std::move(buffer_.begin() + static_cast<std::ptrdiff_t>(gap_end_), buffer_.end(),
            grown.end() - static_cast<std::ptrdiff_t>(after));
  buffer_ = std::move(grown);
  gap_end_ = buffer_.size() - after;
}

void LineStore::Insert(std::size_t index, std::vector<SourceLine> lines) {
  Reserve(lines.size());
  MoveGap(index);
  for (SourceLine& line : lines) buffer_[gap_begin_++] = std::move(line);
}

void LineStore::Erase(std::size_t index, std::size_t count) {
  MoveGap(index);
  // Release the text now rather than when the slot is reused.
  for (std::size_t i = 0; i < count; ++i) buffer_[gap_end_ + i] = SourceLine{};
  gap_end_ += count;
}

std::vector<SourceLine> LineStore::ToVector() const {
  std::vector<SourceLine> lines;
  lines.reserve(size());
  lines.insert(lines.end(), buffer_.begin(),
               buffer_.begin() + static_cast<std::ptrdiff_t>(gap_begin_));
  lines.insert(lines.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(gap_end_), buffer_.end());
  return lines;
}

}  // namespace marquill::host
