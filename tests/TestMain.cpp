#include "app/ScreenRegistry.h"

#include <QApplication>
#include <QStandardPaths>
#include <QThreadPool>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Before anything reads a path or creates QSettings: no test may touch a real home folder.
    QStandardPaths::setTestModeEnabled(true);
    // ctest runs many test processes at once; each gets a home of its own (settings, data folder,
    // snapshots), so one test's files never leak into another running beside it.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("PlotvaneTests"));
    QApplication::setApplicationName(QStringLiteral("PlotvaneTests"));
    // The screens the program registers at start-up, so launches in tests find them by identifier.
    ScreenRegistry::registerScreens();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // The leak check at exit stops every thread to scan it, and it crashes now and then when a thread ends at that
    // moment; the pool's threads are joined here, so none is left to end while it runs.
    QThreadPool::globalInstance()->waitForDone();
    return result;
}
