#include "designer/form_properties.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace marquill::designer {
namespace {

constexpr std::size_t kIconHeader = 6;
constexpr std::size_t kIconEntry = 16;

std::uint32_t Little(std::string_view bytes, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

}  // namespace

bool IsIconImage(std::string_view bytes) {
  if (bytes.size() < kIconHeader) return false;
  const std::uint32_t count = Little(bytes, 4, 2);
  if (Little(bytes, 0, 2) != 0 || Little(bytes, 2, 2) != 1 || count == 0) return false;
  if (kIconHeader + count * kIconEntry > bytes.size()) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = kIconHeader + i * kIconEntry;
    const std::uint64_t size = Little(bytes, entry + 8, 4);
    const std::uint64_t offset = Little(bytes, entry + 12, 4);
    if (size == 0 || offset < kIconHeader + count * kIconEntry || offset + size > bytes.size())
      return false;
  }
  return true;
}

bool IsOleColor(host::Color color) {
  return color.value <= 0x00FFFFFF || (color.value >= 0x80000000 && color.value <= 0x80000018);
}

host::Picture LoadIcon(const std::string& file_name, std::uintmax_t limit) {
  if (file_name.empty()) return {};
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file_name, error);
  if (!std::filesystem::exists(status)) throw IconError(file_name + ": no such icon file");
  if (!std::filesystem::is_regular_file(status)) throw IconError(file_name + ": not a file");
  // Measured before reading, so a huge file is refused without loading it.
  const std::uintmax_t size = std::filesystem::file_size(file_name, error);
  if (error) throw IconError(file_name + ": cannot read it: " + error.message());
  if (size > limit) {
    throw IconError(file_name + ": " + std::to_string(size) +
                    " bytes is more than a form's side file can hold (" + std::to_string(limit) +
                    ")");
  }
  std::ifstream in(file_name, std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in.good() && !in.eof()) throw IconError(file_name + ": cannot read it");
  if (!IsIconImage(bytes)) throw IconError(file_name + ": not an icon file (.ico)");
  return host::Picture{std::move(bytes)};
}

std::vector<FormOutcome> ApplyFormProperty(host::Project& project,
                                           const std::vector<std::string>& forms,
                                           std::string_view property,
                                           const host::PropertyValue& value) {
  std::vector<FormOutcome> outcomes;
  for (const std::string& form : forms) {
    FormOutcome outcome{form, false, ""};
    try {
      host::Property& target = project.Components().Item(form).Properties().Item(property);
      if (const auto* picture = std::get_if<host::Picture>(&value)) {
        target.SetObject(*picture);
      } else {
        target.SetValue(value);
      }
      outcome.written = true;
    } catch (const host::HostError& refused) {
      outcome.reason = refused.what();
    }
    outcomes.push_back(std::move(outcome));
  }
  return outcomes;
}

std::string MissingFormProperty(host::Project& project, std::string_view form,
                                std::string_view property) {
  try {
    project.Components().Item(form).Properties().Item(property);
    return "";
  } catch (const host::HostError& missing) {
    return missing.what();
  }
}

}  // namespace marquill::designer
