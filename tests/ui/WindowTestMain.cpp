// Runs the window tests with the toolkit's display open; listing the tests
// (as the build does to discover them) needs no display.
#include "Forms.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    Application->Initialize();
    return RUN_ALL_TESTS();
}
