// Dialog placement, typed times and the report font check.
#include <QGuiApplication>
#include <QScreen>

#include "GridFixture.h"

namespace tavrin::test {
namespace {

class PlacementTest : public GridFixture {
protected:
    PlacementTest()
    {
        form->setGeometry(100, 50, 800, 600);
        dialog.resize(200, 100);
        owner.setGeometry(100, 80, 400, 200);
    }
    QRect Screen() const { return QGuiApplication::primaryScreen()->geometry(); }
    QWidget dialog;
    QWidget owner;
};

TEST_F(PlacementTest, CentredOnTheScreen)
{
    grid->CenterFormOnScreen(&dialog);
    EXPECT_EQ(dialog.pos(), QPoint(Screen().width() / 2 - 100, Screen().height() / 2 - 50));
    EXPECT_EQ(gridHost.toolTipCancels, 1);
    EXPECT_FALSE(gridHost.busy);
}

TEST_F(PlacementTest, CentredOnTheMainWindow)
{
    grid->CenterFormOnMainForm(&dialog);
    EXPECT_EQ(dialog.pos(), QPoint(100 + 400 - 100, 50 + 300 - 50));
    EXPECT_EQ(gridHost.toolTipCancels, 0);
}

TEST_F(PlacementTest, AQuarterIntoTheOwner)
{
    grid->PositionDialogOverForm(&owner, &dialog);
    EXPECT_EQ(dialog.pos(), QPoint(100 + 100, 80 + 50));
    EXPECT_EQ(gridHost.toolTipCancels, 1);

    // Near the screen's right edge: centred in the main window's size at the screen's corner.
    owner.setGeometry(Screen().width() - 150, 80, 400, 200);
    grid->PositionDialogOverForm(&owner, &dialog);
    EXPECT_EQ(dialog.pos(), QPoint(400 - 100, 300 - 50));
}

TEST_F(PlacementTest, AMaximisedMainWindowKeepsTheDialogInside)
{
    form->setGeometry(0, 0, 500, 260);
    form->setWindowState(Qt::WindowMaximized);
    ASSERT_TRUE(form->isMaximized());
    owner.setGeometry(100, 120, 400, 200);  // a quarter in: 220, 170; past the bottom at 260
    grid->PositionDialogOverForm(&owner, &dialog);
    const QRect m = form->frameGeometry();
    EXPECT_EQ(dialog.pos(), QPoint(m.width() / 2 - 100, m.height() / 2 - 50));
}

TEST_F(PlacementTest, NormalizeTimeText)
{
    const std::pair<const char*, const char*> cases[] = {{"7", "7:00"},       {"12", "12:00"}, {"730", "730"},
                                                         {"7a", "7A"},        {"7p", "7P"},    {"7:3", "7:3"},
                                                         {"9:30pm", "9:30PM"}};
    for (auto [in, out] : cases)
        EXPECT_EQ(GridPaint::NormalizeTimeText(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
}

TEST_F(PlacementTest, TheReportFontCountsAsInstalledThroughItsStandIn)
{
    EXPECT_TRUE(fonts.InstalledFamilies().contains(QStringLiteral("Arial")));
    EXPECT_FALSE(grid->CheckReportFontInstalled());
    EXPECT_TRUE(msg.shown.empty());
}

}  // namespace
}  // namespace tavrin::test
