#include "platform/store/Predicate.h"
#include "platform/store/EntityDescription.h"
#include "platform/store/PredicateParser.h"
#include "platform/store/StoreValue.h"

#include <QDateTime>
#include <QSet>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const QString kInjection = QStringLiteral("x' OR '1'='1");

EntityDescription itemEntity()
{
    EntityDescription entity(QStringLiteral("ProjectItem"));
    entity.addAttribute(QStringLiteral("projectId"), AttributeType::String)
        .addAttribute(QStringLiteral("itemType"), AttributeType::Integer)
        .addAttribute(QStringLiteral("tag"), AttributeType::String)
        .addAttribute(QStringLiteral("notes"), AttributeType::String)
        .addAttribute(QStringLiteral("terms"), AttributeType::String)
        .addAttribute(QStringLiteral("lastModified"), AttributeType::Date);
    return entity;
}

QDateTime day(int month, int dayOfMonth)
{
    return QDateTime(QDate(2024, month, dayOfMonth), QTime(12, 0), QTimeZone::utc());
}

// Rows in attribute order: projectId, itemType, tag, notes, terms, lastModified. Nulls and awkward texts on purpose.
QList<QVariantList> sampleRows()
{
    const QVariant nil;
    return {
        {"A", 0, nil, nil, nil, day(1, 1)},
        {"A", 3, "done", "", " rose garden", day(2, 1)},
        {"A", 2, nil, "Some notes", " roses gardening", day(3, 1)},
        {"B", 4, "Done", nil, " garden rose", day(4, 1)},
        {"A", 1, "todo", "x", QString::fromUtf8(" \xc3\x89lan rose"), nil},
        {nil, nil, nil, nil, nil, nil},
        {"A", 5, "it's", "50%_off", QString::fromUtf8(" \xc3\xa9lan"), day(5, 1)},
        {kInjection, 3, "3", " 3 ", "3", day(6, 1)},
        {"1", 2.0, "a\\b", "line\nbreak", "", day(7, 1).addMSecs(500)},
    };
}

class PredicateSqlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
        QString create = QStringLiteral("CREATE TABLE item (id INTEGER PRIMARY KEY");
        for (const AttributeDescription& attribute : m_entity.attributes())
            create += QStringLiteral(", \"%1\" %2").arg(attribute.name(), attribute.sqlType());
        ASSERT_EQ(sqlite3_exec(m_db, (create + u')').toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        for (const QVariantList& raw : sampleRows()) {
            QVariantList row;
            for (qsizetype i = 0; i < raw.size(); ++i)
                row.append(m_entity.attributes()[i].coerce(raw[i]));
            m_rows.append(row);
            ASSERT_EQ(run(QStringLiteral("INSERT INTO item VALUES (NULL, ?, ?, ?, ?, ?, ?)"), row).size(), 0);
        }
    }

    void TearDown() override { sqlite3_close(m_db); }

    // Row ids (1-based) that the statement returns, or {-1} when SQLite refuses it.
    QSet<int> run(const QString& sql, const QVariantList& bindings)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(m_db) << " in " << sql.toStdString();
            return {-1};
        }
        for (int i = 0; i < bindings.size(); ++i)
            bind(statement, i + 1, StoreValue::toSql(bindings[i]));
        QSet<int> ids;
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            ids.insert(sqlite3_column_int(statement, 0));
        EXPECT_EQ(rc, SQLITE_DONE) << sqlite3_errmsg(m_db);
        sqlite3_finalize(statement);
        return ids;
    }

    static void bind(sqlite3_stmt* statement, int position, const QVariant& value)
    {
        if (!value.isValid()) {
            sqlite3_bind_null(statement, position);
        } else if (value.metaType().id() == QMetaType::LongLong) {
            sqlite3_bind_int64(statement, position, value.toLongLong());
        } else if (value.metaType().id() == QMetaType::Double) {
            sqlite3_bind_double(statement, position, value.toDouble());
        } else {
            ASSERT_EQ(value.metaType().id(), QMetaType::QString) << "unexpected binding type";
            sqlite3_bind_text(statement, position, value.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
        }
    }

    QSet<int> sqlMatches(const Predicate& predicate)
    {
        QString sql = QStringLiteral("SELECT id FROM item WHERE ");
        QVariantList bindings;
        QString error;
        if (!predicate.toSql(m_entity, sql, bindings, &error)) {
            ADD_FAILURE() << error.toStdString();
            return {-1};
        }
        EXPECT_EQ(sql.count(u'?'), bindings.size()) << "every value is bound, never spliced: " << sql.toStdString();
        return run(sql, bindings);
    }

    QSet<int> memoryMatches(const Predicate& predicate)
    {
        QSet<int> ids;
        for (int i = 0; i < m_rows.size(); ++i) {
            const QVariantList& row = m_rows[i];
            if (predicate.evaluate([&](const QString& key) { return row.value(m_entity.indexOf(key)); }))
                ids.insert(i + 1);
        }
        return ids;
    }

    QSet<int> agreedMatches(const QString& text, const QVariantList& arguments = {})
    {
        const Predicate predicate = Predicate::parse(text, arguments);
        EXPECT_TRUE(predicate.isValid()) << text.toStdString() << ": " << predicate.errorString().toStdString();
        const QSet<int> inSql = sqlMatches(predicate);
        EXPECT_EQ(inSql, memoryMatches(predicate)) << "SQL and memory disagree on " << text.toStdString();
        return inSql;
    }

    EntityDescription m_entity = itemEntity();
    QList<QVariantList> m_rows;
    sqlite3* m_db = nullptr;
};

