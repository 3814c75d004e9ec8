#include "shell/resources/resources.h"

#include <cstddef>

// kFace101 ... kFace105 and kHelpPage: resources/face_*.bmp and help/index.htm, embedded by the
// build (cmake/EmbedFiles.cmake).
#include "embedded_resources.h"

namespace marquill::shell {

namespace {

template <std::size_t N>
std::string_view View(const unsigned char (&data)[N]) {
  return {reinterpret_cast<const char*>(data), N};
}

}  // namespace

std::string_view FaceBitmap(int id) {
  switch (id) {
    case 101:
      return View(kFace101);
    case 102:
      return View(kFace102);
    case 103:
      return View(kFace103);
    case 104:
      return View(kFace104);
    case 105:
      return View(kFace105);
  }
  return {};
}

std::string_view HelpPage() { return View(kHelpPage); }

}  // namespace marquill::shell
