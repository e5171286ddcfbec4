// Texts reach SQLite as UTF-8 through a buffer each position keeps: plain ASCII is copied into it, anything else is
// encoded; either way the bytes stored must be exactly the text's UTF-8, whatever the position held before.
#include "platform/store/SqliteStatement.h"
#include "platform/store/SqliteDatabase.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SqliteStatementTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(m_database.open(m_dir.filePath(QStringLiteral("statement.sqlite")))); }

    // What SQLite holds for ?1 once bound with text: its type and its bytes in hexadecimal.
    static std::pair<QString, QString> stored(SqliteStatement& statement)
    {
        EXPECT_TRUE(statement.step());
        return {statement.column(0).toString(), statement.column(1).toString()};
    }

    QTemporaryDir m_dir;
    SqliteDatabase m_database;
};

QString hexOfUtf8(const QString& text)
{
    return QString::fromLatin1(text.toUtf8().toHex().toUpper());
}

} // namespace

TEST_F(SqliteStatementTest, textsRoundTheAsciiLimitStoreTheirExactUtf8WhateverThePositionHeldBefore)
{
    SqliteStatement statement(m_database, QStringLiteral("SELECT typeof(?1), hex(?1)"));
    ASSERT_TRUE(statement.isValid());
    // Longer, shorter, the last ASCII unit and the first beyond it, a character outside the BMP, a NUL inside,
    // and ASCII again after encoded text.
    const QString texts[] = {QStringLiteral("CARD-FOLDER-12-7 with a long tail"),
                             QStringLiteral("ab"),
                             QString(QChar(0x7F)) + QStringLiteral("x"),
                             QString(QChar(0x80)) + QStringLiteral("x"),
                             QStringLiteral("caf\u00e9 \U0001F600"),
                             QStringLiteral("a") + QChar(0) + QStringLiteral("b"),
                             QStringLiteral("plain again")};
    for (const QString& text : texts) {
        statement.reset();
        ASSERT_TRUE(statement.bindText(1, text));
        const auto [type, hex] = stored(statement);
        EXPECT_EQ(type, QStringLiteral("text")) << text.toStdString();
        EXPECT_EQ(hex, hexOfUtf8(text)) << text.toStdString();
    }
    // The same through a QVariant.
    statement.reset();
    ASSERT_TRUE(statement.bind(1, QVariant(QStringLiteral("\u00fcber"))));
    EXPECT_EQ(stored(statement).second, QStringLiteral("C3BC626572"));
}

TEST_F(SqliteStatementTest, emptyTextIsTextAndNullTextIsNull)
{
    SqliteStatement statement(m_database, QStringLiteral("SELECT typeof(?1), hex(?1)"));
    ASSERT_TRUE(statement.bindText(1, QStringLiteral("held before")));
    statement.reset();
    ASSERT_TRUE(statement.bindText(1, QStringLiteral("")));
    EXPECT_EQ(stored(statement).first, QStringLiteral("text"));
    statement.reset();
    ASSERT_TRUE(statement.bindText(1, QString()));
    EXPECT_EQ(stored(statement).first, QStringLiteral("null"));
    // A date without a moment has no seconds to store.
    statement.reset();
    ASSERT_TRUE(statement.bind(1, QVariant(QDateTime())));
    EXPECT_EQ(stored(statement).first, QStringLiteral("null"));
}

TEST_F(SqliteStatementTest, resetUnbindsEveryPosition)
{
    SqliteStatement statement(m_database, QStringLiteral("SELECT typeof(?1), typeof(?2) || ' ' || ?2"));
    ASSERT_TRUE(statement.bindText(1, QStringLiteral("text")));
    ASSERT_TRUE(statement.bindInteger(2, -9007199254740993));
    EXPECT_EQ(stored(statement), std::make_pair(QStringLiteral("text"), QStringLiteral("integer -9007199254740993")));
    statement.reset();
    EXPECT_EQ(stored(statement), std::make_pair(QStringLiteral("null"), QString()));
}

TEST_F(SqliteStatementTest, positionsBeyondTheStatementFailAndSayWhy)
{
    SqliteStatement statement(m_database, QStringLiteral("SELECT ?1"));
    EXPECT_FALSE(statement.bindText(2, QStringLiteral("ascii")));
    ASSERT_TRUE(statement.error());
    EXPECT_TRUE(statement.error()->message.startsWith(QStringLiteral("bind")))
        << statement.error()->message.toStdString();
    statement.reset();
    EXPECT_FALSE(statement.bindText(0, QStringLiteral("\u00e9")));
    EXPECT_FALSE(statement.bindInteger(2, 1));
    statement.reset();
    EXPECT_FALSE(statement.bind(QVariantList{1, 2}));
    SqliteStatement invalid(m_database, QStringLiteral("SELEKT ?1"));
    EXPECT_FALSE(invalid.bindText(1, QStringLiteral("a")));
    EXPECT_FALSE(invalid.bindInteger(1, 1));
    EXPECT_FALSE(invalid.step());
}

TEST_F(SqliteStatementTest, storeThatFailedToOpenIsClosedAndSaysSo)
{
    SqliteDatabase neverOpened;
    const std::optional<StoreError> unopened = neverOpened.execute(QStringLiteral("SELECT 1"));
    ASSERT_TRUE(unopened);
    EXPECT_EQ(unopened->message, QStringLiteral("The store is not open."));

    // A folder is no store file: the failed open leaves no half-open connection behind.
    SqliteDatabase failed;
    ASSERT_TRUE(failed.open(m_dir.path()));
    EXPECT_FALSE(failed.isOpen());
    const std::optional<StoreError> afterFailure = failed.execute(QStringLiteral("SELECT 1"));
    ASSERT_TRUE(afterFailure);
    EXPECT_EQ(afterFailure->message, QStringLiteral("The store is not open."));
}
