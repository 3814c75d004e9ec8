#include "host/timelog/time_log_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/support/named_rows.h"

namespace marquill::host {
namespace {

constexpr std::int64_t kDay = 86400;

// ---- Timestamps ---------------------------------------------------------------------------

struct TimestampCase {
  const char* name;
  const char* text;
  DateOrder order;
  // Expected seconds after 2026-12-06 00:00:00; nullopt: does not read.
  std::optional<std::int64_t> after_dec_6;
};

class TimestampTest : public testing::TestWithParam<TimestampCase> {};

TEST_P(TimestampTest, ReadsAsExpected) {
  const TimestampCase& row = GetParam();
  const std::int64_t base = *ParseTimestamp("2026-12-06 00:00:00", DateOrder::kDayFirst);
  std::optional<std::int64_t> parsed = ParseTimestamp(row.text, row.order);
  if (!row.after_dec_6) {
    EXPECT_FALSE(parsed) << row.text << " read as " << *parsed - base;
    return;
  }
  ASSERT_TRUE(parsed) << row.text;
  EXPECT_EQ(*parsed - base, *row.after_dec_6) << row.text;
}

constexpr std::int64_t k0905 = 9 * 3600 + 5 * 60;
const auto kDayFirst = DateOrder::kDayFirst;
const auto kMonthFirst = DateOrder::kMonthFirst;

const TimestampCase kTimestamps[] = {
    {"Iso", "2026-12-06 09:05:00", kDayFirst, k0905},
    {"IsoIgnoresTheLocaleOrder", "2026-12-06 09:05:00", kMonthFirst, k0905},
    {"IsoWithT", "2026-12-06T09:05:00", kDayFirst, k0905},
    {"UsShortDateAndLongTime", "12/6/2026 9:05:00 AM", kMonthFirst, k0905},
    {"UsAfternoon", "12/6/2026 1:05:00 PM", kMonthFirst, 13 * 3600 + 300},
    {"UsMidnightIsTwelveAm", "12/6/2026 12:00:00 AM", kMonthFirst, 0},
    {"UsNoonIsTwelvePm", "12/6/2026 12:00:00 pm", kMonthFirst, 12 * 3600},
    {"GermanDotted", "06.12.2026 09:05:00", kMonthFirst, k0905},
    {"BritishSlashed", "06/12/2026 09:05:00", kDayFirst, k0905},
    {"SlashedMonthFirstIsJune", "06/12/2026 09:05:00", kMonthFirst, -177 * kDay + k0905},
    {"DayOver12ReadsTheOtherWay", "13/12/2026 00:00:00", kMonthFirst, 7 * kDay},
    {"DutchDashed", "6-12-2026 9:05:00", kDayFirst, k0905},
    {"YearFirstSlashed", "2026/12/06 09:05:00", kMonthFirst, k0905},
    {"HungarianDotsAndBlanks", "2026. 12. 06. 9:05:00", kDayFirst, k0905},
    {"TwoDigitYear", "06/12/26 09:05:00", kDayFirst, k0905},
    {"NoSeconds", "06/12/2026 09:05", kDayFirst, k0905},
    {"DateAloneIsMidnight", "06/12/2026", kDayFirst, 0},
    {"BlanksAround", "  2026-12-06 09:05:00 \t", kDayFirst, k0905},
    {"LeapDay", "29/02/2024 00:00:00", kDayFirst, -1011 * kDay},
    {"NoLeapDay", "29/02/2026 00:00:00", kDayFirst, std::nullopt},
    {"Empty", "", kDayFirst, std::nullopt},
    {"Words", "yesterday morning", kDayFirst, std::nullopt},
    {"TimeAlone", "09:05:00", kDayFirst, std::nullopt},
    {"Month13BothWays", "13/13/2026 09:05:00", kDayFirst, std::nullopt},
    {"Hour24", "2026-12-06 24:00:00", kDayFirst, std::nullopt},
    {"Minute60", "2026-12-06 09:60:00", kDayFirst, std::nullopt},
    {"ThirteenPm", "12/6/2026 13:05:00 PM", kMonthFirst, std::nullopt},
    {"TrailingText", "2026-12-06 09:05:00 or so", kDayFirst, std::nullopt},
    {"MixedSeparators", "06/12.2026 09:05:00", kDayFirst, std::nullopt},
    {"FiveDigitYear", "06/12/20266 09:05:00", kDayFirst, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Forms, TimestampTest, testing::ValuesIn(kTimestamps),
                         host::test::RowName());

TEST(TimestampTest, WhatIsWrittenReadsBackInEveryLocale) {
  const std::string text = FormatTimestamp({2026, 1, 2, 3, 4, 5});
  EXPECT_EQ(text, "2026-01-02 03:04:05");
  EXPECT_EQ(ParseTimestamp(text, kDayFirst), ParseTimestamp("02/01/2026 03:04:05", kDayFirst));
  EXPECT_EQ(ParseTimestamp(text, kMonthFirst), ParseTimestamp("1/2/2026 3:04:05 AM", kMonthFirst));
}

struct LocaleCase {
  const char* name;
  const char* locale;
  DateOrder order;
};

class LocaleOrderTest : public testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleOrderTest, TakesTheOrderOfTheTerritory) {
  EXPECT_EQ(DateOrderOfLocale(GetParam().locale), GetParam().order) << GetParam().locale;
}

const LocaleCase kLocales[] = {
    {"UnitedStates", "en_US.UTF-8", kMonthFirst},
    {"Britain", "en_GB.UTF-8", kDayFirst},
    {"Germany", "de_DE@euro", kDayFirst},
    {"France", "fr_FR", kDayFirst},
    {"Philippines", "fil_PH.UTF-8", kMonthFirst},
    {"SpanishUs", "es_US", kMonthFirst},
    {"C", "C", kMonthFirst},
    {"CUtf8", "C.UTF-8", kMonthFirst},
    {"Posix", "POSIX", kMonthFirst},
};

INSTANTIATE_TEST_SUITE_P(Locales, LocaleOrderTest, testing::ValuesIn(kLocales),
                         host::test::RowName());

// ---- Summation ------------------------------------------------------------------------------

struct SumCase {
  const char* name;
  std::vector<std::string> lines;
  std::int64_t seconds;
  std::vector<int> unread;
};

class SumTest : public testing::TestWithParam<SumCase> {};

std::string Joined(const std::vector<std::string>& lines, const char* end) {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

TEST_P(SumTest, TotalsTheLog) {
  const SumCase& row = GetParam();
  // The same lines total the same whatever ends them.
  for (const char* end : {"\r\n", "\n", "\r"}) {
    TimeLogTotal total = SumTimeLog(Joined(row.lines, end), kDayFirst);
    EXPECT_EQ(total.seconds, row.seconds)
        << "lines ended by " << (end[0] == '\r' ? "CR" : "LF") << (end[1] != '\0' ? " LF" : "");
    EXPECT_EQ(total.unread_lines, row.unread);
  }
}

const SumCase kSums[] = {
    {"OnePair", {"Start at 2026-12-06 09:00:00", "Stop  at 2026-12-06 10:30:05"}, 5405, {}},
    {"TwoPairs",
     {"Start at 2026-12-06 09:00:00", "Stop  at 2026-12-06 09:00:10",
      "Start at 2026-12-07 09:00:00", "Stop  at 2026-12-07 09:01:00"},
     70,
     {}},
    {"AcrossMidnight", {"Start at 06/12/2026 23:00:00", "Stop  at 07/12/2026 01:00:00"}, 7200, {}},
    {"AcrossSeveralDays",
     {"Start at 2026-12-06 09:00:00", "Stop  at 2026-12-09 10:01:01"},
     3 * kDay + 3661,
     {}},
    {"AcrossAYearEnd", {"Start at 31/12/2026 23:59:59", "Stop  at 01/01/2027 00:00:01"}, 2, {}},
    {"StartStartStopCountsFromTheSecond",
     {"Start at 2026-12-06 09:00:00", "Start at 2026-12-06 10:00:00",
      "Stop  at 2026-12-06 10:00:30"},
     30,
     {}},
    {"StartStopStopCountsTheStartTwice",
     {"Start at 2026-12-06 09:00:00", "Stop  at 2026-12-06 09:00:10",
      "Stop  at 2026-12-06 09:00:20"},
     30,
     {}},
    {"TrailingStartAddsNothing",
     {"Start at 2026-12-06 09:00:00", "Stop  at 2026-12-06 09:00:10",
      "Start at 2026-12-06 11:00:00"},
     10,
     {}},
    {"NoStopIsZero", {"Start at 2026-12-06 09:00:00"}, 0, {}},
    {"StopBeforeAnyStart", {"Stop  at 2026-12-06 09:00:00"}, 0, {}},
    {"UnreadableStopAddsNothing",
     {"Start at 2026-12-06 09:00:00", "Stop  at soon", "Stop  at 2026-12-06 09:00:05"},
     5,
     {2}},
    {"UnreadableStartForgetsTheEarlierOne",
     {"Start at 2026-12-06 09:00:00", "Start at a while ago", "Stop  at 2026-12-06 09:00:05"},
     0,
     {2}},
    {"ShortAndBlankLinesAreSkippedQuietly",
     {"", "Start at ", "Start at 2026-12-06 09:00:00", "Stop  at 2026-12-06 09:00:05"},
     5,
     {}},
    {"OtherLinesAreShownNotCounted",
     {"# week 49 of 2026", "Start at 2026-12-06 09:00:00", "Stopped at 2026-12-06 10:00:00",
      "Stop  at 2026-12-06 09:00:05"},
     5,
     {1, 3}},
    {"TheNinthCharacterIsNotLookedAt",
     {"Start atX2026-12-06 09:00:00", "Stop  at:2026-12-06 09:00:05"},
     5,
     {}},
    {"ForeignLocaleForms",
     {"Start at 06.12.2026 09:00:00", "Stop  at 06/12/2026 10:00:00",
      "Start at 2026-12-06 11:00:00", "Stop  at 6-12-2026 11:00:01"},
     3601,
     {}},
    {"StopBeforeStartCountsBackwards",
     {"Start at 2026-12-06 10:00:00", "Stop  at 2026-12-06 09:00:00"},
     -3600,
     {}},
};

INSTANTIATE_TEST_SUITE_P(Logs, SumTest, testing::ValuesIn(kSums), host::test::RowName());

TEST(SumTest, TheLocaleDecidesAmbiguousDates) {
  const std::string log = "Start at 01/02/2026 00:00:00\r\nStop  at 01/03/2026 00:00:00\r\n";
  EXPECT_EQ(SumTimeLog(log, kDayFirst).seconds, 28 * kDay);   // 1 February to 1 March
  EXPECT_EQ(SumTimeLog(log, kMonthFirst).seconds, 1 * kDay);  // 2 January to 3 January
}

TEST(SumTest, GrowsPastWhatThirtyTwoBitsHold) {
  std::string log;
  for (int year = 2000; year < 2100; ++year) {
    log += "Start at " + std::to_string(year) + "-01-01 00:00:00\r\n";
    log += "Stop  at " + std::to_string(year) + "-12-31 00:00:00\r\n";
  }
  EXPECT_GT(SumTimeLog(log, kDayFirst).seconds, std::int64_t{1} << 31);
}

// ---- Total -----------------------------------------------------------------------------------

struct TotalCase {
  const char* name;
  std::int64_t seconds;
  const char* text;
};

class TotalTest : public testing::TestWithParam<TotalCase> {};

TEST_P(TotalTest, Formats) { EXPECT_EQ(FormatLogTotal(GetParam().seconds), GetParam().text); }

const TotalCase kTotals[] = {
    {"Zero", 0, "00:00:00"},
    {"UnderADay", 40000, "11:06:40"},
    {"LastSecondOfADay", 86399, "23:59:59"},
    {"ExactlyOneDay", 86400, "1 day(s) 00:00:00"},
    {"OneDayAndASecond", 86401, "1 day(s) 00:00:01"},
    {"DayHourMinuteSecond", 90061, "1 day(s) 01:01:01"},
    {"ManyDays", 400 * kDay + 59, "400 day(s) 00:00:59"},
    {"Negative", -3661, "-01:01:01"},
};

INSTANTIATE_TEST_SUITE_P(Totals, TotalTest, testing::ValuesIn(kTotals), host::test::RowName());

struct LastEntryCase {
  const char* name;
  const char* log;
  bool running;
};

class ClockLeftRunningTest : public testing::TestWithParam<LastEntryCase> {};

TEST_P(ClockLeftRunningTest, LooksAtTheLastStartOrStop) {
  EXPECT_EQ(ClockLeftRunning(GetParam().log), GetParam().running) << GetParam().log;
}

const LastEntryCase kLastEntries[] = {
    {"Empty", "", false},
    {"Start", "Start at 2026-12-06 09:00:00\r\n", true},
    {"StartWithoutLineBreak", "Start at 2026-12-06 09:00:00", true},
    {"StartThenStop", "Start at 2026-12-06 09:00:00\r\nStop  at 2026-12-06 09:01:00\r\n", false},
    {"StopThenStart", "Stop  at 2026-12-06 09:00:00\nStart at 2026-12-06 09:01:00\n", true},
    {"NotesAndBlankLinesAfterAStart", "Start at 2026-12-06 09:00:00\r\nlunch break\r\n\r\n", true},
    {"UnreadableStartStillCounts", "Stop  at 2026-12-06 09:00:00\rStart at soon\r", true},
    {"BareStartPrefixIsNoEntry", "Stop  at 2026-12-06 09:00:00\r\nStart at \r\n", false},
};

INSTANTIATE_TEST_SUITE_P(Logs, ClockLeftRunningTest, testing::ValuesIn(kLastEntries),
                         host::test::RowName());

TEST(TimeLogPathTest, TheLogStandsBesideTheProjectFile) {
  EXPECT_EQ(TimeLogPath("/work/Billing.vbp"), "/work/Billing.logs");
  EXPECT_EQ(TimeLogPath(""), "");
}

TEST(LooksLikeTextTest, ANulByteMarksABinaryFile) {
  EXPECT_TRUE(LooksLikeText("Start at 2026-12-06 09:00:00\r\n"));
  EXPECT_FALSE(LooksLikeText(std::string("MZ\0\1", 4)));
}

}  // namespace
}  // namespace marquill::host
