#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <gtest/gtest.h>
#include <utility>

// Starts every test on an empty home, as ctest gives each test in a process of its own. Run in one process, the
// tests of an executable would otherwise share the preferences and files of those before them: a board filter left
// chosen hides the cards a later test makes, a snapshot kept aside renumbers the next one, and a test passes or
// fails by the order it runs in.
class FreshHome : public ::testing::EmptyTestEventListener {
public:
    // home is the temporary folder main made the process's home; nothing outside it is touched.
    explicit FreshHome(QString home) : m_home(std::move(home)) {}

    // Called before the test's fixture is made, so what the fixture writes stays.
    void OnTestStart(const ::testing::TestInfo&) override
    {
        // The standard user defaults read the same file through Qt's cache of it, shared by every QSettings of the
        // process: they see the keys gone at once.
        QSettings().clear();
        if (m_home.isEmpty())
            return;
        const QFileInfoList entries =
            QDir(m_home).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo& entry : entries) {
            if (entry.isDir() && !entry.isSymLink())
                QDir(entry.filePath()).removeRecursively();
            else
                QFile::remove(entry.filePath());
        }
    }

private:
    QString m_home;
};
