// The number formats on their own, as the text the user sees.
#include "controls/NumberFormats.h"

#include "calc/Errors.h"

#include <gtest/gtest.h>
#include <limits>

using namespace NumberFormats;

namespace {
const TFormatSettings us = Regional::UnitedStates();
const double inf = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

// German-style settings: comma decimals, dot grouping, symbol after with a space.
TFormatSettings Comma()
{
    TFormatSettings s;
    s.DecimalSeparator = ',';
    s.ThousandSeparator = '.';
    s.CurrencyString = QStringLiteral("EUR");
    s.CurrencyFormat = 3;
    s.NegCurrFormat = 8;
    return s;
}

struct Row {
    const char* name;
    QString actual;
    const char* expected;
};

void PrintTo(const Row& row, std::ostream* os)
{
    *os << row.name;
}

class Formats : public ::testing::TestWithParam<Row> {};

TEST_P(Formats, ShowsTheExpectedText)
{
    EXPECT_EQ(GetParam().actual.toStdString(), GetParam().expected);
}

std::string RowName(const ::testing::TestParamInfo<Row>& info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    General, Formats,
    ::testing::Values(Row{"Zero", GeneralText(0, us), "0"},
                      Row{"NegativeZero", GeneralText(-0.0, us), "0"},
                      Row{"Decimal", GeneralText(1234.5, us), "1234.5"},
                      Row{"NoGrouping", GeneralText(100000, us), "100000"},
                      Row{"Negative", GeneralText(-2.25, us), "-2.25"},
                      Row{"ShortestForm", GeneralText(0.1 + 0.2, us), "0.3"},
                      Row{"FifteenDigits", GeneralText(1.0 / 3, us), "0.333333333333333"},
                      Row{"SmallestFixed", GeneralText(0.0001, us), "0.0001"},
                      Row{"BelowFixed", GeneralText(0.00009, us), "9E-5"},
                      Row{"ScientificNegativeExponent", GeneralText(1.5e-7, us), "1.5E-7"},
                      Row{"ScientificLarge", GeneralText(1e20, us), "1E20"},
                      Row{"LargestFixed", GeneralText(999999999999999, us), "999999999999999"},
                      Row{"RoundsIntoScientific", GeneralText(9999999999999999.0, us), "1E16"},
                      Row{"PrecisionTen", GeneralText(12345678901.0, us, 10), "1.23456789E10"},
                      Row{"CommaSeparator", GeneralText(-1234.5, Comma()), "-1234,5"},
                      Row{"Infinity", GeneralText(inf, us), "INF"},
                      Row{"NegativeInfinity", GeneralText(-inf, us), "-INF"},
                      Row{"NaN", GeneralText(NaN, us), "NAN"}),
    RowName);

INSTANTIATE_TEST_SUITE_P(
    Fixed, Formats,
    ::testing::Values(Row{"TwoDecimals", FixedText(25, 12, 2, us), "25.00"},
                      Row{"HalfAwayFromZero", FixedText(0.125, 15, 2, us), "0.13"},
                      Row{"NegativeHalfAwayFromZero", FixedText(-0.125, 15, 2, us), "-0.13"},
                      Row{"DecimalWrittenHalf", FixedText(1.005, 15, 2, us), "1.01"},
                      Row{"NoGroupingNoSeparator", FixedText(1234567.4, 15, 0, us), "1234567"},
                      Row{"CarryIntoNewDigit", FixedText(9.996, 15, 2, us), "10.00"},
                      Row{"NegativeRoundsToZero", FixedText(-0.004, 15, 2, us), "0.00"},
                      Row{"TinyValue", FixedText(1e-300, 15, 2, us), "0.00"},
                      Row{"IntegerPartTooLong", FixedText(123456789012.0, 10, 2, us),
                          "1.23456789E11"},
                      Row{"PrecisionAtLeastTwo", FixedText(123, 0, 0, us), "1.2E2"},
                      Row{"CommaSeparator", FixedText(8.75, 15, 3, Comma()), "8,750"},
                      // Rounded at the decimals or at the precision's digit, whichever first.
                      Row{"RateAtFifthDigit", FixedText(123.4567, 5, 3, us), "123.460"},
                      Row{"RateHalfAtFifthDigit", FixedText(113.285, 5, 3, us), "113.290"},
                      Row{"RateAtThirdDecimal", FixedText(8.7505, 5, 3, us), "8.751"},
                      Row{"RateCarriesPastFiveDigits", FixedText(99999.5, 5, 3, us), "1E5"},
                      Row{"NegativeRate", FixedText(-1234.5678, 5, 3, us), "-1234.600"},
                      Row{"PercentageAtDigits", FixedText(1234567.891, 8, 2, us), "1234567.90"}),
    RowName);

INSTANTIATE_TEST_SUITE_P(
    Currency, Formats,
    ::testing::Values(
        Row{"Grouped", CurrencyText(100000, 12, 2, us), "$100,000.00"},
        Row{"NoDecimals", CurrencyText(95000, 10, 0, us), "$95,000"},
        Row{"NegativeParentheses", CurrencyText(-5, 12, 2, us), "($5.00)"},
        Row{"Zero", CurrencyText(0, 12, 2, us), "$0.00"},
        Row{"NegativeRoundingToZero", CurrencyText(-0.001, 12, 2, us), "$0.00"},
        Row{"Millions", CurrencyText(-1234567.891, 12, 2, us), "($1,234,567.89)"},
        Row{"BeyondTenDigits", CurrencyText(12345678901.0, 10, 0, us), "1.23456789E10"},
        Row{"BeyondTwelveDigits", CurrencyText(-1e12, 12, 2, us), "-1E12"},
        Row{"CommaSettings", CurrencyText(1234567.5, 12, 2, Comma()), "1.234.567,50 EUR"},
        Row{"CommaSettingsNegative", CurrencyText(-0.5, 12, 2, Comma()), "-0,50 EUR"},
        Row{"AtTwelfthDigit", CurrencyText(12345678901.129, 12, 2, us), "$12,345,678,901.10"},
        Row{"TwelfthDigitCarries", CurrencyText(99999999999.99, 12, 2, us), "$100,000,000,000.00"}),
    RowName);

INSTANTIATE_TEST_SUITE_P(
    Mask, Formats,
    ::testing::Values(Row{"DefaultPositive", MaskText(1234.567, "#,##0", us), "1,235"},
                      Row{"DefaultNegative", MaskText(-1234, "#,##0;;", us), "-1,234"},
                      Row{"DefaultZero", MaskText(0, "#,##0;;", us), "0"},
                      Row{"ThreeDecimals", MaskText(8.75, "0.000", us), "8.750"},
                      Row{"NoDecimals", MaskText(30, "0", us), "30"},
                      Row{"HalfAwayFromZero", MaskText(2.5, "0", us), "3"},
                      Row{"NegativeHalfAwayFromZero", MaskText(-2.5, "0", us), "-3"},
                      Row{"NegativeRoundsToZeroHasNoSign", MaskText(-0.4, "0", us), "0"},
                      Row{"OwnNegativeSectionHasNoSign", MaskText(-5, "0.00;(0.00)", us), "(5.00)"},
                      Row{"ZeroSection", MaskText(0, "0.00;-0.00;\"nil\"", us), "nil"},
                      Row{"RoundedToZeroUsesZeroSection", MaskText(0.001, "0.00;;zero", us),
                          "zero"},
                      Row{"HashDropsZeros", MaskText(0.5, "#.##", us), ".5"},
                      Row{"HashDropsDecimalSeparator", MaskText(5, "#.##", us), "5"},
                      Row{"ZeroPadsDecimals", MaskText(5.1, "0.0#", us), "5.1"},
                      Row{"LeadingZeros", MaskText(7, "000", us), "007"},
                      Row{"ExtraDigitsGoFirst", MaskText(123456, "0", us), "123456"},
                      Row{"LiteralBetweenDigits", MaskText(1234, "00-00", us), "12-34"},
                      Row{"CommaAnywhereGroups", MaskText(1234567, "0,", us), "1,234,567"},
                      Row{"FurtherPointsIgnored", MaskText(1.5, "0.0.0", us), "1.50"},
                      Row{"QuotedText", MaskText(12, "0' kg'", us), "12 kg"},
                      Row{"QuotedSemicolon", MaskText(-3, "0\";\"x;0", us), "3"},
                      Row{"OtherCharactersCopied", MaskText(0.25, "0.00%", us), "0.25%"},
                      Row{"ScientificPlus", MaskText(1234, "0.00E+00", us), "1.23E+03"},
                      Row{"ScientificPlusNegative", MaskText(0.000123, "0.00E+00", us), "1.23E-04"},
                      Row{"ScientificMinusPositive", MaskText(1234, "0.0e-0", us), "1.2e3"},
                      Row{"ScientificMinusNegative", MaskText(0.0123, "0.0E-", us), "1.2E-2"},
                      Row{"ScientificWideExponent", MaskText(5, "0E+0000", us), "5E+0000"},
                      Row{"ScientificCarry", MaskText(9.99, "0.0E+0", us), "1.0E+1"},
                      Row{"EmptyMaskIsGeneral", MaskText(1234.5, "", us), "1234.5"},
                      Row{"EmptyPositiveSection", MaskText(1234.5, ";0", us), "1234.5"},
                      Row{"CommaSettings", MaskText(1234.5, "#,##0.00", Comma()), "1.234,50"},
                      Row{"HugeValueStaysDigits", MaskText(1e20, "0", us), "100000000000000000000"},
                      Row{"NaN", MaskText(NaN, "0.00", us), "NAN"}),
    RowName);

// Every positive and negative currency pattern, with a two-character symbol so that the
// places of symbol, blank and sign are all visible.
struct PatternRow {
    int pattern;
    const char* expected;
};

class NegativeCurrencyPatterns : public ::testing::TestWithParam<PatternRow> {};

TEST_P(NegativeCurrencyPatterns, PlaceSymbolAndSign)
{
    TFormatSettings s = us;
    s.CurrencyString = "kr";
    s.NegCurrFormat = GetParam().pattern;
    EXPECT_EQ(CurrencyText(-1234.5, 12, 2, s).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    All, NegativeCurrencyPatterns,
    ::testing::Values(PatternRow{0, "(kr1,234.50)"}, PatternRow{1, "-kr1,234.50"},
                      PatternRow{2, "kr-1,234.50"}, PatternRow{3, "kr1,234.50-"},
                      PatternRow{4, "(1,234.50kr)"}, PatternRow{5, "-1,234.50kr"},
                      PatternRow{6, "1,234.50-kr"}, PatternRow{7, "1,234.50kr-"},
                      PatternRow{8, "-1,234.50 kr"}, PatternRow{9, "-kr 1,234.50"},
                      PatternRow{10, "1,234.50 kr-"}, PatternRow{11, "kr 1,234.50-"},
                      PatternRow{12, "kr -1,234.50"}, PatternRow{13, "1,234.50- kr"},
                      PatternRow{14, "(kr 1,234.50)"}, PatternRow{15, "(1,234.50 kr)"},
                      PatternRow{16, "(kr1,234.50)"}, PatternRow{-1, "(kr1,234.50)"}),
    [](const ::testing::TestParamInfo<PatternRow>& row) {
        return row.param.pattern < 0 ? std::string("OutOfRangeMinus1")
                                     : "Pattern" + std::to_string(row.param.pattern);
    });

TEST(CurrencyText, PositivePatterns)
{
    TFormatSettings s = us;
    s.CurrencyString = "kr";
    const char* expected[] = {"kr5.00", "5.00kr", "kr 5.00", "5.00 kr"};
    for (int pattern = 0; pattern < 4; ++pattern) {
        s.CurrencyFormat = pattern;
        EXPECT_EQ(CurrencyText(5, 12, 2, s).toStdString(), expected[pattern]) << pattern;
    }
}

// The reverse conversion, as the settings reader and the edits use it.
struct ParseRow {
    const char* text;
    double value;
};

class TextToFloatAccepts : public ::testing::TestWithParam<ParseRow> {};

TEST_P(TextToFloatAccepts, Numbers)
{
    EXPECT_DOUBLE_EQ(TextToFloat(GetParam().text, us), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextToFloatAccepts,
    ::testing::Values(ParseRow{"8.75", 8.75}, ParseRow{"-5", -5}, ParseRow{"+5", 5},
                      ParseRow{"  12.5 ", 12.5}, ParseRow{"1.", 1}, ParseRow{".5", 0.5},
                      ParseRow{"1E20", 1e20}, ParseRow{"1.5e-7", 1.5e-7},
                      ParseRow{"123456789012345678901234567890", 1.2345678901234568e29},
                      ParseRow{"1e-400", 0}, ParseRow{"0100000.004", 100000.004}));

class TextToFloatRefuses : public ::testing::TestWithParam<const char*> {};

TEST_P(TextToFloatRefuses, WithTheConversionError)
{
    const QString text = GetParam();
    try {
        TextToFloat(text, us);
        ADD_FAILURE() << "no error for " << GetParam();
    } catch (const calc::EConvertError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "'" + text.toStdString() + "' is not a valid floating point value");
    }
    double untouched = 7;
    EXPECT_FALSE(TryTextToFloat(text, untouched, us));
    EXPECT_EQ(untouched, 7);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextToFloatRefuses,
                         ::testing::Values("", " ", "-", ".", "-.", "1.2.3", "1,000", "12a", "1e",
                                           "1e+", "e5", "INF", "NAN", "nan", "0x10", "1e400", "--1",
                                           "1 2"));

TEST(TextToFloat, FollowsTheRegionalDecimalSeparator)
{
    EXPECT_DOUBLE_EQ(TextToFloat("8,75", Comma()), 8.75);
    EXPECT_THROW(TextToFloat("8.75", Comma()), calc::EConvertError);
    // The settings file writes the general text and reads it back unchanged.
    for (double v : {0.1, 8.75, 100000.004, 1.0 / 3, 1e-7, 123456789012345.0})
        EXPECT_EQ(TextToFloat(GeneralText(v, Comma()), Comma()),
                  TextToFloat(QString::number(v, 'g', 15), us))
            << v;
}

} // namespace
