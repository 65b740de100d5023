// Guards where every backend puts the window: at its designed place wherever
// it fits, moved only as far as a work area that a task bar has cut down
// needs, and with its top-left corner on a screen smaller than the window.
#include "WindowPlacement.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct PlacementRow {
    const char* name;
    Bounds workArea;
    int left;
    int top;
    friend void PrintTo(const PlacementRow& row, std::ostream* os) { *os << row.name; }
};

constexpr Bounds designed{241, 107, 696, 480};

class WindowPlacement : public ::testing::TestWithParam<PlacementRow> {};

TEST_P(WindowPlacement, MovesOnlyAsFarAsTheWorkAreaNeeds)
{
    const PlacementRow& row = GetParam();
    const Bounds placed = placeInWorkArea(designed, row.workArea);
    EXPECT_EQ(placed.left, row.left);
    EXPECT_EQ(placed.top, row.top);
    EXPECT_EQ(placed.width, designed.width) << "the window keeps its size";
    EXPECT_EQ(placed.height, designed.height);
}

const PlacementRow rows[] = {
    {"RoomToSpare", {0, 0, 1280, 800}, 241, 107},
    {"JustTheRoom", {0, 0, 937, 587}, 241, 107},
    {"TooNarrow", {0, 0, 800, 600}, 104, 107},
    {"TooLowWithATaskBarBelow", {0, 0, 1280, 560}, 241, 80},
    {"TaskBarsAboveAndAtTheLeft", {300, 150, 1000, 700}, 300, 150},
    {"SmallerThanTheWindow", {0, 40, 640, 400}, 0, 40},
    {"SecondScreenLeftOfTheFirst", {-1280, 0, 1280, 1024}, -696, 107},
};

INSTANTIATE_TEST_SUITE_P(Rows, WindowPlacement, ::testing::ValuesIn(rows), [](const auto& info) {
    return std::string(info.param.name);
});

}  // namespace
