// The values the add-in class and its main window share for as long as the add-in is connected:
// the database connection and recordset, the shortcut cache and the toolbar's shortcut box.
#pragma once

#include <string>

#include "host/store/database.h"
#include "shell/command_bars/command_bars.h"
#include "shell/shortcut_cache.h"

namespace marquill::shell {

struct AddinShared {
  // `addin_folder` ends in the path separator; the database is Marquill.mdb in it.
  explicit AddinShared(std::string folder)
      : addin_folder(std::move(folder)), database(addin_folder + "Marquill.mdb") {}

  std::string addin_folder;
  host::Database database;
  ShortcutCache shortcuts;
  // The toolbar's shortcut box while the add-in is connected, else nullptr.
  CommandBarControl* shortcut_box = nullptr;
};

}  // namespace marquill::shell
