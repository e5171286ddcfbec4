#pragma once

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

// The outside programs some tests run (LibreOffice, pandoc, xmllint, unzip, python3, pdftotext, identify,
// dbus-daemon, dunst, Xvfb), the breeze icon theme and the leap-second time zones. On a developer's machine a test
// that cannot find or start one is skipped; scripts/test sets PLOTVANE_REQUIRE_TOOLS=1, and there it fails, so that
// a run with every program installed can never pass by skipping what it should have checked.
namespace RequiredTools {

inline bool required()
{
    return qEnvironmentVariableIntValue("PLOTVANE_REQUIRE_TOOLS") == 1;
}

inline bool installed(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// How long an installed program gets to start and answer: on a busy machine it is slow, not missing.
constexpr int StartMs = 30000;

// Whether an icon theme of that name is installed in one of the system's data folders.
inline bool iconThemeInstalled(const QString& name)
{
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QFileInfo(QDir(dir).filePath(QStringLiteral("icons/%1/index.theme").arg(name))).isFile())
            return true;
    }
    return false;
}

} // namespace RequiredTools

// Ends the test for want of an outside program: a skip, or a failure where every program is required.
#define MISSING_TOOL(message)                                                                                          \
    do {                                                                                                               \
        if (RequiredTools::required()) {                                                                               \
            GTEST_FAIL() << message << " (PLOTVANE_REQUIRE_TOOLS=1)";                                                  \
        } else {                                                                                                       \
            GTEST_SKIP() << message;                                                                                   \
        }                                                                                                              \
    } while (false)

// Ends the test through MISSING_TOOL unless program is on the PATH.
#define REQUIRE_TOOL(program)                                                                                          \
    do {                                                                                                               \
        if (!RequiredTools::installed(QStringLiteral(program))) {                                                      \
            MISSING_TOOL(program " is not installed: run scripts/deps --test");                                        \
        }                                                                                                              \
    } while (false)
