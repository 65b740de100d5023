#include "Sysutils.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

namespace Sysutils {

namespace {

constexpr char32_t replacementCharacter = U'\uFFFD';

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Decodes one UTF-8 sequence from the front of text and removes it; malformed,
// overlong or surrogate sequences yield U+FFFD and consume one byte.
char32_t takeCodePoint(std::string_view& text)
{
    const auto lead = static_cast<unsigned char>(text.front());
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        text.remove_prefix(1);
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    }
    if (length == 0 || static_cast<int>(text.size()) < length) {
        text.remove_prefix(1);
        return replacementCharacter;
    }
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xC0) != 0x80) {
            text.remove_prefix(1);
            return replacementCharacter;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        text.remove_prefix(1);
        return replacementCharacter;
    }
    text.remove_prefix(length);
    return value;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool breaksLine(char32_t c)
{
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Controls that would be invisible, or would reorder the message around them.
bool isHiddenControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F
           || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

[[noreturn]] void throwNotAnInteger(std::string_view text)
{
    throw ConversionError(QuoteForMessage(text) + " ist keine gültige ganze Zahl.");
}

[[noreturn]] void throwOutOfRange(std::string_view text)
{
    throw ConversionError(QuoteForMessage(text)
                          + " liegt außerhalb des Zahlenbereichs von −2147483648 bis 2147483647.");
}

}  // namespace

namespace {

std::string quoted(std::string_view text, std::string_view opening, std::string_view closing)
{
    std::string out(opening);
    int shown = 0;
    while (!text.empty()) {
        if (shown == maxShownCharacters) {
            out += "\u2026";
            break;
        }
        char32_t c = takeCodePoint(text);
        if (c == '\t' || breaksLine(c))
            c = ' ';
        else if (isHiddenControl(c))
            c = replacementCharacter;
        appendUtf8(out, c);
        ++shown;
    }
    out += closing;
    return out;
}

}  // namespace

std::string QuoteForMessage(std::string_view text)
{
    // The isolate opened before the text is closed after it, so the literals are balanced only as a pair.
    // NOLINTNEXTLINE(misc-misleading-bidirectional)
    return quoted(text, "\u201E\u2068", "\u2069\u201C");  // „ FIRST STRONG ISOLATE … POP DIRECTIONAL ISOLATE “
}

std::string QuoteForLine(std::string_view text)
{
    return quoted(text, "\u201E", "\u201C");
}

namespace {

enum class Parsed { Integer, NotAnInteger, OutOfRange };

// The one reading of an integer text, for both the raising and the quiet conversion.
Parsed parseInteger(std::string_view text, std::int32_t& value)
{
    std::string_view digits = trimBlanks(text);
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.front() < '0' || digits.front() > '9')
        return Parsed::NotAnInteger;

    std::uint32_t magnitude = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, magnitude);
    if (stop != end)
        return Parsed::NotAnInteger;

    constexpr auto maximum = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max());
    if (error == std::errc::result_out_of_range || magnitude > maximum + (negative ? 1u : 0u))
        return Parsed::OutOfRange;
    value = negative ? static_cast<std::int32_t>(0u - magnitude) : static_cast<std::int32_t>(magnitude);
    return Parsed::Integer;
}

}  // namespace

std::int32_t StrToInt(std::string_view text)
{
    std::int32_t value = 0;
    switch (parseInteger(text, value)) {
    case Parsed::Integer:
        break;
    case Parsed::NotAnInteger:
        throwNotAnInteger(text);
    case Parsed::OutOfRange:
        throwOutOfRange(text);
    }
    return value;
}

std::optional<std::int32_t> TryStrToInt(std::string_view text)
{
    std::int32_t value = 0;
    if (parseInteger(text, value) != Parsed::Integer)
        return std::nullopt;
    return value;
}

std::string FloatToStr(double value)
{
    std::array<char, 32> buffer{};
    // Whole numbers below 10^15 print the same in general format as integers, and
    // the integer path is several times faster; it serves every number the game shows.
    constexpr double exactWholeLimit = 1e15;
    if (value > -exactWholeLimit && value < exactWholeLimit
        && value == static_cast<double>(static_cast<long long>(value)) && !(value == 0 && std::signbit(value))) {
        const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), static_cast<long long>(value));
        return std::string(buffer.data(), result.ptr);
    }
#if defined(__cpp_lib_to_chars)
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 15);
    return std::string(buffer.data(), result.ptr);
#else
    // A standard library without floating-point to_chars (Emscripten's libc++):
    // printf's "%.15g" is the same format. Its decimal point is the C locale's,
    // which a program that never calls setlocale keeps.
    const int length = std::snprintf(buffer.data(), buffer.size(), "%.15g", value);
    return std::string(buffer.data(), static_cast<std::size_t>(length));
#endif
}

}  // namespace Sysutils
