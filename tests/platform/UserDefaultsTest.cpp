#include "platform/UserDefaults.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class UserDefaultsTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("defaults.ini")); }

    QTemporaryDir m_dir;
};

TEST_F(UserDefaultsTest, registeredDefaultAnswersWithoutBeingWritten)
{
    {
        UserDefaults defaults(path());
        defaults.registerDefaults({{QStringLiteral("showHints"), true}, {QStringLiteral("zoom"), 1.5}});
        EXPECT_TRUE(defaults.boolForKey(QStringLiteral("showHints")));
        EXPECT_DOUBLE_EQ(defaults.doubleForKey(QStringLiteral("zoom")), 1.5);
        defaults.setValue(QStringLiteral("other"), 1);
        ASSERT_TRUE(defaults.sync());
    }
    QSettings raw(path(), QSettings::IniFormat);
    EXPECT_FALSE(raw.contains(QStringLiteral("showHints")));
    EXPECT_FALSE(raw.contains(QStringLiteral("zoom")));
}

TEST_F(UserDefaultsTest, writtenValueWinsOverDefaultAndRemovalRestoresIt)
{
    UserDefaults defaults(path());
    defaults.registerDefaults({{QStringLiteral("name"), QStringLiteral("fallback")}});
    defaults.setValue(QStringLiteral("name"), QStringLiteral("mine"));
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("name")), QStringLiteral("mine"));
    defaults.removeObject(QStringLiteral("name"));
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("name")), QStringLiteral("fallback"));
    defaults.setValue(QStringLiteral("name"), QStringLiteral("again"));
    defaults.setValue(QStringLiteral("name"), QVariant());
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("name")), QStringLiteral("fallback"));
}

TEST_F(UserDefaultsTest, typedValuesSurviveTheIniFile)
{
    {
        UserDefaults defaults(path());
        defaults.setValue(QStringLiteral("flag"), true);
        defaults.setValue(QStringLiteral("off"), false);
        defaults.setValue(QStringLiteral("count"), qint64(9007199254740993));
        defaults.setValue(QStringLiteral("ratio"), 0.25);
        defaults.setValue(QStringLiteral("title"), QStringLiteral("a, b = c"));
        ASSERT_TRUE(defaults.sync());
    }
    UserDefaults reread(path());
    EXPECT_TRUE(reread.boolForKey(QStringLiteral("flag")));
    EXPECT_FALSE(reread.boolForKey(QStringLiteral("off")));
    EXPECT_EQ(reread.integerForKey(QStringLiteral("flag")), 1);
    EXPECT_EQ(reread.integerForKey(QStringLiteral("count")), qint64(9007199254740993));
    EXPECT_DOUBLE_EQ(reread.doubleForKey(QStringLiteral("ratio")), 0.25);
    EXPECT_EQ(reread.integerForKey(QStringLiteral("ratio")), 0);
    EXPECT_EQ(reread.stringForKey(QStringLiteral("title")), QStringLiteral("a, b = c"));
}

TEST_F(UserDefaultsTest, handWrittenWordsAndJunkReadSafely)
{
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nyes=YES\none=1\nno=NO\njunk=abc\nhuge=1e300\nnan=nan\n");
    file.close();
    UserDefaults defaults(path());
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("yes")));
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("one")));
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("no")));
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("junk")));
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("junk")), 0);
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("huge")), std::numeric_limits<qint64>::max());
    EXPECT_DOUBLE_EQ(defaults.doubleForKey(QStringLiteral("nan")), 0.0);
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("missing")));
    EXPECT_TRUE(defaults.stringForKey(QStringLiteral("missing")).isEmpty());
    // Words handed over as bytes read as the same words.
    defaults.setValue(QStringLiteral("bytes"), QByteArray("no"));
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("bytes")));
    defaults.setValue(QStringLiteral("bytes"), QByteArray(" 2.5 "));
    EXPECT_DOUBLE_EQ(defaults.doubleForKey(QStringLiteral("bytes")), 2.5);
}

TEST_F(UserDefaultsTest, changedIsEmittedForSetAndRemoveOnly)
{
    UserDefaults defaults(path());
    QSignalSpy spy(&defaults, &UserDefaults::changed);
    defaults.registerDefaults({{QStringLiteral("k"), 1}});
    defaults.removeObject(QStringLiteral("k"));
    EXPECT_EQ(spy.count(), 0);
    defaults.setValue(QStringLiteral("k"), 2);
    defaults.removeObject(QStringLiteral("k"));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("k"));
}

TEST(UserDefaultsStandardTest, standardStoreStaysOutOfTheRealHome)
{
    UserDefaults& defaults = UserDefaults::standard();
    EXPECT_EQ(&defaults, &UserDefaults::standard());
    defaults.setValue(QStringLiteral("probe"), 7);
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("probe")), 7);
    defaults.removeObject(QStringLiteral("probe"));
    EXPECT_TRUE(QSettings().fileName().contains(QStringLiteral(".qttest")));
}

} // namespace
