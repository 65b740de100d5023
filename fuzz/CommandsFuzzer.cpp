// Drives the commands over the in-memory store with fuzzed ticket texts, typed
// texts and a fuzzed sequence of button presses, and checks after each press
// what must hold of the seventeen fields, against an independent reading.
#include "DrawCommand.h"
#include "EntryCommands.h"
#include "Lottery.h"
#include "MemoryFieldStore.h"
#include "ReferenceNumber.h"
#include "Sysutils.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <set>

using namespace lotto;

namespace {

using Snapshot = std::array<std::string, fieldCount>;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void require(bool condition, const char* what)
{
    if (!condition)
        fail(what);
}

Snapshot snapshot(const FieldStore& fields)
{
    Snapshot texts;
    for (FieldId field : allFields)
        texts[static_cast<std::size_t>(field)] = fields.getText(field);
    return texts;
}

const std::string& before(const Snapshot& texts, FieldId field)
{
    return texts[static_cast<std::size_t>(field)];
}

bool isTicket(FieldId field)
{
    return field >= FieldId::Tipp1 && field <= FieldId::Tipp6;
}
bool isDraw(FieldId field)
{
    return field >= FieldId::Zahl1 && field <= FieldId::Zahl7;
}
bool isResult(FieldId field)
{
    return field >= FieldId::EditGewinn;
}

void requireUnchanged(const FieldStore& fields, const Snapshot& old, bool (*which)(FieldId), const char* what)
{
    for (FieldId field : allFields) {
        if (which(field))
            require(fields.getText(field) == before(old, field), what);
    }
}

void checkDraw(const FieldStore& fields, const Snapshot& old, bool threw)
{
    std::array<std::optional<std::int32_t>, ticketSize> typed;
    for (int i = 0; i < ticketSize; ++i)
        typed[i] = fuzzing::referenceNumber(before(old, ticketField(i)));
    const bool allNumbers = std::all_of(typed.begin(), typed.end(), [](const auto& n) { return n.has_value(); });

    if (threw) {
        require(fields.getText(FieldId::EditGewinn).empty() && fields.getText(FieldId::EditZusatz).empty(),
                "result fields cleared before the conversion error");
        require(!allNumbers, "conversion error only for a text that is no integer");
        require(fields.getText(FieldId::EditBereich).empty() && fields.getText(FieldId::EditDoppelt).empty(),
                "error fields cleared before the conversion error");
        requireUnchanged(fields, old, isTicket, "ticket untouched after a conversion error");
        requireUnchanged(fields, old, isDraw, "nothing drawn after a conversion error");
        return;
    }
    require(allNumbers, "a text that is no integer was accepted");

    bool outOfRange = false;
    bool duplicate = false;
    std::set<std::int32_t> distinct;
    for (const auto& n : typed) {
        outOfRange = outOfRange || *n < lowestNumber || *n > highestNumber;
        duplicate = duplicate || !distinct.insert(*n).second;
    }
    require(fields.getText(FieldId::EditBereich) == (outOfRange ? outOfRangeText : ""), "range finding");
    require(fields.getText(FieldId::EditDoppelt) == (duplicate ? duplicateText : ""), "duplicate finding");
    if (outOfRange || duplicate) {
        require(fields.getText(FieldId::EditGewinn).empty(), "no match count after a finding");
        require(fields.getText(FieldId::EditZusatz).empty(), "no bonus text after a finding");
        requireUnchanged(fields, old, isTicket, "ticket untouched after a finding");
        requireUnchanged(fields, old, isDraw, "nothing drawn after a finding");
        return;
    }

    // The ticket comes back sorted and normalised.
    auto position = distinct.begin();
    for (int i = 0; i < ticketSize; ++i, ++position)
        require(fields.getText(ticketField(i)) == std::to_string(*position), "sorted ticket written back");

    std::array<std::int32_t, drawSize> draw{};
    std::set<std::int32_t> drawn;
    for (int k = 0; k < drawSize; ++k) {
        const auto n = fuzzing::referenceNumber(fields.getText(drawField(k)));
        require(n && *n >= lowestNumber && *n <= highestNumber, "drawn numbers within 1..49");
        draw[k] = *n;
        drawn.insert(*n);
    }
    require(drawn.size() == drawSize, "drawn numbers distinct");
    require(std::is_sorted(draw.begin(), draw.begin() + ticketSize), "main numbers ascending");

    int matches = 0;
    for (int k = 0; k < ticketSize; ++k)
        matches += static_cast<int>(distinct.count(draw[k]));
    require(fields.getText(FieldId::EditGewinn) == std::to_string(matches), "match count");
    require(fields.getText(FieldId::EditZusatz) == (distinct.count(draw[bonusSlot]) ? bonusHitText : ""), "bonus text");
}

void checkTicketOnly(const FieldStore& fields, const Snapshot& old)
{
    requireUnchanged(fields, old, isDraw, "entry aids leave the draw alone");
    requireUnchanged(fields, old, isResult, "entry aids leave results and findings alone");
}

enum class Press { Draw, RandomTicket, DuplicateExample, RangeExample, BothExample, Clear, Type, kMaxValue = Type };

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The trace of every draw would flood the fuzzer's console.
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    testing::MemoryFieldStore fields;
    RandomSource random;
    for (int i = 0; i < ticketSize; ++i)
        fields.setText(ticketField(i), input.ConsumeRandomLengthString(64));

    for (int presses = 0; presses < 64 && input.remaining_bytes() > 0; ++presses) {
        const Snapshot old = snapshot(fields);
        switch (input.ConsumeEnum<Press>()) {
        case Press::Draw: {
            bool threw = false;
            try {
                drawCommand(fields, random);
            } catch (const Sysutils::ConversionError&) {
                threw = true;
            }
            checkDraw(fields, old, threw);
            break;
        }
        case Press::RandomTicket: {
            randomTicketCommand(fields, random);
            std::set<std::int32_t> numbers;
            for (int i = 0; i < ticketSize; ++i) {
                const auto n = fuzzing::referenceNumber(fields.getText(ticketField(i)));
                require(n && *n >= lowestNumber && *n <= highestNumber, "random ticket within 1..49");
                numbers.insert(*n);
            }
            require(numbers.size() == ticketSize, "random ticket distinct");
            checkTicketOnly(fields, old);
            break;
        }
        case Press::DuplicateExample:
            duplicateExampleCommand(fields);
            require(fields.getText(FieldId::Tipp5) == "3", "duplicate example");
            checkTicketOnly(fields, old);
            break;
        case Press::RangeExample:
            rangeExampleCommand(fields);
            require(fields.getText(FieldId::Tipp4) == "140", "range example");
            checkTicketOnly(fields, old);
            break;
        case Press::BothExample:
            bothExampleCommand(fields);
            require(fields.getText(FieldId::Tipp5) == "6", "both example");
            checkTicketOnly(fields, old);
            break;
        case Press::Clear:
            clearCommand(fields);
            for (FieldId field : allFields)
                require(fields.getText(field).empty(), "clear empties every field");
            break;
        case Press::Type: {
            const auto field = static_cast<FieldId>(input.ConsumeIntegralInRange<int>(0, fieldCount - 1));
            fields.setText(field, input.ConsumeRandomLengthString(64));
            break;
        }
        }
    }
    return 0;
}
