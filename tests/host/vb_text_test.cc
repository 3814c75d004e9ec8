#include "host/text/vb_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "host/support/named_rows.h"

namespace marquill::host {
namespace {

using test::RowName;

// Row names become test names, so they say what the row proves.
template <class T>
struct ConversionCase {
  const char* name;
  const char* text;
  std::optional<T> expected;  // nullopt: the conversion must fail
};

template <class T, class F>
void ExpectConversion(const ConversionCase<T>& row, F convert) {
  if (row.expected) {
    EXPECT_EQ(convert(row.text), *row.expected) << "text: \"" << row.text << "\"";
  } else {
    EXPECT_THROW(convert(row.text), ConversionError) << "text: \"" << row.text << "\"";
  }
}

// --- CLng -----------------------------------------------------------------------------------

using ClngCase = ConversionCase<std::int32_t>;
class ClngTest : public testing::TestWithParam<ClngCase> {};

TEST_P(ClngTest, Converts) {
  ExpectConversion(GetParam(), [](const char* t) { return CLng(t); });
}

const ClngCase kClngCases[] = {
    {"Plain", "12", 12},
    {"LeadingBlanks", " 12", 12},
    {"TrailingBlanksAndTabs", "12 \t", 12},
    {"LeadingZeros", "007", 7},
    {"Negative", "-1", -1},
    {"ExplicitPlus", "+5", 5},
    {"Exponent", "1e3", 1000},
    {"ExponentUpperCaseWithSign", "25E-1", 2},
    {"ExponentLetterD", "1d2", 100},
    {"Hex", "&H10", 16},
    {"HexLowerCase", "&hff", 255},
    {"HexFullWordIsMinusOne", "&HFFFF", -1},
    {"HexBeyondWordIsLong", "&H10000", 65536},
    {"HexFullLongIsMinusOne", "&HFFFFFFFF", -1},
    {"Octal", "&O17", 15},
    {"HalfRoundsDownToEven", "2.5", 2},
    {"HalfRoundsUpToEven", "3.5", 4},
    {"LeadingPoint", ".5", 0},
    {"TrailingPoint", "5.", 5},
    {"LargestLong", "2147483647", 2147483647},
    {"SmallestLong", "-2147483648", -2147483647 - 1},
    {"TrailingLetterFails", "12a", std::nullopt},
    {"EmptyFails", "", std::nullopt},
    {"OnlyBlanksFails", "   ", std::nullopt},
    {"LettersFail", "abc", std::nullopt},
    {"InnerBlankFails", "1 2", std::nullopt},
    {"LoneSignFails", "-", std::nullopt},
    {"LonePointFails", ".", std::nullopt},
    {"ExponentWithoutDigitsFails", "1e", std::nullopt},
    {"TwoPointsFail", "1.2.3", std::nullopt},
    {"HexWithoutDigitsFails", "&H", std::nullopt},
    {"BadHexDigitFails", "&HG", std::nullopt},
    {"OctalDigitEightFails", "&O8", std::nullopt},
    {"AboveLongFails", "2147483648", std::nullopt},
    {"HalfAboveLongRoundsOutOfRange", "2147483647.5", std::nullopt},
    {"BelowLongFails", "-2147483649", std::nullopt},
    {"HexWiderThanLongFails", "&H100000000", std::nullopt},
    {"HugeExponentFails", "1e400", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Rows, ClngTest, testing::ValuesIn(kClngCases), RowName());

// --- CInt -----------------------------------------------------------------------------------

using CintCase = ConversionCase<std::int16_t>;
class CintTest : public testing::TestWithParam<CintCase> {};

TEST_P(CintTest, Converts) {
  ExpectConversion(GetParam(), [](const char* t) { return CInt(t); });
}

const CintCase kCintCases[] = {
    {"Plain", "80", 80},
    {"LargestInteger", "32767", 32767},
    {"SmallestInteger", "-32768", -32768},
    {"HalfToEven", "4.5", 4},
    {"HexFullWord", "&HFFFF", -1},
    {"AboveIntegerFails", "32768", std::nullopt},
    {"HexBeyondWordFails", "&H10000", std::nullopt},
    {"TextFails", "x", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Rows, CintTest, testing::ValuesIn(kCintCases), RowName());

// --- CDbl -----------------------------------------------------------------------------------

using CdblCase = ConversionCase<double>;
class CdblTest : public testing::TestWithParam<CdblCase> {};

TEST_P(CdblTest, Converts) {
  ExpectConversion(GetParam(), [](const char* t) { return CDbl(t); });
}

const CdblCase kCdblCases[] = {
    {"Fraction", "1.5", 1.5},
    {"NegativeFractionWithBlanks", "  -0.25 ", -0.25},
    {"KeepsFractionUnrounded", "2.5", 2.5},
    {"LargeExponent", "1E+20", 1e20},
    {"SmallExponent", "1E-05", 1e-5},
    {"UnderflowReadsAsZero", "1e-400", 0.0},
    {"Hex", "&H7FFF", 32767.0},
    {"EmptyFails", "", std::nullopt},
    {"TrailingTextFails", "1.5x", std::nullopt},
    {"OverflowFails", "1e309", std::nullopt},
    {"SignedHexFails", "-&H10", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Rows, CdblTest, testing::ValuesIn(kCdblCases), RowName());

// --- Val ------------------------------------------------------------------------------------

using ValCase = ConversionCase<double>;
class ValTest : public testing::TestWithParam<ValCase> {};

TEST_P(ValTest, ReadsLeadingNumber) {
  ExpectConversion(GetParam(), [](const char* t) { return Val(t); });
}

const ValCase kValCases[] = {
    {"Empty", "", 0.0},
    {"NoNumber", "abc", 0.0},
    {"TrailingLetters", "12a", 12.0},
    {"SignFractionExponent", " -1.5e1x", -15.0},
    {"BlanksInsideAreSkipped", "1 2\t3\n4", 1234.0},
    {"StopsAtSecondPoint", "1.2.3", 1.2},
    {"StopsAtMinusAfterDigits", "0-5", 0.0},
    {"ExponentWithoutDigitsIgnored", "3e", 3.0},
    {"ExponentSignWithoutDigitsIgnored", "3e+x", 3.0},
    {"ExponentLetterD", "2D3", 2000.0},
    {"LeadingPoint", ".25", 0.25},
    {"Hex", "&H1F", 31.0},
    {"HexFullWord", "&HFFFF", -1.0},
    {"HexStopsAtNonDigit", "&H1Fz", 31.0},
    {"HexWithoutDigitsIsZero", "&Hx", 0.0},
    {"Octal", "&O777", 511.0},
    {"LoneAmpersandIsZero", "&", 0.0},
    {"CarriageReturnStops", "1\r2", 1.0},
    {"UnderflowIsZero", "1e-999", 0.0},
    {"TinyFractionIsZero",
     "0.00000000000000000000000000000000000000000000000000000000000000000"
     "00000000000000000000000000000000000000000000000000000000000000000"
     "00000000000000000000000000000000000000000000000000000000000000000"
     "00000000000000000000000000000000000000000000000000000000000000000"
     "00000000000000000000000000000000000000000000000000000000000000001",
     0.0},
    {"OverflowFails", "9e999", std::nullopt},
    {"HexWiderThanLongFails", "&H123456789", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Rows, ValTest, testing::ValuesIn(kValCases), RowName());

// --- NumberText -----------------------------------------------------------------------------

struct NumberTextCase {
  const char* name;
  double value;
  const char* expected;
};

class NumberTextTest : public testing::TestWithParam<NumberTextCase> {};

TEST_P(NumberTextTest, PrintsAsTheLanguageDoes) {
  EXPECT_EQ(NumberText(GetParam().value), GetParam().expected);
}

const NumberTextCase kNumberTextCases[] = {
    {"WholeHasNoPoint", 80.0, "80"},
    {"Zero", 0.0, "0"},
    {"NegativeZero", -0.0, "0"},
    {"Fraction", 1.5, "1.5"},
    {"NegativeFraction", -0.25, "-0.25"},
    {"FifteenDigitsStayPlain", 123456789012345.0, "123456789012345"},
    {"SixteenDigitsRoundToFifteen", 1234567890123456.0, "1.23456789012346E+15"},
    {"LargePowerOfTen", 1e20, "1E+20"},
    {"TenToTheFifteenIsExponential", 1e15, "1E+15"},
    {"SmallStaysPlain", 0.0001, "0.0001"},
    {"SmallerIsExponential", 0.00001, "1E-05"},
    {"ThreeDigitExponent", 1.5e-100, "1.5E-100"},
    {"BinaryNoiseRoundedAway", 0.1 + 0.2, "0.3"},
};
INSTANTIATE_TEST_SUITE_P(Rows, NumberTextTest, testing::ValuesIn(kNumberTextCases), RowName());

TEST(NumberTextTest, ReadsBackToTheSameText) {
  for (const double value : {1.0 / 3.0, -2.0 / 7.0, 6.02214076e23, 1e-7, 98765.4321, 1e300}) {
    const std::string text = NumberText(value);
    EXPECT_EQ(NumberText(CDbl(text)), text) << value;
  }
}

// --- Rounding -------------------------------------------------------------------------------

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.5), 0.0);
  EXPECT_EQ(RoundHalfEven(1.5), 2.0);
  EXPECT_EQ(RoundHalfEven(2.5), 2.0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2.0);
  EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
  EXPECT_EQ(RoundHalfEven(2.4999), 2.0);
  EXPECT_EQ(RoundHalfEven(2.5001), 3.0);
  EXPECT_EQ(RoundHalfEven(-7.6), -8.0);
  EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497.0);  // 2^52 + 1 stays odd
}

// --- Number fields --------------------------------------------------------------------------

struct FieldCase {
  const char* name;
  const char* text;
  const char* decimal;  // DecimalFieldText
  const char* whole;    // WholeNumberFieldText
};

class NumberFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(NumberFieldTest, NormalisesAndReachesAFixedPoint) {
  const FieldCase& row = GetParam();
  EXPECT_EQ(DecimalFieldText(row.text), row.decimal);
  EXPECT_EQ(WholeNumberFieldText(row.text), row.whole);
  // The field rewrites itself, which fires its handler again: that second pass must be a no-op.
  EXPECT_EQ(DecimalFieldText(row.decimal), row.decimal);
  EXPECT_EQ(WholeNumberFieldText(row.whole), row.whole);
}

const FieldCase kFieldCases[] = {
    {"EmptyBecomesZero", "", "0", "0"},
    {"DigitsKept", "4", "4", "4"},
    {"LettersAfterDigitsDropped", "12ab", "12", "12"},
    {"LeadingZerosDropped", "007", "7", "7"},
    {"LeadingBlankSkipped", " 12", "12", "12"},
    {"MinusGivesZero", "-3", "0", "0"},
    {"FractionKeptOrRounded", "1.5", "1.5", "2"},
    {"HalfRoundsToEven", "2.5", "2.5", "2"},
    {"ExponentExpanded", "2e2", "200", "200"},
    {"LargeStaysExponential", "1e20", "1E+20", "1E+20"},
    {"OnlyLetters", "abc", "0", "0"},
};
INSTANTIATE_TEST_SUITE_P(Rows, NumberFieldTest, testing::ValuesIn(kFieldCases), RowName());

// --- Text helpers ---------------------------------------------------------------------------

TEST(CountOfTest, CountsOverlappingMatches) {
  EXPECT_EQ(CountOf("aaaa", "aa"), 3);
  EXPECT_EQ(CountOf("abab", "ab"), 2);
  EXPECT_EQ(CountOf("x = \"a\"\"b\"", "\""), 4);
  EXPECT_EQ(CountOf("", "a"), 0);
  EXPECT_EQ(CountOf("abc", "abcd"), 0);
  EXPECT_EQ(CountOf("abc", ""), 0);
  EXPECT_EQ(CountOf("Sub sub SUB", "Sub"), 1);  // exact case
}

TEST(QuoteSqlTest, DoublesEveryApostrophe) {
  EXPECT_EQ(QuoteSql("it's"), "it''s");
  EXPECT_EQ(QuoteSql("''"), "''''");
  EXPECT_EQ(QuoteSql("' comment\r\n'"), "'' comment\r\n''");
  EXPECT_EQ(QuoteSql("no quotes \"here\""), "no quotes \"here\"");
  EXPECT_EQ(QuoteSql(""), "");
}

TEST(TrimTest, RemovesSpacesButNeverTabs) {
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("\t a \t"), "\t a \t");
  EXPECT_EQ(TrimSpaces("    "), "");
  EXPECT_EQ(TrimLeadingSpaces("  a  "), "a  ");
  EXPECT_EQ(TrimTrailingSpaces("  a  "), "  a");
  EXPECT_EQ(TrimLeadingSpaces(" \ta"), "\ta");
}

TEST(TrimTest, TrimBlanksRemovesTabsToo) {
  EXPECT_EQ(TrimBlanks(" \tBegin VB.Form\t "), "Begin VB.Form");
  EXPECT_EQ(TrimBlanks("\t\t"), "");
}

TEST(NoCaseTest, FoldsAsciiLettersOnly) {
  EXPECT_TRUE(EqualsNoCase("VB_Name", "vb_name"));
  EXPECT_FALSE(EqualsNoCase("Name", "Names"));
  EXPECT_FALSE(EqualsNoCase("\xC9t\xE9", "\xE9t\xE9")) << "bytes of the code page stay as they are";
  EXPECT_TRUE(StartsWithNoCase("VB_VarHelpID", "vb_var"));
  EXPECT_FALSE(StartsWithNoCase("VB", "VB_"));
  EXPECT_EQ(LowerAscii("Form1.FRM\xC9"), "form1.frm\xC9");
}

TEST(IndentationTest, CountsLeadingSpacesOnly) {
  EXPECT_EQ(Indentation("    x = 1"), 4);
  EXPECT_EQ(Indentation("x"), 0);
  EXPECT_EQ(Indentation("   "), 3);
  EXPECT_EQ(Indentation("  \tx"), 2);
}

TEST(ContinuationTest, NeedsSpaceThenUnderscoreAtTheEnd) {
  EXPECT_TRUE(EndsWithContinuation("Call Foo(a, _"));
  EXPECT_TRUE(EndsWithContinuation(" _"));
  EXPECT_FALSE(EndsWithContinuation("x = a_"));
  EXPECT_FALSE(EndsWithContinuation("Call Foo _ "));
  EXPECT_FALSE(EndsWithContinuation("_"));
}

}  // namespace
}  // namespace marquill::host
