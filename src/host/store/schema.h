// The add-in database's tables and the row a new database starts with.
#pragma once

#include <cstdint>
#include <string_view>

struct sqlite3;

namespace marquill::host {

// Comment settings of a new database. Module headers and standard member headers are on, framed
// by a line of 60 dashes, since that is what a first press of "Insert" is expected to produce;
// the extra member line is off but ready to be switched on.
struct DefaultComments {
  static constexpr bool kIncludeModule = true;
  static constexpr bool kIncludeStandard = true;
  static constexpr bool kIncludeMember = false;
  static constexpr bool kIncludeDelim = true;
  static constexpr std::string_view kDelimStr = "-";
  static constexpr std::int32_t kDelimNr = 60;
  static constexpr std::string_view kMember = "' Revised: ";
  static constexpr std::string_view kModule =
      "'  Module:      \r\n"
      "'  Author:      \r\n"
      "'  Created:     \r\n"
      "'  Description: ";
};

// Creates whichever of the two tables `db` lacks, and the default Comments row when that table
// has no row (the settings save only ever updates). Returns the SQLite error code, SQLITE_OK on
// success; a file that is not a database fails here.
int EnsureSchema(sqlite3* db);

}  // namespace marquill::host
