// Guards the one look of a mark that every backend applies: the contrasts its
// colours promise on light and dark fields, which ground counts as dark, and
// which system colours are a high-contrast scheme, where a platform has no
// switch for it.
#include "MarkLook.h"

#include <gtest/gtest.h>

namespace {

TEST(MarkLook, EachLooksColoursKeepTheirContrastOnLightAndDarkFields)
{
    for (const MarkLook look : markLooks) {
        for (const bool dark : {false, true}) {
            const MarkColours colours = markColours(look, dark);
            EXPECT_GE(contrastRatio(colours.text, colours.ground), 7.0) << int(look) << " dark " << dark;
            EXPECT_GE(contrastRatio(colours.frame, colours.ground), 3.0) << int(look) << " dark " << dark;
            EXPECT_EQ(isDarkGround(colours.ground), dark) << "its ground is as dark as the field's";
        }
    }
}

TEST(MarkLook, AGroundIsDarkWhereWhiteTextStandsOutMoreThanBlack)
{
    EXPECT_DOUBLE_EQ(contrastRatio(0x000000, 0xffffff), 21.0);
    for (const std::uint32_t light : {0xffffffU, 0xefefefU, 0x808080U, 0xffff00U, 0x00ff00U})
        EXPECT_FALSE(isDarkGround(light)) << std::hex << light;
    for (const std::uint32_t dark : {0x000000U, 0x2a2e33U, 0x707070U, 0x0000ffU, 0xcc0000U})
        EXPECT_TRUE(isDarkGround(dark)) << std::hex << dark;
}

TEST(MarkLook, HighContrastIsEveryTextAtSevenToOneTheSelectionToo)
{
    const TextOnGround ordinary[] = {{0x000000, 0xffffff}, {0xffffff, 0x308cc6}};  // a coloured selection
    const TextOnGround blackOnWhite[] = {{0x000000, 0xffffff}, {0xffffff, 0x37006e}};
    const TextOnGround whiteOnBlack[] = {{0xffffff, 0x000000}, {0x000000, 0x00ffff}};
    EXPECT_FALSE(isHighContrast(ordinary));
    EXPECT_TRUE(isHighContrast(blackOnWhite));
    EXPECT_TRUE(isHighContrast(whiteOnBlack));
    EXPECT_FALSE(isHighContrast({}));
    const MarkColours kept = markColours(MarkLook::Dashed, FieldColours{0xffffff, 0x000000, true});
    EXPECT_TRUE(kept.ground == 0x000000 && kept.frame == 0xffffff && kept.text == 0xffffff) << "the system's colours";
}

}  // namespace
