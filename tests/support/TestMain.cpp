// Shared main of every test program: an offscreen QApplication with a pinned locale.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "support/CupsScheduler.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never the system's printing: the print guard of the test run stands in for it (nothing
    // answers there when the tests run without it), and the test's printing settings are its own,
    // whatever default printer the user has chosen.
    const QTemporaryDir home(QDir::tempPath() + QStringLiteral("/tavrin-test-home-XXXXXX"));
    tavrin::test::UseOwnPrintingSettings(home.path(), QStringLiteral(TAVRIN_PRINT_GUARD_SOCKET));
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
