// Guards the rule that picks the face a form is drawn in, without a window:
// faces are offered in order of preference and measured by a stand-in that
// draws every letter of a family alike, so each row knows exactly how a face
// fits. A face within the tolerance wins at once, a too-wide one is set closer
// by whole hundredths (counting letters, not bytes) or drawn smaller, one that
// cannot hold the fixed-size label's text is passed over, and where nothing
// comes close enough the closest fit or else the designed face remains.
#include "FontFitting.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

const ControlDefinition labels[] = {
    {"", ControlKind::Label, {0, 0, 36, 12}, "Gewinn", {}, {}, noTabStop, AutoSize::Yes},
    {"", ControlKind::Label, {0, 20, 60, 12}, "Zusatzzahl", {}, {}, noTabStop, AutoSize::Yes},
    // Sixteen letters in seventeen bytes, with room for 98 pixels of text.
    {"", ControlKind::Label, {0, 40, 100, 14}, "Zahlen für Faule", {}, {}, noTabStop, AutoSize::No},
    {"Edit", ControlKind::Edit, {0, 60, 40, 20}, "", "Feld"},
};
const FormDefinition form{"Form", "Form", {0, 0, 200, 100}, {"Designed", 10}, labels};

// Each letter of a family is as wide as `advance` times the pixel size plus
// the letter spacing, and a line as high as `height` times the pixel size.
struct Metrics {
    double advance;
    double height;
};
const std::map<std::string, Metrics, std::less<>> families = {
    {"Exact", {0.6, 1.2}},       // the designed sizes to the pixel
    {"Tight", {0.625, 1.2}},     // the fixed-size label 2 px too wide, the others within 2 and 3 px
    {"Wide", {0.7, 1.2}},        // needs a smaller size
    {"FarTooWide", {0.9, 1.2}},  // too wide even at four fifths of the size
    {"Tall", {0.6, 1.5}},        // fits, but 3 px too high
    {"Narrow", {0.5, 1.2}},      // fits, but 10 px too narrow
};

TextExtent measure(const FontChoice& face, std::string_view text)
{
    std::size_t letters = 0;
    for (const char byte : text)
        letters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    const Metrics& metrics = families.find(face.family)->second;
    return {static_cast<double>(letters) * (metrics.advance * face.pixelHeight + face.letterSpacing),
            metrics.height * face.pixelHeight};
}

struct FittingRow {
    const char* name;
    std::vector<std::string> preferred;
    FontChoice expected;
    friend void PrintTo(const FittingRow& row, std::ostream* os) { *os << row.name; }
};

class FontFittingTest : public ::testing::TestWithParam<FittingRow> {};

TEST_P(FontFittingTest, ChoosesTheFirstFaceThatFitsAsDesigned)
{
    FontFitting fitting(form, measure);
    for (const std::string& family : GetParam().preferred) {
        if (fitting.tryFamily(family))
            break;
    }
    const FontChoice chosen = fitting.choice();
    const FontChoice& expected = GetParam().expected;
    EXPECT_EQ(chosen.family, expected.family);
    EXPECT_EQ(chosen.pixelHeight, expected.pixelHeight);
    EXPECT_DOUBLE_EQ(chosen.letterSpacing, expected.letterSpacing);
}

const FittingRow rows[] = {
    {"AnExactFaceAsItIs", {"Exact"}, {"Exact", 10, 0}},
    {"ALittleTooWideSetCloserByLetters", {"Tight"}, {"Tight", 10, -0.13}},
    {"TooWideDrawnSmallerAndCloser", {"Wide"}, {"Wide", 9, -0.19}},
    {"OneThatCannotHoldTheTextPassedOver", {"FarTooWide", "Exact"}, {"Exact", 10, 0}},
    {"TheFirstWithinTheToleranceWins", {"Tight", "Exact"}, {"Tight", 10, -0.13}},
    {"NoneCloseEnoughTheClosestFit", {"Narrow", "Tall", "FarTooWide"}, {"Tall", 10, 0}},
    {"NoneFitsTheDesignedFace", {"FarTooWide"}, {"Designed", 10, 0}},
    {"NothingOfferedTheDesignedFace", {}, {"Designed", 10, 0}},
};

INSTANTIATE_TEST_SUITE_P(Rows, FontFittingTest, ::testing::ValuesIn(rows), [](const auto& info) {
    return std::string(info.param.name);
});

}  // namespace
