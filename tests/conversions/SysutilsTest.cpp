// Guards the integer conversion against every kind of text a person can type or
// paste (nothing may wrap around or slip through), the number format, and the
// readability of the conversion error's message.
#include "Sysutils.h"

#include <gtest/gtest.h>

#include <string>

namespace Sysutils {
namespace {

struct Accepted {
    const char* name;
    std::string text;
    std::int32_t value;
    friend void PrintTo(const Accepted& c, std::ostream* os) { *os << c.name; }
};

class StrToIntAccepts : public ::testing::TestWithParam<Accepted> {};

TEST_P(StrToIntAccepts, ConvertsToItsValue)
{
    EXPECT_EQ(StrToInt(GetParam().text), GetParam().value);
    EXPECT_EQ(TryStrToInt(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts,
                         StrToIntAccepts,
                         ::testing::Values(Accepted{"Zero", "0", 0},
                                           Accepted{"Seven", "7", 7},
                                           Accepted{"LeadingZeros", "007", 7},
                                           Accepted{"PlusSign", "+12", 12},
                                           Accepted{"MinusSign", "-3", -3},
                                           Accepted{"MinusZero", "-0", 0},
                                           Accepted{"Largest", "2147483647", 2147483647},
                                           Accepted{"Smallest", "-2147483648", INT32_MIN},
                                           Accepted{"LongRunOfZeros", std::string(500, '0') + "49", 49},
                                           Accepted{"BlanksAround", "  42 ", 42},
                                           Accepted{"TabsAround", "\t9\t", 9},
                                           Accepted{"BlanksBeforeSign", " -5", -5}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Rejected {
    const char* name;
    std::string text;
    friend void PrintTo(const Rejected& c, std::ostream* os) { *os << c.name; }
};

class StrToIntRejects : public ::testing::TestWithParam<Rejected> {};

TEST_P(StrToIntRejects, RaisesConversionError)
{
    EXPECT_THROW(StrToInt(GetParam().text), ConversionError);
    EXPECT_EQ(TryStrToInt(GetParam().text), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Texts,
                         StrToIntRejects,
                         ::testing::Values(Rejected{"Empty", ""},
                                           Rejected{"OnlyBlanks", "   "},
                                           Rejected{"Letters", "abc"},
                                           Rejected{"LetterAfterDigits", "12a"},
                                           Rejected{"LetterBeforeDigits", "a12"},
                                           Rejected{"Fraction", "3.5"},
                                           Rejected{"GermanFraction", "3,5"},
                                           Rejected{"Exponent", "1e3"},
                                           Rejected{"Hex", "0x1F"},
                                           Rejected{"DollarHex", "$1F"},
                                           Rejected{"SignOnly", "-"},
                                           Rejected{"DoubleSign", "--5"},
                                           Rejected{"PlusMinus", "+-5"},
                                           Rejected{"BlankAfterSign", "- 5"},
                                           Rejected{"BlankInside", "1 2"},
                                           Rejected{"NewlineAfter", "12\n"},
                                           Rejected{"NulInside", std::string("1\0"
                                                                             "2",
                                                                             3)},
                                           Rejected{"NulAfter", std::string("12\0", 3)},
                                           Rejected{"NoBreakSpaceBefore", "\u00A012"},
                                           Rejected{"FullwidthDigits", "\uFF11\uFF12"},
                                           Rejected{"ArabicIndicDigits", "\u0661\u0662"},
                                           Rejected{"DevanagariDigits", "\u0967"},
                                           Rejected{"SuperscriptTwo", "\u00B2"},
                                           Rejected{"UnicodeMinus", "\u22125"},
                                           Rejected{"OneAboveLargest", "2147483648"},
                                           Rejected{"OneBelowSmallest", "-2147483649"},
                                           Rejected{"WrapsToSevenIn32Bits", "4294967303"},
                                           Rejected{"WrapsToZeroIn32Bits", "4294967296"},
                                           Rejected{"WrapsIn64Bits", "18446744073709551623"},
                                           Rejected{"FourHundredDigits", std::string(400, '9')},
                                           Rejected{"InvalidUtf8", "\xFF\xFE"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StrToInt, ConversionErrorBelongsToTheToolkitFamily)
{
    try {
        StrToInt("x");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_NE(dynamic_cast<const ConversionError*>(&e), nullptr);
    }
}

std::string messageFor(const std::string& text)
{
    try {
        StrToInt(text);
    } catch (const ConversionError& e) {
        return e.Message();
    }
    ADD_FAILURE() << "\"" << text << "\" was accepted";
    return {};
}

TEST(ConversionMessage, IsGermanAndNamesTheTextInQuotes)
{
    EXPECT_EQ(messageFor("abc"), "\u201E\u2068abc\u2069\u201C ist keine gültige ganze Zahl.");
    EXPECT_EQ(messageFor(""), "\u201E\u2068\u2069\u201C ist keine gültige ganze Zahl.");
    EXPECT_NE(messageFor("4294967303").find("außerhalb des Zahlenbereichs"), std::string::npos);
}

TEST(ConversionMessage, ShortensAPastedPageToOneReadableLine)
{
    std::string page;
    for (int line = 0; line < 2000; ++line)
        page += "Zeile " + std::to_string(line) + " mit Text\r\n";
    const std::string message = messageFor(page);
    EXPECT_LT(message.size(), 200u);
    EXPECT_EQ(message.find('\n'), std::string::npos);
    EXPECT_EQ(message.find('\r'), std::string::npos);
    EXPECT_NE(message.find("Zeile 0 mit Text  Zeile 1"), std::string::npos);
    EXPECT_NE(message.find("\u2026\u2069\u201C"), std::string::npos);
}

TEST(QuoteForMessage, CutsAtCharacterBoundariesNotBytes)
{
    std::string text;
    for (int k = 0; k < 100; ++k)
        text += "ü";
    std::string expected = "\u201E\u2068";
    for (int k = 0; k < maxShownCharacters; ++k)
        expected += "ü";
    expected += "\u2026\u2069\u201C";
    EXPECT_EQ(QuoteForMessage(text), expected);
}

TEST(QuoteForMessage, ShowsControlsAndBrokenBytesAsReplacementCharacters)
{
    EXPECT_EQ(QuoteForMessage(std::string("1\0"
                                          "2",
                                          3)),
              "\u201E\u20681\uFFFD2\u2069\u201C");
    EXPECT_EQ(QuoteForMessage("a\xFF"
                              "b"),
              "\u201E\u2068a\uFFFDb\u2069\u201C");
    EXPECT_EQ(QuoteForMessage("\xE2\x82"), "\u201E\u2068\uFFFD\uFFFD\u2069\u201C");            // truncated sequence
    EXPECT_EQ(QuoteForMessage("\xC0\xAF"), "\u201E\u2068\uFFFD\uFFFD\u2069\u201C");            // overlong "/"
    EXPECT_EQ(QuoteForMessage("\xED\xA0\x80"), "\u201E\u2068\uFFFD\uFFFD\uFFFD\u2069\u201C");  // surrogate
    EXPECT_EQ(QuoteForMessage("\xC3("), "\u201E\u2068\uFFFD(\u2069\u201C");                    // no continuation
    EXPECT_EQ(QuoteForMessage("\xF4\x90\x80\x80"),
              "\u201E\u2068\uFFFD\uFFFD\uFFFD\uFFFD\u2069\u201C");                         // past U+10FFFF
    EXPECT_EQ(QuoteForMessage("\xF0\x9F\x8E\xB2"), "\u201E\u2068\U0001F3B2\u2069\u201C");  // four bytes
}

TEST(QuoteForMessage, NeutralisesDirectionOverridesButKeepsRightToLeftLetters)
{
    EXPECT_EQ(QuoteForMessage("\u202E12"), "\u201E\u2068\uFFFD12\u2069\u201C");
    EXPECT_EQ(QuoteForMessage("\u05D0\u05D1"), "\u201E\u2068\u05D0\u05D1\u2069\u201C");
    EXPECT_EQ(QuoteForMessage("e\u0301"), "\u201E\u2068e\u0301\u2069\u201C");
}

// A terminal line takes the same cleaning but no invisible isolating characters,
// which a user copying the name would take along.
TEST(QuoteForLine, CleansLikeAMessageWithQuotationMarksAlone)
{
    EXPECT_EQ(QuoteForLine(":0"), "\u201E:0\u201C");
    EXPECT_EQ(QuoteForLine("\u202E1\n2"), "\u201E\uFFFD1 2\u201C");
    EXPECT_EQ(QuoteForLine(std::string(50, '9')), "\u201E" + std::string(maxShownCharacters, '9') + "\u2026\u201C");
}

TEST(FloatToStr, GivesPlainDigitsForWholeNumbers)
{
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(7), "7");
    EXPECT_EQ(FloatToStr(49), "49");
    EXPECT_EQ(FloatToStr(-3), "-3");
    EXPECT_EQ(FloatToStr(2147483647), "2147483647");
    for (int n = 0; n <= 49; ++n)
        EXPECT_EQ(FloatToStr(n), std::to_string(n));
}

TEST(FloatToStr, KeepsFractionsAndLargeValuesInGeneralFormat)
{
    EXPECT_EQ(FloatToStr(2.5), "2.5");
    EXPECT_EQ(FloatToStr(-0.125), "-0.125");
    EXPECT_EQ(FloatToStr(1e20), "1e+20");
    EXPECT_EQ(FloatToStr(999999999999999.0), "999999999999999");
}

}  // namespace
}  // namespace Sysutils