TEST_F(PredicateSqlTest, sqlAndMemoryAgreeIncludingNulls)
{
    // clang-format off
    const char* texts[] = {
        "(projectId == 'A') AND (itemType != 0)",
        "(itemType == 0 or ((itemType == 3 or itemType == 2 or itemType == 4) and (tag == nil or tag != 'done')))",
        "(itemType == 0 or (notes != nil AND notes != ''))",
        "projectId='A' AND ((terms contains \" rose\" AND terms contains \" garden\") OR (itemType == 0)) AND itemType != 0",
        "tag != 'done'", "tag == nil", "tag == NULL", "NOT (tag == 'done')", "tag < 'm'", "NOT (tag < 'm')",
        "!(tag >= 'd')", "itemType > 2.5", "itemType == 3.0", "itemType == '3'", "itemType == ' 3 '",
        "itemType < '3x'", "projectId == 1", "tag == 3", "3 < itemType", "itemType => 2 AND itemType =< 4",
        "itemType <> 3", "itemType == YES", "itemType == false", "terms contains ' rose'", "terms CONTAINS 'Rose'",
        "terms contains[c] 'ROSE'", "terms contains[c] '\xc3\xa9lan'", "terms contains[cd] 'ELAN'",
        "terms beginswith ' g'", "terms BEGINSWITH[c] ' G'", "terms endswith 'rose'", "terms endswith[c] 'ROSE'",
        "terms endswith ''", "terms beginswith ''", "'' beginswith terms", "'' endswith terms", "notes contains ''",
        "NOT (notes contains 'x')", "notes contains '%'", "notes contains '_'", "tag contains '\\\\'",
        "notes == 'line\\nbreak'", "tag ==[c] 'DONE'", "tag !=[c] 'done'", "tag >[c] 'DONE'",
        "itemType contains '3'", "itemType endswith 0", "lastModified contains '.'", "notes == tag", "terms > 'z'",
        "terms contains tag", "NOT (itemType > projectId)", "TRUEPREDICATE", "FALSEPREDICATE", "NOT TRUEPREDICATE",
        "", "  ", "!(itemType == 0) && tag == nil || itemType == 4",
    };
    // clang-format on
    for (const char* text : texts)
        agreedMatches(QString::fromUtf8(text));
    // A fraction of a second reads as SQLite writes a real, in memory as in SQL.
    EXPECT_EQ(agreedMatches("lastModified endswith '.5'"), QSet<int>({9}));
}

