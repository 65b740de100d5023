// Guards the window against what a person can paste into a ticket field: huge
// texts, control characters, other scripts and writing directions, endless
// digits. Each gives one short message or a finding, and no field loses its text.
#include "Forms.h"
#include "QtWindowDriver.h"
#include "Unit1.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>

namespace lotto::testing {
namespace {

enum class Outcome { Message, RangeFinding };

struct HostileText {
    const char* name;
    QString text;
    Outcome outcome;
    const char* expectedInMessage;
    friend void PrintTo(const HostileText& t, std::ostream* os) { *os << t.name; }
};

class HostileTextTest : public ::testing::TestWithParam<HostileText> {
protected:
    void SetUp() override
    {
        form.Show();
        window = shownWindow("Form1");
        ASSERT_NE(window, nullptr);
        const char* const others[] = {"Tipp1", "Tipp2", "Tipp4", "Tipp5", "Tipp6"};
        const char* const values[] = {"1", "2", "4", "5", "6"};
        for (int k = 0; k < 5; ++k)
            window->findChild<QLineEdit*>(others[k])->setText(values[k]);
        for (int k = 1; k <= 7; ++k)
            window->findChild<QLineEdit*>(QStringLiteral("Zahl%1").arg(k))->setText(QString::number(k + 40));
    }

    void paste(const char* field, const QString& text)
    {
        auto* edit = window->findChild<QLineEdit*>(field);
        edit->clear();
        QGuiApplication::clipboard()->setText(text);
        edit->setFocus();
        QTest::keySequence(edit, QKeySequence::Paste);
    }

    TForm1 form;
    QWidget* window = nullptr;
};

TEST_P(HostileTextTest, GivesOneShortMessageOrAFindingAndLosesNothing)
{
    const HostileText& hostile = GetParam();
    paste("Tipp3", hostile.text);
    const QString pasted = text(window, "Tipp3");
    ASSERT_EQ(pasted, hostile.text) << "the whole text arrives in the field";

    MessageBoxAnswerer answerer;
    click(window, "Button1");

    if (hostile.outcome == Outcome::Message) {
        ASSERT_EQ(answerer.texts().size(), 1u);
        const std::string& message = answerer.texts()[0];
        EXPECT_LT(message.size(), 300u) << "readable, not the pasted page";
        EXPECT_EQ(message.find('\n'), std::string::npos);
        EXPECT_EQ(message.find('\0'), std::string::npos);
        EXPECT_NE(message.find(hostile.expectedInMessage), std::string::npos) << message;
        EXPECT_EQ(text(window, "EditBereich"), "");
    } else {
        EXPECT_TRUE(answerer.texts().empty());
        EXPECT_EQ(text(window, "EditBereich"), "Zahl nicht im Tippscheinbereich");
    }

    EXPECT_EQ(text(window, "Tipp3"), pasted) << "the user's text stays";
    const char* const others[] = {"Tipp1", "Tipp2", "Tipp4", "Tipp5", "Tipp6"};
    const char* const values[] = {"1", "2", "4", "5", "6"};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(text(window, others[k]), values[k]);
    for (int k = 1; k <= 7; ++k)
        EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("Zahl%1").arg(k))->text(), QString::number(k + 40));
}

QString repeated(const char* piece, int times)
{
    QString text;
    for (int k = 0; k < times; ++k)
        text += QString::fromUtf8(piece);
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Pastes,
    HostileTextTest,
    ::testing::Values(
        HostileText{"OneMegabyte", repeated("Lotto 6 aus 49! ", 65536), Outcome::Message,
                    "\u201E\u2068Lotto 6 aus 49! Lotto 6 aus 49! Lotto 6 \u2026"},
        HostileText{"NulCharacter",
                    QString::fromUtf8("1\0"
                                      "7",
                                      3),
                    Outcome::Message, "1\uFFFD7"},
        HostileText{"RightToLeft", QString::fromUtf8("\u05E9\u05DC\u05D5\u05DD 7"), Outcome::Message,
                    "\u2068\u05E9\u05DC\u05D5\u05DD 7\u2069"},
        HostileText{"DirectionOverride", QString::fromUtf8("\u202E12"), Outcome::Message, "\uFFFD12"},
        HostileText{"CombiningMarks", QString::fromUtf8("7\u0301\u0308"), Outcome::Message, "7\u0301\u0308"},
        HostileText{"ArabicIndicDigits", QString::fromUtf8("\u0663\u0667"), Outcome::Message, "\u0663\u0667"},
        HostileText{"FullwidthDigits", QString::fromUtf8("\uFF17"), Outcome::Message, "\uFF17"},
        HostileText{"FourHundredDigits", QString(400, QLatin1Char('9')), Outcome::Message,
                    "außerhalb des Zahlenbereichs"},
        HostileText{"LargestInteger", QStringLiteral("2147483647"), Outcome::RangeFinding, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lotto::testing
