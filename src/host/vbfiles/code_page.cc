#include "host/vbfiles/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "host/text/quote.h"

namespace marquill::host::vbfiles {
namespace {

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Closes the conversion on every path out.
class Converter {
 public:
  explicit Converter(int code_page)
      : handle_(::iconv_open("UTF-8", ("CP" + std::to_string(code_page)).c_str())) {}
  ~Converter() {
    if (Valid()) ::iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

}  // namespace

const std::vector<int>& CommonCodePages() {
  static const std::vector<int> pages = {932,  936,  949,  950,  1250, 1251, 1252,
                                         1253, 1254, 1255, 1256, 1257, 1258};
  return pages;
}

bool IsKnownCodePage(int code_page) {
  const std::vector<int>& pages = CommonCodePages();
  return std::find(pages.begin(), pages.end(), code_page) != pages.end();
}

std::optional<std::string> DecodeCodePage(std::string_view bytes, int code_page) {
  const Converter converter(code_page);
  if (!converter.Valid()) return std::nullopt;
  std::string in(bytes);
  std::string out(bytes.size() * 4 + 16, '\0');
  char* in_at = in.data();
  std::size_t in_left = in.size();
  char* out_at = out.data();
  std::size_t out_left = out.size();
  // Every byte of a single- or double-byte code page takes at most 4 bytes of UTF-8 (1258's
  // combining sequences included), so the output never runs out of room.
  if (::iconv(converter.get(), &in_at, &in_left, &out_at, &out_left) ==
      static_cast<std::size_t>(-1))
    return std::nullopt;
  if (::iconv(converter.get(), nullptr, nullptr, &out_at, &out_left) ==
      static_cast<std::size_t>(-1))
    return std::nullopt;
  out.resize(out.size() - out_left);
  // A NUL or other control decoded from a name is no file name.
  return out.find('\0') == std::string::npos ? std::optional<std::string>(std::move(out))
                                             : std::nullopt;
}

std::vector<int> CodePagesToTry(std::string_view text, int forced, int machine) {
  if (forced != 0) return {forced};
  std::vector<int> pages = CommonCodePages();
  const bool ascii = IsAscii(text);
  auto fits = [&](int page) { return ascii || DecodeCodePage(text, page).has_value(); };
  auto first = pages.end();
  if (machine != 0 && fits(machine)) {
    first = std::find(pages.begin(), pages.end(), machine);
    if (first == pages.end()) first = pages.insert(pages.begin(), machine);
  } else if (!ascii) {
    first = std::find_if(pages.begin(), pages.end(), fits);
  }
  if (first != pages.end()) std::rotate(pages.begin(), first, first + 1);
  return pages;
}

std::string DisplayName(std::string_view bytes, const std::vector<int>& code_pages) {
  if (IsUtf8(bytes)) return QuoteInput(bytes);
  for (int page : code_pages) {
    if (std::optional<std::string> decoded = DecodeCodePage(bytes, page))
      return QuoteInput(*decoded);
  }
  return QuoteInput(bytes);
}

}  // namespace marquill::host::vbfiles
