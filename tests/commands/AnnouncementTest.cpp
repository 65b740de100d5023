// Guards what a screen reader is told after each command: the words are built
// from the fields the real commands left behind, for a fresh random source.
#include "Announcement.h"
#include "DrawCommand.h"
#include "EntryCommands.h"
#include "Lottery.h"
#include "MemoryFieldStore.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

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
                         resultAnnouncement, "Ziehung: 3, 16, 21, 36, 37, 44, Zusatzzahl 10. 2 Treffer: 3, 44."},
        AnnouncementCase{"DrawWithTheBonusNumber",
                         [](FieldStore& f, RandomSource& r) {
                             typeTicket(f, {"10", "3", "25", "15", "7", "9"});
                             drawCommand(f, r);
                         },
                         resultAnnouncement,
                         "Ziehung: 3, 16, 21, 36, 37, 44, Zusatzzahl 10. 1 Treffer: 3. Zusatzzahl getroffen."},
        AnnouncementCase{"DrawWithoutAHit",
                         [](FieldStore& f, RandomSource& r) {
                             typeTicket(f, {"1", "2", "4", "5", "6", "7"});
                             drawCommand(f, r);
                         },
                         resultAnnouncement, "Ziehung: 3, 16, 21, 36, 37, 44, Zusatzzahl 10. 0 Treffer."},
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

}  // namespace
}  // namespace lotto
