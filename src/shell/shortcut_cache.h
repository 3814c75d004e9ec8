// The shortcut cache: two parallel 0-based lists, names and contents, so that slot k of both
// belongs to one shortcut; free slots hold empty text. The toolbar's shortcut box shows the
// names (its entry k+1 shows slot k) and the editor list of the main window does too.
#pragma once

#include <string>
#include <vector>

namespace marquill::shell {

struct ShortcutCache {
  // A new cache has slots 0 to 30; loading grows it 30 slots at a time.
  static constexpr int kFirstLastIndex = 30;
  static constexpr int kGrowth = 30;

  std::vector<std::string> names;
  std::vector<std::string> contents;

  // Empties the cache to its first 31 slots.
  void Create();
  int LastIndex() const { return static_cast<int>(names.size()) - 1; }
  // Grows both lists so that `last_index` is the last slot, keeping their contents.
  void Extend(int last_index);
};

}  // namespace marquill::shell
