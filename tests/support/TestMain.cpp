// Shared main of every test program: an offscreen QApplication with a pinned locale.
#include <QApplication>
#include <QLocale>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never the system's printing: the print guard of the test run stands in for it (nothing
    // answers there when the tests run without it).
    qputenv("CUPS_SERVER", TAVRIN_PRINT_GUARD_SOCKET);
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
