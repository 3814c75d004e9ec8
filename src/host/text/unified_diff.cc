#include "host/text/unified_diff.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>

namespace marquill::host {

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const auto length = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  return lines;
}

namespace {

// Marks which lines of two integer sequences are not part of a longest common subsequence.
// Works on the sequences through offsets so that the recursion never copies them.
class ChangeFinder {
 public:
  ChangeFinder(const std::vector<int>& a, const std::vector<int>& b, std::vector<bool>& a_changed,
               std::vector<bool>& b_changed)
      : a_(a), b_(b), a_changed_(a_changed), b_changed_(b_changed) {}

  void Compare(int a_begin, int a_end, int b_begin, int b_end) {
    while (a_begin < a_end && b_begin < b_end && a_[a_begin] == b_[b_begin]) {
      ++a_begin;
      ++b_begin;
    }
    while (a_begin < a_end && b_begin < b_end && a_[a_end - 1] == b_[b_end - 1]) {
      --a_end;
      --b_end;
    }
    if (a_begin == a_end || b_begin == b_end) {
      Mark(a_changed_, a_begin, a_end);
      Mark(b_changed_, b_begin, b_end);
      return;
    }
    const auto [a_mid, b_mid] = MiddleSnake(a_begin, a_end, b_begin, b_end);
    if (a_mid < 0) {  // nothing in common
      Mark(a_changed_, a_begin, a_end);
      Mark(b_changed_, b_begin, b_end);
      return;
    }
    Compare(a_begin, a_mid, b_begin, b_mid);
    Compare(a_mid, a_end, b_mid, b_end);
  }

 private:
  static void Mark(std::vector<bool>& changed, int begin, int end) {
    for (int i = begin; i < end; ++i) changed[static_cast<std::size_t>(i)] = true;
  }

  // A point on some shortest path through the edit graph of the two ranges, found by running
  // the greedy search from both corners until the frontiers meet. {-1, -1} when they never do.
  std::pair<int, int> MiddleSnake(int a_begin, int a_end, int b_begin, int b_end) {
    const int n = a_end - a_begin;
    const int m = b_end - b_begin;
    const int max_d = (n + m + 1) / 2;
    const int offset = max_d;
    const auto length = static_cast<std::size_t>(2 * max_d + 2);
    forward_.assign(length, -1);
    backward_.assign(length, -1);
    forward_[static_cast<std::size_t>(offset + 1)] = 0;
    backward_[static_cast<std::size_t>(offset + 1)] = 0;
    const int delta = n - m;
    const bool odd = delta % 2 != 0;
    // Diagonals that ran off the grid are dropped from the ends of the sweep.
    int f_start = 0, f_end = 0, b_start = 0, b_end_trim = 0;
    auto at = [&](std::vector<int>& v, int k) -> int& {
      return v[static_cast<std::size_t>(offset + k)];
    };
    auto same = [&](int x, int y) { return a_[a_begin + x] == b_[b_begin + y]; };
    auto same_from_end = [&](int x, int y) { return a_[a_end - x - 1] == b_[b_end - y - 1]; };

    for (int d = 0; d < max_d; ++d) {
      for (int k = -d + f_start; k <= d - f_end; k += 2) {
        int x = (k == -d || (k != d && at(forward_, k - 1) < at(forward_, k + 1)))
                    ? at(forward_, k + 1)
                    : at(forward_, k - 1) + 1;
        int y = x - k;
        while (x < n && y < m && same(x, y)) ++x, ++y;
        at(forward_, k) = x;
        if (x > n) {
          f_end += 2;
        } else if (y > m) {
          f_start += 2;
        } else if (odd) {
          const int k2 = delta - k;
          if (k2 >= -max_d && k2 <= max_d && at(backward_, k2) != -1 &&
              x >= n - at(backward_, k2)) {
            return {a_begin + x, b_begin + y};
          }
        }
      }
      for (int k = -d + b_start; k <= d - b_end_trim; k += 2) {
        int x = (k == -d || (k != d && at(backward_, k - 1) < at(backward_, k + 1)))
                    ? at(backward_, k + 1)
                    : at(backward_, k - 1) + 1;
        int y = x - k;
        while (x < n && y < m && same_from_end(x, y)) ++x, ++y;
        at(backward_, k) = x;
        if (x > n) {
          b_end_trim += 2;
        } else if (y > m) {
          b_start += 2;
        } else if (!odd) {
          const int k1 = delta - k;
          if (k1 >= -max_d && k1 <= max_d && at(forward_, k1) != -1) {
            const int x1 = at(forward_, k1);
            if (x1 >= n - x) return {a_begin + x1, b_begin + x1 - k1};
          }
        }
      }
    }
    return {-1, -1};
  }

  const std::vector<int>& a_;
  const std::vector<int>& b_;
  std::vector<bool>& a_changed_;
  std::vector<bool>& b_changed_;
  std::vector<int> forward_;
  std::vector<int> backward_;
};

// Lines as small integers: equal lines get equal ids.
std::pair<std::vector<int>, std::vector<int>> LineIds(const std::vector<std::string_view>& a,
                                                      const std::vector<std::string_view>& b) {
  std::unordered_map<std::string_view, int> ids;
  ids.reserve(a.size() + b.size());
  auto convert = [&](const std::vector<std::string_view>& lines) {
    std::vector<int> out;
    out.reserve(lines.size());
    for (const auto line : lines) {
      out.push_back(ids.try_emplace(line, static_cast<int>(ids.size())).first->second);
    }
    return out;
  };
  auto a_ids = convert(a);
  auto b_ids = convert(b);
  return {std::move(a_ids), std::move(b_ids)};
}

// Lines of `ids` that also occur in `other`, with their positions; the rest can never be kept.
std::pair<std::vector<int>, std::vector<int>> Candidates(const std::vector<int>& ids,
                                                         const std::vector<bool>& in_other,
                                                         std::vector<bool>& changed) {
  std::vector<int> kept, positions;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    if (in_other[static_cast<std::size_t>(ids[i])]) {
      kept.push_back(ids[i]);
      positions.push_back(static_cast<int>(i));
    } else {
      changed[i] = true;
    }
  }
  return {std::move(kept), std::move(positions)};
}

}  // namespace

