#include "FreshHome.h"
#include "app/ScreenRegistry.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The sanitised build's leak check at exit walks each thread's dynamic TLS blocks; with this glibc the runtime of
// GCC 12 misreads one a loaded plug-in leaves behind and crashes ("Tracer caught signal 11") after the test has
// passed. Without that walk it reads the threads' memory as before and still reports every leak.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}

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
    // A whole executable run in one process (no filter, or shuffled) gives each test that home empty again.
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshHome(home.path()));
    return RUN_ALL_TESTS();
}