TEST_F(PredicateSqlTest, nullsFollowNsPredicateMeaning)
{
    EXPECT_EQ(agreedMatches("tag != 'done'"), QSet<int>({1, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(agreedMatches("tag == nil"), QSet<int>({1, 3, 6}));
    EXPECT_EQ(agreedMatches("NOT (terms contains 'rose')"), QSet<int>({1, 6, 7, 8, 9}));
    EXPECT_EQ(agreedMatches("itemType < 1"), QSet<int>({1}));
    EXPECT_EQ(agreedMatches("(itemType == 0 or (notes != nil AND notes != ''))"), QSet<int>({1, 3, 5, 7, 8, 9}));
}

TEST_F(PredicateSqlTest, integerColumnMatchesEveryNumericSpelling)
{
    EXPECT_EQ(agreedMatches("itemType == 0"), QSet<int>({1}));
    EXPECT_EQ(agreedMatches("itemType == 0.0"), QSet<int>({1}));
    EXPECT_EQ(agreedMatches("itemType == %@", {QVariant::fromValue(qint64(0))}), QSet<int>({1}));
    EXPECT_EQ(agreedMatches("itemType != %d", {0}), QSet<int>({2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(agreedMatches("itemType >= %f", {3.5}), QSet<int>({4, 7}));
    // A text compared with the column is the number it spells, with any digit, fraction or exponent.
    EXPECT_EQ(agreedMatches("itemType < '1.9'"), QSet<int>({1, 5}));
    EXPECT_EQ(agreedMatches("itemType < '2e0'"), QSet<int>({1, 5}));
    // And a whole number compared with a text column is the text it spells: "3", never "3.0".
    EXPECT_EQ(agreedMatches("tag == 3"), QSet<int>({8}));
}

TEST_F(PredicateSqlTest, caseInsensitiveFoldsOnlyAscii)
{
    EXPECT_EQ(agreedMatches("tag ==[c] 'DONE'"), QSet<int>({2, 4}));
    // SQLite's lower() folds ASCII only; memory must not fold É either, or the two would disagree.
    EXPECT_EQ(agreedMatches(QString::fromUtf8("terms contains[c] '\xc3\xa9lan'")), QSet<int>({7}));
}

TEST_F(PredicateSqlTest, argumentsAreBoundNeverParsed)
{
    EXPECT_EQ(agreedMatches("projectId == %@", {kInjection}), QSet<int>({8}));
    EXPECT_EQ(agreedMatches("tag == %@", {QVariant()}), QSet<int>({1, 3, 6}));
    EXPECT_EQ(agreedMatches("lastModified >= %@ AND lastModified < %@", {day(2, 1), day(4, 1)}), QSet<int>({2, 3}));
    EXPECT_EQ(agreedMatches("(projectId == %@) AND (itemType != %d) AND lastModified >= %@",
                            {QStringLiteral("A"), 0, day(3, 1)}),
              QSet<int>({3, 7}));
    // A date that is not valid is no date: it matches as nil, never as 0 (1 January 1970).
    EXPECT_EQ(agreedMatches("lastModified >= %@", {QDateTime()}), QSet<int>());
    EXPECT_EQ(agreedMatches("lastModified == %@", {QDateTime()}), QSet<int>({5, 6}));
    // Inside quotes a placeholder is text, and uses no argument.
    EXPECT_EQ(agreedMatches("notes == '%@' OR notes contains \"%d\" OR projectId == %@", {QStringLiteral("B")}),
              QSet<int>({4}));
}

TEST_F(PredicateSqlTest, longSearchStaysWithinSqliteExpressionDepth)
{
    QStringList clauses;
    for (int i = 0; i < 3000; ++i)
        clauses.append(i % 2 ? QStringLiteral("terms contains ' rose'") : QStringLiteral("itemType != 7"));
    EXPECT_EQ(agreedMatches(clauses.join(QStringLiteral(" and "))), QSet<int>({2, 3, 4, 5}));
    QString nested = QStringLiteral("itemType == 3");
    for (int i = 0; i < 130; ++i)
        nested = (i % 2 ? QStringLiteral("(%1)") : QStringLiteral("NOT NOT %1")).arg(nested);
    EXPECT_EQ(agreedMatches(nested), QSet<int>({2, 8}));
    QString alternating = QStringLiteral("tag == nil");
    for (int i = 0; i < 24; ++i)
        alternating = QStringLiteral("(itemType == %1 %2 (%3))").arg(i % 6).arg(i % 2 ? "and" : "or", alternating);
    agreedMatches(alternating);
}

TEST_F(PredicateSqlTest, unknownKeyFailsWithoutTouchingTheQuery)
{
    const Predicate predicate = Predicate::parse("itemType == 0 AND missing == 1");
    ASSERT_TRUE(predicate.isValid());
    QString sql = QStringLiteral("SELECT 1 WHERE ");
    QVariantList bindings{1};
    QString error;
    EXPECT_FALSE(predicate.toSql(m_entity, sql, bindings, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing")));
    EXPECT_EQ(sql, QStringLiteral("SELECT 1 WHERE "));
    EXPECT_EQ(bindings.size(), 1);
}

TEST(PredicateParseTest, malformedTextsAreInvalidNeverFatal)
{
    const QString texts[] = {
        "(",
        ")",
        "()",
        "itemType ==",
        "== 3",
        "itemType == 'abc",
        "'",
        "\"",
        "\\",
        "tag == 'a\\'",
        kInjection,
        "projectId == '" + kInjection + "'",
        "itemType == 0 AND",
        "AND itemType == 0",
        "itemType == 0 OR OR tag == nil",
        "itemType 0",
        "itemType == 0)",
        "((itemType == 0)",
        "tag contains[x] 'a'",
        "tag contains[c 'a'",
        "itemType == %@",
        "itemType == %q",
        "itemType # 3",
        "tag LIKE 'a*'",
        "tag == 'a' tag == 'b'",
        "itemType == 1 & 2",
        "itemType = = 3",
        "itemType == 1e",
        "t\u00e2g == 1",
        "NOT",
        "!",
        "tag == nil;",
        "tag == 'a'; DROP TABLE item; --",
        "1 == 1",
        "nil == nil",
        "'a' < 'b'",
        "itemType == -",
        "%K == 1",
        "itemType == 0 ||",
        "nil == ",
        "x.y == 1",
        QString(300, u'(') + "itemType == 0" + QString(300, u')'),
        QString(300, u'!') + "TRUEPREDICATE",
        "tag == '" + QString(PredicateParser::MaximumLength + 1, u'a') + "'",
    };
    for (const QString& text : texts) {
        const Predicate predicate = Predicate::parse(text);
        EXPECT_FALSE(predicate.isValid()) << text.left(80).toStdString();
        EXPECT_FALSE(predicate.isEmpty());
        EXPECT_FALSE(predicate.errorString().isEmpty());
        EXPECT_FALSE(predicate.evaluate([](const QString&) { return QVariant(); }));
        QString sql;
        QVariantList bindings;
        QString error;
        EXPECT_FALSE(predicate.toSql(itemEntity(), sql, bindings, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    // A sign and a point with no digit after them start no number: the reason names the sign.
    EXPECT_TRUE(Predicate::parse("itemType == +.").errorString().contains(QStringLiteral("unexpected character")));
}

TEST(PredicateParseTest, argumentsMustCoverEveryPlaceholder)
{
    EXPECT_FALSE(Predicate::parse("tag == %@ AND notes == %@", {QStringLiteral("a")}).isValid());
    EXPECT_FALSE(Predicate::parse("tag == %@", {QVariant(QStringList{QStringLiteral("a")})}).isValid());
    EXPECT_TRUE(Predicate::parse("tag == %@", {QStringLiteral("a"), QStringLiteral("extra")}).isValid());
    const Predicate byKey = Predicate::parse("%K == %@", {QStringLiteral("tag"), QStringLiteral("a")});
    EXPECT_TRUE(byKey.evaluate([](const QString& key) { return key == u"tag" ? QVariant("a") : QVariant(); }));
    EXPECT_FALSE(Predicate::parse("%K == 1", {QStringLiteral("tag == 1 OR tag")}).isValid());
}

TEST(PredicateParseTest, notBindsTighterThanAndTighterThanOr)
{
    QVariantMap object{{"a", 1}, {"b", 0}, {"c", 1}};
    auto valueOf = [&](const QString& key) {
        return object.value(key);
    };
    EXPECT_TRUE(Predicate::parse("a == 1 or b == 1 and c == 0").evaluate(valueOf));
    EXPECT_FALSE(Predicate::parse("(a == 1 or b == 1) and c == 0").evaluate(valueOf));
    EXPECT_TRUE(Predicate::parse("not a == 0 and b == 0").evaluate(valueOf));
    EXPECT_FALSE(Predicate::parse("not (a == 1 and b == 0)").evaluate(valueOf));
    EXPECT_TRUE(Predicate::parse("NOT b == 1 OR a == 0 AND c == 0").evaluate(valueOf));
}

TEST(PredicateParseTest, quotedTextKeepsEscapesAndKeywords)
{
    const Predicate predicate = Predicate::parse(R"(tag == 'it\'s "AND" \\ %@' OR notes == "tab\there")");
    ASSERT_TRUE(predicate.isValid()) << predicate.errorString().toStdString();
    EXPECT_TRUE(predicate.evaluate([](const QString& key) {
        return key == u"tag" ? QVariant(QStringLiteral("it's \"AND\" \\ %@")) : QVariant();
    }));
    EXPECT_TRUE(predicate.evaluate(
        [](const QString& key) { return key == u"notes" ? QVariant(QStringLiteral("tab\there")) : QVariant(); }));
}

TEST(PredicateParseTest, blankTextIsTheEmptyPredicate)
{
    for (const QString& text : {QString(), QStringLiteral("   \n\t")}) {
        const Predicate predicate = Predicate::parse(text);
        EXPECT_TRUE(predicate.isValid());
        EXPECT_TRUE(predicate.isEmpty());
        EXPECT_TRUE(predicate.evaluate([](const QString&) { return QVariant(); }));
    }
    EXPECT_TRUE(Predicate().isEmpty());
}

TEST(StoreValueTest, ordersLikeSqlite)
{
    const QVariant ordered[] = {QVariant(),
                                QVariant(-2.5),
                                QVariant::fromValue(qint64(1)),
                                QVariant(true),
                                QVariant(1.5),
                                QVariant(QStringLiteral("")),
                                QVariant("B"),
                                QVariant("a"),
                                QVariant(QString::fromUtf8("\xef\xbf\xbd")),
                                QVariant(QString::fromUtf8("\xf0\x9f\x98\x80")),
                                QVariant(QByteArray("\x00", 1))};
    for (size_t i = 0; i + 1 < std::size(ordered); ++i) {
        EXPECT_LE(StoreValue::compare(ordered[i], ordered[i + 1]), 0) << i;
        EXPECT_GE(StoreValue::compare(ordered[i + 1], ordered[i]), 0) << i;
    }
    EXPECT_GT(StoreValue::compare(QString::fromUtf8("\xf0\x9f\x98\x80"), QString::fromUtf8("\xef\xbf\xbd")), 0)
        << "text sorts by code point, as SQLite's UTF-8 comparison does";
    EXPECT_TRUE(StoreValue::equals(3, 3.0));
    EXPECT_TRUE(StoreValue::equals(QVariant(), QVariant()));
    EXPECT_FALSE(StoreValue::equals(QVariant(), 0));
    EXPECT_FALSE(StoreValue::equals(QStringLiteral("3"), 3));
    EXPECT_EQ(StoreValue::compare(day(1, 1), StoreValue::toSql(day(1, 1))), 0);
    EXPECT_EQ(StoreValue::toSql(day(1, 1)).toDouble(), day(1, 1).toSecsSinceEpoch());
    EXPECT_EQ(StoreValue::toSql(true), QVariant::fromValue(qint64(1)));
    // A date that is not valid is stored and sorted as no date, before even 1 January 1970.
    EXPECT_FALSE(StoreValue::toSql(QDateTime()).isValid());
    EXPECT_TRUE(StoreValue::equals(QDateTime(), QVariant()));
    EXPECT_LT(StoreValue::compare(QDateTime(), QDateTime::fromSecsSinceEpoch(0, QTimeZone::utc())), 0);
    EXPECT_TRUE(StoreValue::equals(QVariant::fromValue(nullptr), QVariant())) << "a null pointer is nil";
    EXPECT_FALSE(StoreValue::toSql(QVariant::fromValue(nullptr)).isValid());
    // Beyond a double's 53 bits, negative integers still compare exactly.
    const qint64 large = -(qint64(1) << 60);
    EXPECT_GT(StoreValue::compare(QVariant::fromValue(large), QVariant::fromValue(large - 1)), 0);
}

TEST(StoreValueTest, attributeTakesNilOfEveryKindAsNilAndAnIntegerWithEveryDigit)
{
    // A JSON null, a typed null and the null texts, bytes and dates all mean nil, whatever the attribute's type.
    const QVariant nils[] = {
        QVariant(),          QVariant::fromValue(nullptr), QVariant(QMetaType::fromType<int>(), nullptr),
        QVariant(QString()), QVariant(QByteArray()),       QVariant(QDateTime())};
    for (const AttributeType type : {AttributeType::String, AttributeType::Integer, AttributeType::Double,
                                     AttributeType::Boolean, AttributeType::Date, AttributeType::Binary}) {
        for (size_t i = 0; i < std::size(nils); ++i)
            EXPECT_FALSE(AttributeDescription(QStringLiteral("a"), type).coerce(nils[i]).isValid())
                << "type " << int(type) << ", nil " << i;
    }
    const AttributeDescription integer(QStringLiteral("n"), AttributeType::Integer);
    const qint64 beyondADouble = (qint64(1) << 53) + 1;
    EXPECT_EQ(integer.coerce(QVariant::fromValue(beyondADouble)), QVariant::fromValue(beyondADouble));
    EXPECT_EQ(integer.coerce(QStringLiteral("7.0")), QVariant::fromValue(qint64(7)));
    EXPECT_FALSE(integer.coerce(QStringLiteral("seven")).isValid());
}

} // namespace

namespace {

QString nestedInParens(int levels)
{
    return QString(levels, u'(') + QStringLiteral("itemType == 1") + QString(levels, u')');
}

QString negated(int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += QStringLiteral("NOT ");
    return text + QStringLiteral("itemType == 1");
}

// A comparison with a quoted text, padded to exactly length characters.
QString ofLength(qsizetype length)
{
    const QString head = QStringLiteral("tag == '");
    return head + QString(length - head.size() - 1, u'x') + u'\'';
}

} // namespace

TEST(PredicateLimitsTest, nestingExactlyAtTheDepthLimitParsesAndOneLevelMoreDoesNot)
{
    EXPECT_TRUE(Predicate::parse(nestedInParens(PredicateParser::MaximumDepth)).isValid());
    EXPECT_FALSE(Predicate::parse(nestedInParens(PredicateParser::MaximumDepth + 1)).isValid());
    EXPECT_TRUE(Predicate::parse(negated(PredicateParser::MaximumDepth)).isValid());
    EXPECT_FALSE(Predicate::parse(negated(PredicateParser::MaximumDepth + 1)).isValid());
}

TEST(PredicateLimitsTest, textExactlyAtTheLengthLimitParsesAndOneCharacterMoreDoesNot)
{
    const QString atLimit = ofLength(PredicateParser::MaximumLength);
    ASSERT_EQ(atLimit.size(), PredicateParser::MaximumLength);
    const Predicate parsed = Predicate::parse(atLimit);
    EXPECT_TRUE(parsed.isValid()) << parsed.errorString().toStdString();
    EXPECT_FALSE(Predicate::parse(ofLength(PredicateParser::MaximumLength + 1)).isValid());
}
