// The shortcut cache: parallel 0-based lists of names, contents and row IDs, so that slot k of
// each belongs to one shortcut; free slots hold empty text. The toolbar's shortcut box shows the
// names (its entry k+1 shows slot k) and the editor list of the main window does too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marquill::shell {

struct ShortcutCache {
  // A new cache has slots 0 to 30; it grows 30 slots at a time, always keeping one free.
  static constexpr int kFirstLastIndex = 30;
  static constexpr int kGrowth = 30;

  std::vector<std::string> names;
  std::vector<std::string> contents;
  std::vector<std::int64_t> ids;  // the rows' keys in the database

  // Empties the cache to its first 31 slots.
  void Create();
  int LastIndex() const { return static_cast<int>(names.size()) - 1; }
  // Grows every list so that `last_index` is the last slot, keeping their contents.
  void Extend(int last_index);
  // Fills `slot`, then grows by kGrowth when the slot after it is the last one, so a free slot
  // is always left.
  void Put(int slot, std::string name, std::string content, std::int64_t id);
  // Empties `slot` and moves every later slot one up; the last slot ends empty.
  void Remove(int slot);
};

}  // namespace marquill::shell
