// The toolkit's exception family and its text/number conversions. Free of any
// GUI library, so that the commands and their tests use them without a window.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace Sysutils {

// Base of the toolkit's exception family; the application entry and the event
// dispatch show its message to the user. Messages are UTF-8.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A text that is not an integer, or not one that fits in 32 bits.
class ConversionError : public Exception {
public:
    using Exception::Exception;
};

// Converts an optionally signed decimal integer ("+" or "-", then ASCII digits)
// that fits in 32 bits. Blanks (spaces and tabs) before and after it are ignored.
// Everything else raises ConversionError: the empty text, letters, fractions,
// hexadecimal, digits of other scripts, and numbers beyond 32 bits.
std::int32_t StrToInt(std::string_view text);

// The same conversion without raising: nothing where StrToInt raises. For
// texts that are often no number at all (an empty field), where an exception
// would cost more than the reading.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

// General format with up to 15 significant digits: whole numbers come out as
// their plain decimal digits ("7", "0", "-3").
std::string FloatToStr(double value);

// The text as a message may show it: one line, valid UTF-8, bidirectional
// controls neutralised, at most maxShownCharacters characters and then "…",
// in German quotation marks and isolated from the surrounding sentence's
// writing direction.
std::string QuoteForMessage(std::string_view text);

// The same for a line on a terminal: in quotation marks alone. A terminal shows
// no isolation, and the invisible isolating characters would be copied along
// with the text.
std::string QuoteForLine(std::string_view text);

constexpr int maxShownCharacters = 40;

}  // namespace Sysutils
