#include "shell/ide_window_commands.h"

#include <vector>

#include "host/ignore_errors.h"

namespace marquill::shell {

void CloseAllWindows(host::Vbe& vbe) {
  // Closing may take a window out of the collection; decide on the whole list first.
  std::vector<host::Window*> to_close;
  int count = 0;
  host::Step([&] { count = vbe.Windows().Count(); });
  for (int i = 1; i <= count; ++i) {
    host::Step([&] {
      host::Window& window = vbe.Windows().Item(i);
      host::WindowType type = window.Type();
      if (type == host::WindowType::kCodeWindow || type == host::WindowType::kDesigner) {
        to_close.push_back(&window);
      }
    });
  }
  for (host::Window* window : to_close) host::Step([&] { window->Close(); });
}

void ClearImmediateWindow(host::Vbe& vbe) {
  host::Step([&] {
    vbe.Windows().Item("Immediate");  // HostError when the IDE shows none
    vbe.SetImmediateText("");
  });
}

}  // namespace marquill::shell
