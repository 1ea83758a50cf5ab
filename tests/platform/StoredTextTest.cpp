// What a stored text can hold: the code page's characters without the control characters, and
// the refusal that names the others.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

#include "platform/Cp1252.h"
#include "platform/StoredText.h"
#include "support/FakeMsgBox.h"
#include "support/TypedTexts.h"

namespace tavrin::test {
namespace {

TEST(StoredText, EveryPrintableCharacterOfTheCodePageCanBeStoredAndNoControlCharacter)
{
    for (int b = 0; b < 256; ++b) {
        const std::uint8_t byte = static_cast<std::uint8_t>(b);
        const QString c = Cp1252ToString(&byte, 1);
        // Below blank, DEL, and the five positions the code page leaves undefined (they read as
        // the control characters of the same number).
        const bool control = b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        EXPECT_EQ(UnstorableCharacters(c).empty(), !control) << b;
    }
}

TEST(StoredText, TheRefusalNamesEachCharacterOnceInTheOrderTyped)
{
    struct Case {
        QString text;
        std::vector<char32_t> chars;
        QString named;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("Œ – € ÿ Š ™ Ÿ"), {}, {}},
        {QStringLiteral("中文中"), {0x4E2D, 0x6587}, QStringLiteral("\"中\", \"文\"")},
        {QStringLiteral("👍 ok 👍"), {0x1F44D}, QStringLiteral("\"👍\"")},
        {QStringLiteral("❤️"), {0x2764, 0xFE0F}, QStringLiteral("\"❤\", U+FE0F")},
        {QStringLiteral("q\u0301"), {0x0301}, QStringLiteral("U+0301")},
        {QStringLiteral("a\tb\nc\rd") + QChar(0),
         {9, 10, 13, 0},
         QStringLiteral("tab, line feed, carriage return, NUL")},
        {QStringLiteral("\x1b[1m\x7f"), {0x1B, 0x7F}, QStringLiteral("U+001B, U+007F")},
        // U+0080 is no euro sign: that is U+20AC.
        {QString(QChar(0x80)) + QChar(0x9D), {0x80, 0x9D}, QStringLiteral("U+0080, U+009D")},
        {QStringLiteral("a\u200Bb\u3000c\u2028"), {0x200B, 0x3000, 0x2028}, QStringLiteral("U+200B, U+3000, U+2028")},
        {QString(QChar(0xD83D)) + QStringLiteral("x"), {0xD83D}, QStringLiteral("U+D83D")},
        {QStringLiteral("Ω≠∑"), {0x03A9, 0x2260, 0x2211}, QStringLiteral("\"Ω\", \"≠\", \"∑\"")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(UnstorableCharacters(c.text), c.chars);
        EXPECT_EQ(UnstorableTextMessage(c.text), c.named.isEmpty() ? QString() : RefusalOf(c.named));
    }
    for (const TypedText& t : TypedTexts()) {
        SCOPED_TRACE(t.text.toStdString());
        EXPECT_EQ(UnstorableTextMessage(t.text), t.named.isEmpty() ? QString() : RefusalOf(t.named));
    }

    // A long paste is named by its first ten characters.
    EXPECT_EQ(UnstorableTextMessage(QStringLiteral("一二三四五六七八九十百千")),
              RefusalOf(QStringLiteral("\"一\", \"二\", \"三\", \"四\", \"五\", \"六\", \"七\", \"八\", \"九\", \"十\" "
                                       "and others")));
}

TEST(StoredText, ARefusedBoxComesIntoViewWithTheFocus)
{
    QWidget dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* tabs = new QTabWidget(&dialog);
    layout->addWidget(tabs);
    auto* first = new QLineEdit;
    tabs->addTab(first, QStringLiteral("First"));
    auto* page = new QWidget;
    auto* box = new QLineEdit(page);
    (new QVBoxLayout(page))->addWidget(box);
    tabs->addTab(page, QStringLiteral("Second"));
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog, 2000));
    first->setFocus();

    FakeMsgBox msg;
    box->setText(QStringLiteral("Zoë"));
    EXPECT_TRUE(AcceptStorableText(box, msg));
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(tabs->currentIndex(), 0);

    box->setText(QStringLiteral("Zoë\t"));
    EXPECT_FALSE(AcceptStorableText(box, msg));
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, RefusalOf(QStringLiteral("tab")));
    EXPECT_EQ(msg.shown[0].title, "Error");
    EXPECT_EQ(msg.shown[0].flags, Mb::Exclamation);
    EXPECT_EQ(msg.beeps, 1);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(box->text(), "Zoë\t");  // kept for correction
    EXPECT_TRUE(box->hasFocus());
}

}  // namespace
}  // namespace tavrin::test
