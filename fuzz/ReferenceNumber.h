// An independent reading of a ticket text, for checking the product's integer
// conversion: blanks trimmed, then an optional sign and ASCII digits only,
// read with strtoll and accepted when the value fits in 32 bits.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace lotto::fuzzing {

inline std::optional<std::int32_t> referenceNumber(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    std::size_t digitsFrom = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (text.size() == digitsFrom)
        return std::nullopt;
    for (std::size_t k = digitsFrom; k < text.size(); ++k) {
        if (text[k] < '0' || text[k] > '9')
            return std::nullopt;
    }
    const std::string copy(text);
    errno = 0;
    const long long value = std::strtoll(copy.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// Whether text is well-formed UTF-8 (no overlongs, no surrogates, nothing past U+10FFFF).
inline bool isValidUtf8(std::string_view text)
{
    std::size_t k = 0;
    while (k < text.size()) {
        const auto c = static_cast<unsigned char>(text[k]);
        int length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || k + length > text.size())
            return false;
        std::uint32_t value = length == 1 ? c : c & (0x7F >> length);
        for (int m = 1; m < length; ++m) {
            const auto next = static_cast<unsigned char>(text[k + m]);
            if ((next & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (next & 0x3F);
        }
        const std::uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < minimum[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        k += length;
    }
    return true;
}

}  // namespace lotto::fuzzing
