#include "host/vbfiles/side_files.h"

#include "host/code_model.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/text_file.h"

namespace marquill::host::vbfiles {
namespace {

constexpr std::string_view kPictureMark("lt\0\0", 4);

std::uint32_t ReadU32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

void AppendU32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

[[noreturn]] void BadRecord(const std::filesystem::path& path, std::uint32_t offset) {
  throw HostError(path.string() + ": no readable record at offset " + std::to_string(offset));
}

}  // namespace

SideFiles::File& SideFiles::Load(const std::filesystem::path& path, bool create) {
  auto found = files_.find(path);
  if (found != files_.end()) return found->second;
  File file;
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    try {
      file.bytes = ReadFileBytes(path);
    } catch (const LoadError& load) {
      throw HostError(load.what());
    }
  } else if (!create) {
    throw HostError(path.string() + ": side file not found");
  }
  return files_.emplace(path, std::move(file)).first->second;
}

std::string SideFiles::ReadPicture(const std::filesystem::path& path, std::uint32_t offset) {
  const std::string& bytes = Load(path, false).bytes;
  if (std::size_t{offset} + 12 > bytes.size()) BadRecord(path, offset);
  if (std::string_view(bytes).substr(offset + 4, 4) != kPictureMark) {
    // Older records: a 4-byte length, then the bytes.
    const std::uint32_t size = ReadU32(bytes, offset);
    if (std::size_t{offset} + 4 + size > bytes.size()) BadRecord(path, offset);
    return bytes.substr(offset + 4, size);
  }
  const std::uint32_t size = ReadU32(bytes, offset + 8);
  if (std::size_t{offset} + 12 + size > bytes.size()) BadRecord(path, offset);
  return bytes.substr(offset + 12, size);
}

std::string SideFiles::ReadText(const std::filesystem::path& path, std::uint32_t offset) {
  const std::string& bytes = Load(path, false).bytes;
  if (offset >= bytes.size()) BadRecord(path, offset);
  std::size_t start = offset + 1;
  std::size_t size = static_cast<unsigned char>(bytes[offset]);
  if (size == 0xFF && std::size_t{offset} + 3 <= bytes.size()) {  // 16-bit length
    size = static_cast<unsigned char>(bytes[offset + 1]) |
           (static_cast<std::size_t>(static_cast<unsigned char>(bytes[offset + 2])) << 8);
    start = offset + 3;
  } else if (std::size_t{offset} + 4 <= bytes.size() &&
             std::string_view(bytes).substr(offset, 4).find('\0') != std::string_view::npos) {
    size = ReadU32(bytes, offset);  // 32-bit length
    start = offset + 4;
  }
  if (start + size > bytes.size()) BadRecord(path, offset);
  return bytes.substr(start, size);
}

std::string SideFiles::PictureRecord(std::string_view image) {
  std::string record;
  AppendU32(record, static_cast<std::uint32_t>(image.size() + 8));
  record += kPictureMark;
  AppendU32(record, static_cast<std::uint32_t>(image.size()));
  record += image;
  return record;
}

std::uint32_t SideFiles::AppendPicture(const std::filesystem::path& path, std::string_view image) {
  File& file = Load(path, true);
  // Offsets and lengths are 32-bit: a record past 4 GiB could never be read back.
  if (file.bytes.size() + image.size() + 12 > 0xFFFFFFFFu)
    throw HostError(path.string() + ": the side file cannot grow past 4 GiB");
  const std::uint32_t offset = static_cast<std::uint32_t>(file.bytes.size());
  file.bytes += PictureRecord(image);
  file.changed = true;
  return offset;
}

std::vector<std::filesystem::path> SideFiles::ChangedFiles() const {
  std::vector<std::filesystem::path> changed;
  for (const auto& [path, file] : files_) {
    if (file.changed) changed.push_back(path);
  }
  return changed;
}

const std::string& SideFiles::Contents(const std::filesystem::path& path) {
  return Load(path, false).bytes;
}

void SideFiles::MarkSaved() {
  for (auto& [path, file] : files_) file.changed = false;
}

}  // namespace marquill::host::vbfiles
