#include "docs/comment_settings.h"

#include <algorithm>

#include "host/text/vb_text.h"

namespace marquill::docs {
namespace {

// Column positions of Comments, in the order the load reads them.
enum Column {
  kIncludeModule = 0,
  kIncludeStandard = 1,
  kIncludeMember = 2,
  kIncludeDelim = 3,
  kDelimStr = 4,
  kDelimNr = 5,
  kMember = 6,
  kModule = 7,
};

// A switch column counts as on only when it holds true; an empty (null) column is off.
bool On(const host::Value& value) {
  if (value.IsNull()) return false;
  try {
    return value.Bool();
  } catch (const host::ConversionError&) {
    return false;
  }
}

CommentSettings ReadRow(const host::Recordset& row) {
  CommentSettings settings;
  settings.module_comments = On(row.Field(kIncludeModule));
  settings.standard_comments = On(row.Field(kIncludeStandard));
  settings.also = On(row.Field(kIncludeMember));
  settings.delimiters = On(row.Field(kIncludeDelim));
  settings.delim = row.Field(kDelimStr).Text();
  settings.delim_count = row.Field(kDelimNr).Text();
  settings.member_line = row.Field(kMember).Text();
  settings.module_template = row.Field(kModule).Text();
  return settings;
}

}  // namespace

int DelimCount(std::string_view text) {
  double value = kMaxDelimCount;
  try {
    // Read from "0" followed by the text, as the number fields do, so a sign stops the reading.
    value = host::RoundHalfEven(host::Val("0" + std::string(text)));
  } catch (const host::ConversionError&) {
    // Too large for any number: the largest count.
  }
  return static_cast<int>(std::clamp(value, 0.0, static_cast<double>(kMaxDelimCount)));
}

std::string DelimCountText(std::string_view text) { return std::to_string(DelimCount(text)); }

std::optional<CommentSettings> LoadCommentSettings(host::Database& database) {
  database.Open();
  try {
    database.connection().EnsureTables();
  } catch (const host::StoreError&) {
    // A read-only database can still be read; a missing row then leaves the defaults in place.
  }
  host::Recordset& recordset = database.recordset();
  std::optional<CommentSettings> settings;
  try {
    recordset.Open(host::kSelectComments, database.connection());
    if (!recordset.Eof()) settings = ReadRow(recordset);
  } catch (...) {
    recordset.Close();
    throw;
  }
  recordset.Close();
  return settings;
}

void SaveCommentSettings(host::Database& database, const CommentSettings& settings) {
  database.Open();
  database.connection().EnsureTables();
  host::CommentSettingsText text;
  text.module = settings.module_template;
  text.member = settings.member_line;
  text.include = {settings.module_comments, settings.standard_comments, settings.also,
                  settings.delimiters};
  // The count goes into the statement unquoted: only digits may reach it.
  text.delim_nr = DelimCountText(settings.delim_count);
  text.delim_str = settings.delim;
  database.connection().Execute(host::UpdateCommentsSql(text));
}

}  // namespace marquill::docs
