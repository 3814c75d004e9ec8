// The comment settings: the eight fields of the "Co&mments" tab, kept in the one row of the
// add-in database's Comments table.
//
// The load reads the row by column position (the table's column order is binding); the save is
// the single UPDATE the add-in has always written, which rewrites every row. Both go through the
// database objects the add-in class and the main window share.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/store/database.h"

namespace marquill::docs {

// The settings as the tab's fields hold them. The four switches are on only when their box is
// ticked (value 1); a greyed box counts as off.
struct CommentSettings {
  bool module_comments = false;    // chkComments(0), column IncludeModule
  bool standard_comments = false;  // chkComments(1), column IncludeStandard
  bool also = false;               // chkComments(2), column IncludeMember
  bool delimiters = false;         // chkComments(3), column IncludeDelim
  std::string delim;               // txtDelim, column DelimStr: only its first character is used
  std::string delim_count;         // txtDelimNr, column DelimNr
  std::string member_line;         // txtCmtLine, column Member
  std::string module_template;     // txtCommentFormat, column Module

  friend bool operator==(const CommentSettings&, const CommentSettings&) = default;
};

// A delimiter line is "' " and the repeated character; a code line holds at most 1,023
// characters, so a longer count could only produce lines the IDE refuses to load.
inline constexpr int kMaxDelimCount = 1021;

// What the count field holds after an edit: the whole number its text reads as, in plain digits.
// The text is read as the number fields read theirs ("007" gives 7, " 12" gives 12, halves round
// to even); text that reads as no number and negative numbers give 0, so the field never holds
// anything the save could not write unquoted. Counts above kMaxDelimCount give kMaxDelimCount.
std::string DelimCountText(std::string_view text);

// The count as a number, by the same rules.
int DelimCount(std::string_view text);

// Reads the first row of Comments through the shared recordset, which is closed again; the
// connection is opened first when it is not, and stays open. A missing table or row is created
// with the defaults first where the database can be written. std::nullopt when there is still no
// row. host::StoreError when the database cannot be opened or read.
std::optional<CommentSettings> LoadCommentSettings(host::Database& database);

// Writes the settings with the settings update, creating a missing table or row first.
// host::StoreError when the database cannot be opened or written; the table is then unchanged.
void SaveCommentSettings(host::Database& database, const CommentSettings& settings);

}  // namespace marquill::docs
