#include "host/vbfiles/property_text.h"

#include <charconv>
#include <cstdio>

#include "host/memory/memory_host.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/text_file.h"

namespace marquill::host::vbfiles {
namespace {

constexpr std::size_t kNameColumns = 16;

// A quoted string at the start of `text`: its contents and the length it took.
std::optional<std::pair<std::string, std::size_t>> ReadQuoted(std::string_view text) {
  if (text.empty() || text.front() != '"') return std::nullopt;
  std::string contents;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] != '"') {
      contents += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '"') {
      contents += '"';
      ++i;
    } else {
      return std::make_pair(std::move(contents), i + 1);
    }
  }
  return std::nullopt;
}

std::optional<std::int64_t> ReadHex(std::string_view digits) {
  std::uint64_t value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      value > 0xFFFFFFFFu)
    return std::nullopt;
  return static_cast<std::int64_t>(value);
}

// `&H8000000F&` or `&HFF`: the 32-bit value.
std::optional<std::uint32_t> ReadHexLiteral(std::string_view value) {
  if (!StartsWithNoCase(value, "&H")) return std::nullopt;
  std::string_view digits = value.substr(2);
  if (digits.ends_with('&')) digits.remove_suffix(1);
  const std::optional<std::int64_t> number = ReadHex(digits);
  if (!number) return std::nullopt;
  return static_cast<std::uint32_t>(*number);
}

struct NumberAndComment {
  std::string_view number;
  std::string_view comment;  // after the apostrophe
};

std::optional<NumberAndComment> SplitNumber(std::string_view value) {
  const std::size_t quote = value.find('\'');
  const std::string_view number = TrimSpaces(value.substr(0, quote));
  if (number.empty()) return std::nullopt;
  double parsed = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return NumberAndComment{number, quote == std::string_view::npos ? "" : value.substr(quote + 1)};
}

PropertyValue NumberValue(std::string_view number) {
  std::int64_t whole = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), whole);
  if (error == std::errc() && end == number.data() + number.size() && whole >= INT32_MIN &&
      whole <= INT32_MAX) {
    return static_cast<std::int32_t>(whole);
  }
  double real = 0;
  std::from_chars(number.data(), number.data() + number.size(), real);
  return real;
}

std::string HexColor(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "&H%08X&", value);
  return text;
}

std::string EnumText(std::int32_t value, const PropertySpec* spec) {
  std::string text = std::to_string(value);
  if (spec != nullptr && value >= 0 && static_cast<std::size_t>(value) < spec->value_names.size()) {
    text += "  '";
    text += spec->value_names[static_cast<std::size_t>(value)];
  }
  return text;
}

[[noreturn]] void Mismatch(const PropertySpec* spec) {
  throw HostError("a value of the wrong kind for the property " +
                  std::string(spec != nullptr ? spec->name : ""));
}

}  // namespace

std::optional<PropertyLineParts> SplitPropertyLine(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
  const std::size_t equals = line.find('=', start);
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view name = TrimSpaces(line.substr(start, equals - start));
  if (name.empty() || name.find(' ') != std::string_view::npos) return std::nullopt;
  std::size_t value_start = equals + 1;
  while (value_start < line.size() && line[value_start] == ' ') ++value_start;
  return PropertyLineParts{name, value_start, line.substr(value_start)};
}

std::optional<SideFileRef> ParseSideFileRef(std::string_view value) {
  SideFileRef ref;
  if (value.starts_with('$')) {
    ref.text = true;
    value.remove_prefix(1);
  }
  const auto quoted = ReadQuoted(value);
  if (!quoted || quoted->second >= value.size() || value[quoted->second] != ':')
    return std::nullopt;
  const std::optional<std::int64_t> offset = ReadHex(TrimSpaces(value.substr(quoted->second + 1)));
  if (!offset) return std::nullopt;
  ref.file = quoted->first;
  ref.offset = static_cast<std::uint32_t>(*offset);
  return ref;
}

std::string FormatSideFileRef(const SideFileRef& ref) {
  char offset[16];
  std::snprintf(offset, sizeof offset, "%04X", ref.offset);
  return (ref.text ? "$" : "") + QuoteDesignerString(ref.file) + ":" + offset;
}

