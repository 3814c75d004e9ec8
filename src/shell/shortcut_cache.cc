#include "shell/shortcut_cache.h"

namespace marquill::shell {

void ShortcutCache::Create() {
  names.assign(kFirstLastIndex + 1, "");
  contents.assign(kFirstLastIndex + 1, "");
  ids.assign(kFirstLastIndex + 1, 0);
}

void ShortcutCache::Extend(int last_index) {
  if (last_index <= LastIndex()) return;
  const auto size = static_cast<std::size_t>(last_index) + 1;
  names.resize(size);
  contents.resize(size);
  ids.resize(size);
}

void ShortcutCache::Put(int slot, std::string name, std::string content, std::int64_t id) {
  if (slot > LastIndex()) Extend(slot + kGrowth);
  const auto at = static_cast<std::size_t>(slot);
  names[at] = std::move(name);
  contents[at] = std::move(content);
  ids[at] = id;
  if (slot + 1 == LastIndex()) Extend(slot + 1 + kGrowth);
}

void ShortcutCache::Remove(int slot) {
  if (slot < 0 || slot > LastIndex()) return;
  for (int j = slot; j < LastIndex(); ++j) {
    const auto at = static_cast<std::size_t>(j);
    names[at] = std::move(names[at + 1]);
    contents[at] = std::move(contents[at + 1]);
    ids[at] = ids[at + 1];
  }
  names.back().clear();
  contents.back().clear();
  ids.back() = 0;
}

}  // namespace marquill::shell
