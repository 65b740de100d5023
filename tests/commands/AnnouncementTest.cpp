// Guards what a screen reader is told after each command: the words are built
// from the fields the real commands left behind, for a fresh random source;
// and the winning combination with its odds, read from the result fields.
#include "Announcement.h"
#include "Combination.h"
#include "DrawCommand.h"
#include "EntryCommands.h"
#include "Lottery.h"
#include "MemoryFieldStore.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>

namespace lotto {
namespace {

using testing::MemoryFieldStore;

void typeTicket(FieldStore& fields, const std::array<const char*, ticketSize>& texts)
{
    for (int i = 0; i < ticketSize; ++i)
        fields.setText(ticketField(i), texts[i]);
}

struct AnnouncementCase {
    const char* name;
    std::function<void(FieldStore&, RandomSource&)> play;
    std::string (*announcement)(const FieldStore&);
    const char* said;
    friend void PrintTo(const AnnouncementCase& c, std::ostream* os) { *os << c.name; }
};

class Announcements : public ::testing::TestWithParam<AnnouncementCase> {};

TEST_P(Announcements, SayWhatTheFieldsNowShow)
{
    MemoryFieldStore fields;
    RandomSource random;
    ::testing::internal::CaptureStdout();  // the draw's trace
    GetParam().play(fields, random);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(GetParam().announcement(fields), GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(
    AfterEachCommand,
    Announcements,
    ::testing::Values(
        AnnouncementCase{"DrawWithMatches",
                         [](FieldStore& f, RandomSource& r) {
                             typeTicket(f, {"44", "3", "25", "15", "07", "9"});
                             drawCommand(f, r);
                         },
                         resultAnnouncement,
                         "Ziehung: 3, 16, 21, 36, 37, 44, Zusatzzahl 10. 2 Treffer: 3, 44. Kein Gewinn."},
        AnnouncementCase{
            "DrawWithTheBonusNumber",
            [](FieldStore& f, RandomSource& r) {
                typeTicket(f, {"10", "3", "25", "15", "7", "9"});
                drawCommand(f, r);
            },
            resultAnnouncement,
            "Ziehung: 3, 16, 21, 36, 37, 44, Zusatzzahl 10. 1 Treffer: 3. Zusatzzahl getroffen. Kein Gewinn."},
        AnnouncementCase{"DrawWithoutAHit",
                         [](FieldStore& f, RandomSource& r) {
                             typeTicket(f, {"1", "2", "4", "5", "6", "7"});
                             drawCommand(f, r);
                         },
                         resultAnnouncement, "Ziehung: 3, 16, 21, 36, 37, 44, Zusatzzahl 10. 0 Treffer. Kein Gewinn."},
        AnnouncementCase{"ThreeRightWithTheBonusNumber",
                         [](FieldStore& f, RandomSource& r) {
                             typeTicket(f, {"10", "44", "16", "3", "1", "2"});
                             drawCommand(f, r);
                         },
                         resultAnnouncement,
                         "Ziehung: 3, 16, 21, 36, 37, 44, Zusatzzahl 10. 3 Treffer: 3, 16, 44. Zusatzzahl getroffen. "
                         "3 Richtige mit Zusatzzahl, Chance 1 zu 812."},
        AnnouncementCase{"BothFindingsAndNoStaleDraw",
                         [](FieldStore& f, RandomSource& r) {
                             randomTicketCommand(f, r);
                             drawCommand(f, r);
                             bothExampleCommand(f);
                             drawCommand(f, r);
                         },
                         resultAnnouncement, "Zahl nicht im Tippscheinbereich. Doppelte Zahl."},
        AnnouncementCase{"OneFinding",
                         [](FieldStore& f, RandomSource& r) {
                             rangeExampleCommand(f);
                             drawCommand(f, r);
                         },
                         resultAnnouncement, "Zahl nicht im Tippscheinbereich."},
        AnnouncementCase{"ExampleTicket", [](FieldStore& f, RandomSource&) { duplicateExampleCommand(f); },
                         ticketAnnouncement, "Tippschein: 15, 3, 25, 44, 3, 9."},
        AnnouncementCase{"RandomTicket", [](FieldStore& f, RandomSource& r) { randomTicketCommand(f, r); },
                         ticketAnnouncement, "Tippschein: 44, 36, 16, 37, 3, 21."},
        AnnouncementCase{"ClearedTicket",
                         [](FieldStore& f, RandomSource& r) {
                             randomTicketCommand(f, r);
                             drawCommand(f, r);
                             clearCommand(f);
                         },
                         ticketAnnouncement, "Tippschein ist leer."}),
    [](const auto& info) { return std::string(info.param.name); });

// The odds are the published ones, to the tenth; the words are the end of what is said after the draw.
struct CombinationCase {
    const char* name;
    const char* matches;  // EditGewinn
    bool bonusHit;        // EditZusatz
    std::optional<Combination> shown;
    double oneIn;  // 0: not checked
    const char* said;
    friend void PrintTo(const CombinationCase& c, std::ostream* os) { *os << c.name; }
};

class Combinations : public ::testing::TestWithParam<CombinationCase> {};

TEST_P(Combinations, AreNamedWithTheirOddsFromTheResultFields)
{
    const CombinationCase& c = GetParam();
    MemoryFieldStore fields;
    fields.setText(FieldId::EditGewinn, c.matches);
    fields.setText(FieldId::EditZusatz, c.bonusHit ? " + Zusatzzahl" : "");
    EXPECT_EQ(shownCombination(fields), c.shown);
    if (c.shown && c.oneIn > 0) {
        EXPECT_NEAR(oddsOf(*c.shown).oneIn(), c.oneIn, 0.05);
    }
    const std::string said = resultAnnouncement(fields);
    EXPECT_TRUE(said.ends_with(c.said)) << said;
}

INSTANTIATE_TEST_SUITE_P(
    EveryResult,
    Combinations,
    ::testing::Values(
        CombinationCase{"Six", "6", false, Combination::Six, 13983816, ". 6 Richtige, Chance 1 zu 13.983.816."},
        CombinationCase{"FiveWithBonus", "5", true, Combination::FiveWithBonus, 2330636,
                        "getroffen. 5 Richtige mit Zusatzzahl, Chance 1 zu 2.330.636."},
        CombinationCase{"Five", "5", false, Combination::Five, 55491.3, ". 5 Richtige, Chance 1 zu 55.491."},
        CombinationCase{"FourWithBonus", "4", true, Combination::FourWithBonus, 22196.5,
                        ". 4 Richtige mit Zusatzzahl, Chance 1 zu 22.197."},
        CombinationCase{"Four", "4", false, Combination::Four, 1082.8, ". 4 Richtige, Chance 1 zu 1083."},
        CombinationCase{"ThreeWithBonus", "3", true, Combination::ThreeWithBonus, 812.1,
                        ". 3 Richtige mit Zusatzzahl, Chance 1 zu 812."},
        CombinationCase{"Three", "3", false, Combination::Three, 60.9, ". 3 Richtige, Chance 1 zu 61."},
        CombinationCase{"TwoWithBonus", "2", true, Combination::None, 0, "Zusatzzahl getroffen. Kein Gewinn."},
        CombinationCase{"NoDrawCompleted", "", false, std::nullopt, 0, ""},
        CombinationCase{"TypedOverTheCount", "sieben", false, std::nullopt, 0, "sieben Treffer."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lotto
