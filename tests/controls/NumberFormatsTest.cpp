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

// The settings a row is formatted with.
enum class Region { UnitedStates, Comma };

TFormatSettings SettingsOf(Region region)
{
    return region == Region::Comma ? Comma() : us;
}

// The rows hold the inputs and the expected text; the test bodies call the formats, so that a
// fault in one shows under that row's name.
struct GeneralRow {
    const char* name;
    double value;
    const char* expected;
    int precision = 15;
    Region region = Region::UnitedStates;
};

// A fixed or currency text: value, precision and decimals.
struct DigitsRow {
    const char* name;
    double value;
    int precision;
    int decimals;
    const char* expected;
    Region region = Region::UnitedStates;
};

struct MaskRow {
    const char* name;
    double value;
    const char* mask;
    const char* expected;
    Region region = Region::UnitedStates;
};

template <typename R> std::string RowName(const ::testing::TestParamInfo<R>& info)
{
    return info.param.name;
}

void PrintTo(const GeneralRow& row, std::ostream* os)
{
    *os << row.name;
}
void PrintTo(const DigitsRow& row, std::ostream* os)
{
    *os << row.name;
}
void PrintTo(const MaskRow& row, std::ostream* os)
{
    *os << row.name;
}

class GeneralTextShows : public ::testing::TestWithParam<GeneralRow> {};
class FixedTextShows : public ::testing::TestWithParam<DigitsRow> {};
class CurrencyTextShows : public ::testing::TestWithParam<DigitsRow> {};
class MaskTextShows : public ::testing::TestWithParam<MaskRow> {};

TEST_P(GeneralTextShows, TheExpectedText)
{
    const GeneralRow& row = GetParam();
    EXPECT_EQ(GeneralText(row.value, SettingsOf(row.region), row.precision).toStdString(),
              row.expected);
}

TEST_P(FixedTextShows, TheExpectedText)
{
    const DigitsRow& row = GetParam();
    EXPECT_EQ(
        FixedText(row.value, row.precision, row.decimals, SettingsOf(row.region)).toStdString(),
        row.expected);
}

TEST_P(CurrencyTextShows, TheExpectedText)
{
    const DigitsRow& row = GetParam();
    EXPECT_EQ(
        CurrencyText(row.value, row.precision, row.decimals, SettingsOf(row.region)).toStdString(),
        row.expected);
}

