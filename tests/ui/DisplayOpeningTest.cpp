// Guards the display's opening against Qt's own threads, which speak while the
// main thread makes and ends it: a message from another thread finds an
// opening whole or none at all, never one half made or gone, and is passed on
// intact and once. A fault here is a race that seldom crashes; the
// ThreadSanitizer build reports it every time.
#include "qt/DisplayOpening.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace Backend {
namespace {

TEST(DisplayOpeningTest, TakesMessagesFromAnotherThreadWhileItIsMadeAndEnded)
{
    const std::string word = "a word from another thread";
    // Standard error goes to a file, where the thousands of words would not flood the test's output.
    std::FILE* said = std::tmpfile();
    ASSERT_NE(said, nullptr);
    const int realError = ::dup(STDERR_FILENO);
    ASSERT_GE(::dup2(::fileno(said), STDERR_FILENO), 0);

    // Words said while no opening lives are not the opening's to pass on.
    const QtMessageHandler unheard =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Counted without ordering, so that nothing but the opening orders the two threads.
    std::atomic<int> words = 0;
    std::atomic<bool> done = false;
    std::thread speaker([&] {
        for (; !done; words.fetch_add(1, std::memory_order_relaxed))
            qInfo("%s", word.c_str());
    });
    constexpr int openings = 2000;
    for (int k = 0; k < openings; ++k) {
        const DisplayOpening opening{QByteArray()};
        // It ends once a word has been said wholly while it lives.
        const int before = words.load(std::memory_order_relaxed);
        while (words.load(std::memory_order_relaxed) < before + 2)
            std::this_thread::yield();
    }
    done = true;
    speaker.join();
    qInstallMessageHandler(unheard);
    ::dup2(realError, STDERR_FILENO);
    ::close(realError);

    // Anything but the word, whole, is a fault: a mangled message, or a
    // sanitizer's report. Each opening heard the word once at least, and
    // none passes on more than was said.
    std::string other;
    int passedOn = 0;
    std::rewind(said);
    for (char line[256]; std::fgets(line, sizeof line, said);) {
        if (line == word + '\n')
            ++passedOn;
        else
            other += line;
    }
    std::fclose(said);
    EXPECT_EQ(other, "");
    EXPECT_GE(passedOn, openings) << "every opening passes on what it heard";
    EXPECT_LE(passedOn, words.load()) << "and only that, once";
}

}  // namespace
}  // namespace Backend