std::vector<DiffOp> DiffLines(const std::vector<std::string_view>& before,
                              const std::vector<std::string_view>& after) {
  const auto [a, b] = LineIds(before, after);
  std::vector<bool> a_changed(a.size()), b_changed(b.size());

  const std::size_t id_count = a.size() + b.size();
  std::vector<bool> in_a(id_count), in_b(id_count);
  for (const int id : a) in_a[static_cast<std::size_t>(id)] = true;
  for (const int id : b) in_b[static_cast<std::size_t>(id)] = true;
  auto [a_kept, a_positions] = Candidates(a, in_b, a_changed);
  auto [b_kept, b_positions] = Candidates(b, in_a, b_changed);

  std::vector<bool> a_kept_changed(a_kept.size()), b_kept_changed(b_kept.size());
  ChangeFinder finder(a_kept, b_kept, a_kept_changed, b_kept_changed);
  finder.Compare(0, static_cast<int>(a_kept.size()), 0, static_cast<int>(b_kept.size()));
  for (std::size_t i = 0; i < a_kept.size(); ++i) {
    if (a_kept_changed[i]) a_changed[static_cast<std::size_t>(a_positions[i])] = true;
  }
  for (std::size_t i = 0; i < b_kept.size(); ++i) {
    if (b_kept_changed[i]) b_changed[static_cast<std::size_t>(b_positions[i])] = true;
  }

  // Unchanged lines of both sides are the same sequence, so they pair up in order.
  std::vector<DiffOp> script;
  script.reserve(a.size() + b.size());
  std::size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    if (i < a.size() && a_changed[i]) {
      script.push_back(DiffOp::kDelete);
      ++i;
    } else if (j < b.size() && b_changed[j]) {
      script.push_back(DiffOp::kInsert);
      ++j;
    } else {
      script.push_back(DiffOp::kKeep);
      ++i;
      ++j;
    }
  }
  return script;
}

namespace {

struct Entry {
  DiffOp op;
  int before_line;  // 0-based position in `before` where this entry stands
  int after_line;
};

std::string Range(int position, int count) {
  // A range of one line is written as the line alone; an empty range names the line before it.
  if (count == 0) return std::to_string(position) + ",0";
  if (count == 1) return std::to_string(position + 1);
  return std::to_string(position + 1) + "," + std::to_string(count);
}

void AppendLine(std::string& out, char mark, std::string_view line) {
  out += mark;
  out += line;
  if (!line.ends_with('\n')) out += "\n\\ No newline at end of file\n";
}

void AppendHunk(std::string& out, const std::vector<Entry>& entries, std::size_t first,
                std::size_t last, const std::vector<std::string_view>& before,
                const std::vector<std::string_view>& after) {
  int before_count = 0, after_count = 0;
  for (std::size_t e = first; e < last; ++e) {
    before_count += entries[e].op != DiffOp::kInsert;
    after_count += entries[e].op != DiffOp::kDelete;
  }
  out += "@@ -" + Range(entries[first].before_line, before_count) + " +" +
         Range(entries[first].after_line, after_count) + " @@\n";
  for (std::size_t e = first; e < last; ++e) {
    // An insertion at the end stands past the last line of `before`: index only what exists.
    switch (entries[e].op) {
      case DiffOp::kKeep:
        AppendLine(out, ' ', before[static_cast<std::size_t>(entries[e].before_line)]);
        break;
      case DiffOp::kDelete:
        AppendLine(out, '-', before[static_cast<std::size_t>(entries[e].before_line)]);
        break;
      case DiffOp::kInsert:
        AppendLine(out, '+', after[static_cast<std::size_t>(entries[e].after_line)]);
        break;
    }
  }
}

}  // namespace

std::string UnifiedDiff(std::string_view before, std::string_view after,
                        std::string_view before_label, std::string_view after_label, int context) {
  const auto before_lines = SplitLines(before);
  const auto after_lines = SplitLines(after);
  const auto script = DiffLines(before_lines, after_lines);

  std::vector<Entry> entries;
  entries.reserve(script.size());
  std::vector<std::size_t> changes;
  int i = 0, j = 0;
  for (const DiffOp op : script) {
    if (op != DiffOp::kKeep) changes.push_back(entries.size());
    entries.push_back({op, i, j});
    i += op != DiffOp::kInsert;
    j += op != DiffOp::kDelete;
  }
  if (changes.empty()) return "";

  std::string out;
  out += "--- " + std::string(before_label) + "\n";
  out += "+++ " + std::string(after_label) + "\n";
  const auto ctx = static_cast<std::size_t>(std::max(context, 0));
  std::size_t c = 0;
  while (c < changes.size()) {
    // Changes closer than twice the context share one hunk.
    std::size_t last = c;
    while (last + 1 < changes.size() && changes[last + 1] - changes[last] - 1 <= 2 * ctx) ++last;
    const std::size_t first_entry = changes[c] > ctx ? changes[c] - ctx : 0;
    const std::size_t end_entry = std::min(entries.size(), changes[last] + ctx + 1);
    AppendHunk(out, entries, first_entry, end_entry, before_lines, after_lines);
    c = last + 1;
  }
  return out;
}

}  // namespace marquill::host