TEST_P(MaskTextShows, TheExpectedText)
{
    const MaskRow& row = GetParam();
    EXPECT_EQ(MaskText(row.value, row.mask, SettingsOf(row.region)).toStdString(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    General, GeneralTextShows,
    ::testing::Values(
        GeneralRow{"Zero", 0, "0"}, GeneralRow{"NegativeZero", -0.0, "0"},
        GeneralRow{"Decimal", 1234.5, "1234.5"}, GeneralRow{"NoGrouping", 100000, "100000"},
        GeneralRow{"Negative", -2.25, "-2.25"}, GeneralRow{"ShortestForm", 0.1 + 0.2, "0.3"},
        GeneralRow{"FifteenDigits", 1.0 / 3, "0.333333333333333"},
        GeneralRow{"SmallestFixed", 0.0001, "0.0001"}, GeneralRow{"BelowFixed", 0.00009, "9E-5"},
        GeneralRow{"ScientificNegativeExponent", 1.5e-7, "1.5E-7"},
        GeneralRow{"ScientificLarge", 1e20, "1E20"},
        GeneralRow{"LargestFixed", 999999999999999, "999999999999999"},
        GeneralRow{"RoundsIntoScientific", 9999999999999999.0, "1E16"},
        GeneralRow{"PrecisionTen", 12345678901.0, "1.23456789E10", 10},
        GeneralRow{"CommaSeparator", -1234.5, "-1234,5", 15, Region::Comma},
        GeneralRow{"Infinity", inf, "INF"}, GeneralRow{"NegativeInfinity", -inf, "-INF"},
        GeneralRow{"NaN", NaN, "NAN"}),
    RowName<GeneralRow>);

INSTANTIATE_TEST_SUITE_P(
    Fixed, FixedTextShows,
    ::testing::Values(DigitsRow{"TwoDecimals", 25, 12, 2, "25.00"},
                      DigitsRow{"HalfAwayFromZero", 0.125, 15, 2, "0.13"},
                      DigitsRow{"NegativeHalfAwayFromZero", -0.125, 15, 2, "-0.13"},
                      DigitsRow{"DecimalWrittenHalf", 1.005, 15, 2, "1.01"},
                      DigitsRow{"NoGroupingNoSeparator", 1234567.4, 15, 0, "1234567"},
                      DigitsRow{"CarryIntoNewDigit", 9.996, 15, 2, "10.00"},
                      DigitsRow{"NegativeRoundsToZero", -0.004, 15, 2, "0.00"},
                      DigitsRow{"TinyValue", 1e-300, 15, 2, "0.00"},
                      DigitsRow{"IntegerPartTooLong", 123456789012.0, 10, 2, "1.23456789E11"},
                      DigitsRow{"PrecisionAtLeastTwo", 123, 0, 0, "1.2E2"},
                      DigitsRow{"CommaSeparator", 8.75, 15, 3, "8,750", Region::Comma},
                      // Rounded at the decimals or at the precision's digit, whichever first.
                      DigitsRow{"RateAtFifthDigit", 123.4567, 5, 3, "123.460"},
                      DigitsRow{"RateHalfAtFifthDigit", 113.285, 5, 3, "113.290"},
                      DigitsRow{"RateAtThirdDecimal", 8.7505, 5, 3, "8.751"},
                      DigitsRow{"RateCarriesPastFiveDigits", 99999.5, 5, 3, "1E5"},
                      DigitsRow{"NegativeRate", -1234.5678, 5, 3, "-1234.600"},
                      DigitsRow{"PercentageAtDigits", 1234567.891, 8, 2, "1234567.90"}),
    RowName<DigitsRow>);

INSTANTIATE_TEST_SUITE_P(
    Currency, CurrencyTextShows,
    ::testing::Values(
        DigitsRow{"Grouped", 100000, 12, 2, "$100,000.00"},
        DigitsRow{"NoDecimals", 95000, 10, 0, "$95,000"},
        DigitsRow{"NegativeParentheses", -5, 12, 2, "($5.00)"},
        DigitsRow{"Zero", 0, 12, 2, "$0.00"},
        DigitsRow{"NegativeRoundingToZero", -0.001, 12, 2, "$0.00"},
        DigitsRow{"Millions", -1234567.891, 12, 2, "($1,234,567.89)"},
        DigitsRow{"BeyondTenDigits", 12345678901.0, 10, 0, "1.23456789E10"},
        DigitsRow{"BeyondTwelveDigits", -1e12, 12, 2, "-1E12"},
        DigitsRow{"CommaSettings", 1234567.5, 12, 2, "1.234.567,50 EUR", Region::Comma},
        DigitsRow{"CommaSettingsNegative", -0.5, 12, 2, "-0,50 EUR", Region::Comma},
        DigitsRow{"AtTwelfthDigit", 12345678901.129, 12, 2, "$12,345,678,901.10"},
        DigitsRow{"TwelfthDigitCarries", 99999999999.99, 12, 2, "$100,000,000,000.00"}),
    RowName<DigitsRow>);

INSTANTIATE_TEST_SUITE_P(
    Mask, MaskTextShows,
    ::testing::Values(
        MaskRow{"DefaultPositive", 1234.567, "#,##0", "1,235"},
        MaskRow{"DefaultNegative", -1234, "#,##0;;", "-1,234"},
        MaskRow{"DefaultZero", 0, "#,##0;;", "0"}, MaskRow{"ThreeDecimals", 8.75, "0.000", "8.750"},
        MaskRow{"NoDecimals", 30, "0", "30"}, MaskRow{"HalfAwayFromZero", 2.5, "0", "3"},
        MaskRow{"NegativeHalfAwayFromZero", -2.5, "0", "-3"},
        MaskRow{"NegativeRoundsToZeroHasNoSign", -0.4, "0", "0"},
        MaskRow{"OwnNegativeSectionHasNoSign", -5, "0.00;(0.00)", "(5.00)"},
        MaskRow{"ZeroSection", 0, "0.00;-0.00;\"nil\"", "nil"},
        MaskRow{"RoundedToZeroUsesZeroSection", 0.001, "0.00;;zero", "zero"},
        MaskRow{"HashDropsZeros", 0.5, "#.##", ".5"},
        MaskRow{"HashDropsDecimalSeparator", 5, "#.##", "5"},
        MaskRow{"ZeroPadsDecimals", 5.1, "0.0#", "5.1"}, MaskRow{"LeadingZeros", 7, "000", "007"},
        MaskRow{"ExtraDigitsGoFirst", 123456, "0", "123456"},
        MaskRow{"LiteralBetweenDigits", 1234, "00-00", "12-34"},
        MaskRow{"CommaAnywhereGroups", 1234567, "0,", "1,234,567"},
        MaskRow{"FurtherPointsIgnored", 1.5, "0.0.0", "1.50"},
        MaskRow{"QuotedText", 12, "0' kg'", "12 kg"},
        MaskRow{"QuotedSemicolon", -3, "0\";\"x;0", "3"},
        MaskRow{"OtherCharactersCopied", 0.25, "0.00%", "0.25%"},
        MaskRow{"ScientificPlus", 1234, "0.00E+00", "1.23E+03"},
        MaskRow{"ScientificPlusNegative", 0.000123, "0.00E+00", "1.23E-04"},
        MaskRow{"ScientificMinusPositive", 1234, "0.0e-0", "1.2e3"},
        MaskRow{"ScientificMinusNegative", 0.0123, "0.0E-", "1.2E-2"},
        MaskRow{"ScientificWideExponent", 5, "0E+0000", "5E+0000"},
        MaskRow{"ScientificCarry", 9.99, "0.0E+0", "1.0E+1"},
        MaskRow{"EmptyMaskIsGeneral", 1234.5, "", "1234.5"},
        MaskRow{"EmptyPositiveSection", 1234.5, ";0", "1234.5"},
        MaskRow{"CommaSettings", 1234.5, "#,##0.00", "1.234,50", Region::Comma},
        MaskRow{"HugeValueStaysDigits", 1e20, "0", "100000000000000000000"},
        MaskRow{"NaN", NaN, "0.00", "NAN"}),
    RowName<MaskRow>);

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

// Whole cents are exact at every size, grouped, with the regional symbol, sign and separators;
// doubles at 15 digits keep the cents of every amount below 10^13.
TEST(CurrencyText, CentsAreExactAtEverySize)
{
    const struct {
        long long cents;
        Region region;
        const char* expected;
    } rows[] = {
        {0, Region::UnitedStates, "$0.00"},
        {5, Region::UnitedStates, "$0.05"},
        {-5, Region::UnitedStates, "($0.05)"},
        {199999999980, Region::UnitedStates, "$1,999,999,999.80"},
        {715086764163042, Region::UnitedStates, "$7,150,867,641,630.42"},
        {9223372036854775807, Region::UnitedStates, "$92,233,720,368,547,758.07"},
        {-9223372036854775807 - 1, Region::UnitedStates, "($92,233,720,368,547,758.08)"},
        {1020356207898, Region::Comma, "10.203.562.078,98 EUR"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CentsCurrencyText(row.cents, SettingsOf(row.region)).toStdString(), row.expected);
    EXPECT_EQ(CurrencyText(1999999999.80, 15, 2, us).toStdString(), "$1,999,999,999.80");
    EXPECT_EQ(CurrencyText(123456789.12, 15, 2, us).toStdString(), "$123,456,789.12");
    EXPECT_EQ(CurrencyText(999999999999.99, 15, 2, us).toStdString(), "$999,999,999,999.99");
    EXPECT_EQ(CurrencyText(12345678900, 15, 0, us).toStdString(), "$12,345,678,900");
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