PropertyValue ParsePropertyValue(std::string_view property_name, std::string_view value,
                                 const PropertySpec* spec) {
  value = TrimTrailingSpaces(value);
  if (ParseSideFileRef(value)) return std::monostate{};
  if (const auto quoted = ReadQuoted(value)) return quoted->first;
  const bool colour =
      spec != nullptr ? spec->kind == PropertyKind::kColor : IsColorName(property_name);
  if (const std::optional<std::uint32_t> hex = ReadHexLiteral(value)) {
    if (colour) return Color{*hex};
    return static_cast<std::int32_t>(*hex);
  }
  if (const std::optional<NumberAndComment> number = SplitNumber(value)) {
    const bool boolean = spec != nullptr ? spec->kind == PropertyKind::kBool
                                         : EqualsNoCase(number->comment, "True") ||
                                               EqualsNoCase(number->comment, "False");
    const PropertyValue parsed = NumberValue(number->number);
    if (boolean) {
      if (const auto* whole = std::get_if<std::int32_t>(&parsed)) return *whole != 0;
    }
    if (colour) {
      if (const auto* whole = std::get_if<std::int32_t>(&parsed))
        return Color{static_cast<std::uint32_t>(*whole)};
    }
    return parsed;
  }
  return std::string(value);
}

PropertyValue CoerceToKind(const PropertyValue& value, PropertyKind kind) {
  switch (kind) {
    case PropertyKind::kBool:
      if (const auto* whole = std::get_if<std::int32_t>(&value)) return *whole != 0;
      break;
    case PropertyKind::kColor:
      if (const auto* whole = std::get_if<std::int32_t>(&value))
        return Color{static_cast<std::uint32_t>(*whole)};
      break;
    case PropertyKind::kInteger:
      if (const auto* flag = std::get_if<bool>(&value)) return std::int32_t{*flag ? -1 : 0};
      break;
    case PropertyKind::kDouble:
      if (const auto* whole = std::get_if<std::int32_t>(&value)) return static_cast<double>(*whole);
      break;
    default:
      break;
  }
  return value;
}

std::string FormatPropertyValue(const PropertyValue& value, const PropertySpec* spec) {
  const PropertyValue typed = spec != nullptr ? CoerceToKind(value, spec->kind) : value;
  const PropertyKind expected = spec != nullptr ? spec->kind : PropertyKind::kString;
  if (const auto* flag = std::get_if<bool>(&typed)) {
    if (spec != nullptr && expected != PropertyKind::kBool) Mismatch(spec);
    return *flag ? "-1  'True" : "0   'False";
  }
  if (const auto* whole = std::get_if<std::int32_t>(&typed)) {
    if (spec != nullptr && expected != PropertyKind::kInteger && expected != PropertyKind::kDouble)
      Mismatch(spec);
    return EnumText(*whole, spec);
  }
  if (const auto* real = std::get_if<double>(&typed)) {
    if (spec != nullptr && expected != PropertyKind::kDouble && expected != PropertyKind::kInteger)
      Mismatch(spec);
    return NumberText(*real);
  }
  if (const auto* colour = std::get_if<Color>(&typed)) {
    if (spec != nullptr && expected != PropertyKind::kColor) Mismatch(spec);
    return HexColor(colour->value);
  }
  if (const auto* text = std::get_if<std::string>(&typed)) {
    if (spec != nullptr && expected != PropertyKind::kString) Mismatch(spec);
    // The IDE keeps such texts in the side file; on the line they would split the block.
    if (text->find_first_of("\r\n") != std::string::npos)
      throw HostError("a text with line breaks cannot be written on a property line");
    return QuoteDesignerString(*text);
  }
  throw HostError("this value cannot be written as text");
}

std::string MakePropertyLine(int indent, std::string_view name, std::string_view value) {
  std::string line(static_cast<std::size_t>(indent), ' ');
  line += name;
  line.append(name.size() < kNameColumns ? kNameColumns - name.size() : 1, ' ');
  line += "=   ";
  line += value;
  return line;
}

std::string QuoteDesignerString(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  quoted += '"';
  return quoted;
}

}  // namespace marquill::host::vbfiles
