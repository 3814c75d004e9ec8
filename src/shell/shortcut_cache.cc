#include "shell/shortcut_cache.h"

namespace marquill::shell {

void ShortcutCache::Create() {
  names.assign(kFirstLastIndex + 1, "");
  contents.assign(kFirstLastIndex + 1, "");
}

void ShortcutCache::Extend(int last_index) {
  if (last_index <= LastIndex()) return;
  names.resize(static_cast<std::size_t>(last_index) + 1);
  contents.resize(static_cast<std::size_t>(last_index) + 1);
}

}  // namespace marquill::shell
