// For every text: StrToInt returns exactly the integer the text denotes, or
// raises ConversionError with a short, one-line, valid UTF-8 message.
#include "ReferenceNumber.h"
#include "Sysutils.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> expected = lotto::fuzzing::referenceNumber(text);
    try {
        const std::int32_t value = Sysutils::StrToInt(text);
        if (!expected || *expected != value) {
            std::fprintf(stderr, "accepted as %d, reference says %s\n", value,
                         expected ? "another value" : "no integer");
            std::abort();
        }
    } catch (const Sysutils::ConversionError& error) {
        const std::string_view message = error.what();
        if (expected) {
            std::fprintf(stderr, "rejected a valid integer %d\n", *expected);
            std::abort();
        }
        if (message.size() > 400 || message.find('\n') != std::string_view::npos
            || message.find('\r') != std::string_view::npos || message.find('\0') != std::string_view::npos
            || !lotto::fuzzing::isValidUtf8(message)) {
            std::fprintf(stderr, "bad message of %zu bytes\n", message.size());
            std::abort();
        }
    }
    return 0;
}
