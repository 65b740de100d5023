// Drives the commands over the in-memory store with fuzzed ticket texts, typed
// texts and a fuzzed sequence of button presses, and checks after each press
// what must hold of the seventeen fields, against an independent reading.
#include "DrawCommand.h"
#include "EntryCommands.h"
#include "Lottery.h"
#include "MemoryFieldStore.h"
#include "ReferenceNumber.h"
#include "Simulation.h"
#include "Sysutils.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
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

// What the ticket fields held before a press, read independently of the commands.
struct TypedTicket {
    bool allNumbers = true;
    bool outOfRange = false;
    bool duplicate = false;
    std::set<std::int32_t> distinct;
};

TypedTicket typedTicket(const Snapshot& old)
{
    TypedTicket ticket;
    for (int i = 0; i < ticketSize; ++i) {
        const auto n = fuzzing::referenceNumber(before(old, ticketField(i)));
        if (!n) {
            ticket.allNumbers = false;
            continue;
        }
        ticket.outOfRange = ticket.outOfRange || *n < lowestNumber || *n > highestNumber;
        ticket.duplicate = ticket.duplicate || !ticket.distinct.insert(*n).second;
    }
    return ticket;
}

void requireFindings(const FieldStore& fields, const TypedTicket& ticket)
{
    require(fields.getText(FieldId::EditBereich) == (ticket.outOfRange ? outOfRangeText : ""), "range finding");
    require(fields.getText(FieldId::EditDoppelt) == (ticket.duplicate ? duplicateText : ""), "duplicate finding");
}

void checkDraw(const FieldStore& fields, const Snapshot& old, bool threw)
{
    const TypedTicket typed = typedTicket(old);
    const bool allNumbers = typed.allNumbers;

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

    requireFindings(fields, typed);
    const std::set<std::int32_t>& distinct = typed.distinct;
    if (typed.outOfRange || typed.duplicate) {
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

// The ticket played on: checked as the draw checks it, writing nothing but the
// findings, and a run only for a good ticket, whose slice tallies every draw.
void checkPlayOn(FieldStore& fields, const Snapshot& old, bool threw, std::optional<Simulation>& run)
{
    for (FieldId field : allFields) {
        if (field != FieldId::EditBereich && field != FieldId::EditDoppelt)
            require(fields.getText(field) == before(old, field), "playing on writes only the findings");
    }
    const TypedTicket typed = typedTicket(old);
    require(threw == !typed.allNumbers, "playing on raises the conversion error exactly where the draw does");
    if (threw) {
        require(fields.getText(FieldId::EditBereich).empty() && fields.getText(FieldId::EditDoppelt).empty(),
                "findings cleared before the conversion error");
        return;
    }
    requireFindings(fields, typed);
    require(run.has_value() == !(typed.outOfRange || typed.duplicate), "a run exactly for a good ticket");
    if (!run)
        return;
    constexpr std::int64_t slice = 2000;
    const bool done = run->play(slice);
    std::int64_t seen = 0;
    for (Combination combination : combinationsHighestFirst)
        seen += run->seen(combination);
    require(seen == run->draws() && run->draws() <= slice, "every draw of a slice tallied once");
    const PlayGoal& goal = run->goal();
    require(done == (goal.draws > 0 ? run->draws() == goal.draws : run->seen(goal.until) == 1),
            "done exactly when the goal came");
}

void checkTicketOnly(const FieldStore& fields, const Snapshot& old)
{
    requireUnchanged(fields, old, isDraw, "entry aids leave the draw alone");
    requireUnchanged(fields, old, isResult, "entry aids leave results and findings alone");
}

enum class Press {
    Draw,
    RandomTicket,
    DuplicateExample,
    RangeExample,
    BothExample,
    Clear,
    Type,
    PlayOn,
    kMaxValue = PlayOn
};

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
        case Press::PlayOn: {
            const auto goal = input.ConsumeIntegralInRange<std::size_t>(0, playGoalCount - 1);
            std::optional<Simulation> run;
            bool threw = false;
            try {
                run = startSimulation(fields, playGoals.at(goal));
            } catch (const Sysutils::ConversionError&) {
                threw = true;
            }
            checkPlayOn(fields, old, threw, run);
            break;
        }
        case Press::Type: {
            const auto field = static_cast<FieldId>(input.ConsumeIntegralInRange<int>(0, fieldCount - 1));
            fields.setText(field, input.ConsumeRandomLengthString(64));
            break;
        }
        }
    }
    return 0;
}
