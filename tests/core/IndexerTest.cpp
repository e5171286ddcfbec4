#include "core/Indexer.h"

#include "platform/store/Predicate.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(IndexerTest, roseGardenExample)
{
    const QString terms = Indexer::terms({QStringLiteral("The Rose\u2014garden"), QStringLiteral("rose!")});
    EXPECT_EQ(terms, QStringLiteral(" rose garden"));
    EXPECT_EQ(Indexer().termsFrom({QStringLiteral("The Rose\u2014garden"), QStringLiteral("rose!")}), terms);
}

TEST(IndexerTest, termRules)
{
    EXPECT_EQ(Indexer::terms({QStringLiteral("a b ox")}), QStringLiteral(" ox"));
    EXPECT_EQ(Indexer::terms({QStringLiteral("the and of don't")}), QStringLiteral(" "));
    EXPECT_EQ(Indexer::terms({}), QStringLiteral(" "));
    EXPECT_EQ(Indexer::terms({QStringLiteral("...hello...")}), QStringLiteral(" hello"));
    // A typographic apostrophe is not the stop word's.
    EXPECT_EQ(Indexer::terms({QStringLiteral("Don\u2019t")}), QStringLiteral(" don\u2019t"));
    EXPECT_EQ(Indexer::terms({QStringLiteral("\"!!\" --")}), QStringLiteral(" "));
    // One user-perceived character written with two units is not a term.
    EXPECT_EQ(Indexer::terms({QStringLiteral("e\u0301 \U0001F600 x\u0301y")}), QStringLiteral(" x\u0301y"));
    EXPECT_EQ(Indexer::terms({QStringLiteral("Line\nbreak\ttab")}), QStringLiteral(" line break tab"));
}

TEST(IndexerTest, onlyTheEmDashSplitsAWordAndItsPiecesHaveNoMinimumLength)
{
    EXPECT_EQ(Indexer::terms({QStringLiteral("one\u2014two")}), QStringLiteral(" one two"));
    EXPECT_EQ(Indexer::terms({QStringLiteral("x\u2014y")}), QStringLiteral(" x y"));
    EXPECT_EQ(Indexer::terms({QStringLiteral("one\u2014\u2014two\u2014one")}), QStringLiteral(" one two"));
    // An inner ellipsis is punctuation kept inside the word; only the ends are stripped.
    EXPECT_EQ(Indexer::terms({QStringLiteral("wait\u2026what")}), QStringLiteral(" wait\u2026what"));
    EXPECT_EQ(Indexer::terms({QStringLiteral("wait\u2026")}), QStringLiteral(" wait"));
    // Two characters make a term, one does not, counted before punctuation is stripped.
    EXPECT_EQ(Indexer::terms({QStringLiteral("x.")}), QStringLiteral(" x"));
}

TEST(IndexerTest, stopWordsAreTheFixedList)
{
    const Indexer indexer;
    const QStringList& words = indexer.enStopWords();
    ASSERT_EQ(words.size(), 182);
    EXPECT_EQ(words.first(), QStringLiteral("a"));
    EXPECT_EQ(words.last(), QStringLiteral("would"));
    EXPECT_EQ(words.at(12), QStringLiteral("aren't"));
}

TEST(IndexerTest, predicateClausesJoinWithAnd)
{
    EXPECT_EQ(Indexer::predicate(QStringLiteral("terms"), QStringLiteral("Rose")),
              QStringLiteral("terms contains \" rose\""));
    EXPECT_EQ(Indexer::predicateFor(QStringLiteral("terms"), QStringLiteral(" Rose  garden ")),
              QStringLiteral("terms contains \" rose\" and terms contains \" garden\""));
    EXPECT_EQ(Indexer::predicate(QStringLiteral("terms"), QString()), QString());
    EXPECT_EQ(Indexer::predicate(QStringLiteral("terms"), QStringLiteral(" \t ")), QString());
}

TEST(IndexerTest, hostileQueryStaysOneLiteralPerWord)
{
    for (const QString& query : {QStringLiteral("o'neil"), QStringLiteral("\""), QStringLiteral("\\"),
                                 QStringLiteral("x\" OR itemType != \"z"), QStringLiteral("a\\\" OR 1==1 OR \"")}) {
        const QString text = Indexer::predicate(QStringLiteral("terms"), query);
        const Predicate predicate = Predicate::parse(text);
        ASSERT_TRUE(predicate.isValid()) << text.toStdString() << ": " << predicate.errorString().toStdString();
        // The term string of another card never matches the injected alternatives.
        const auto other = [](const QString& key) -> QVariant {
            if (key == QStringLiteral("terms"))
                return QStringLiteral(" unrelated");
            return QVariant(qint64(1));
        };
        EXPECT_FALSE(predicate.evaluate(other)) << text.toStdString();
    }
    const Predicate quoted = Predicate::parse(Indexer::predicate(QStringLiteral("terms"), QStringLiteral("O'Neil")));
    const auto card = [](const QString&) -> QVariant {
        return QStringLiteral(" o'neil garden");
    };
    EXPECT_TRUE(quoted.evaluate(card));
}

TEST(IndexerTest, highlightPatternEscapesWordsAndKeepsGroupOne)
{
    EXPECT_EQ(Indexer::regex(QStringLiteral("Rose garden")), QStringLiteral("(?:^|\\s|\\p{P})(Rose|garden)"));
    EXPECT_EQ(Indexer::regexWith(QString()), QStringLiteral("(?:^|\\s|\\p{P})()"));

    const QRegularExpression pattern(Indexer::regex(QStringLiteral("c++ (a")),
                                     QRegularExpression::CaseInsensitiveOption);
    ASSERT_TRUE(pattern.isValid()) << pattern.errorString().toStdString();
    const QRegularExpressionMatch match = pattern.match(QStringLiteral("learn \"C++ today"));
    ASSERT_TRUE(match.hasMatch());
    EXPECT_EQ(match.captured(1), QStringLiteral("C++"));
    EXPECT_TRUE(pattern.match(QStringLiteral("x (a)")).hasMatch());
    EXPECT_FALSE(pattern.match(QStringLiteral("cxx")).hasMatch());
}

TEST(IndexerTest, keptTermsFollowTheTextsAsTheyStandAndNoneRepeats)
{
    // Terms already made, a one-letter em-dash piece among them, are neither made again nor dropped.
    EXPECT_EQ(Indexer::termsKeeping({QStringLiteral("Harbour Lamp")}, QStringLiteral(" lighthouse x lamp")),
              QStringLiteral(" harbour lamp lighthouse x"));
    EXPECT_EQ(Indexer::termsKeeping({QStringLiteral("The")}, QStringLiteral(" ")), QStringLiteral(" "));
    EXPECT_EQ(Indexer::termsKeeping({}, QStringLiteral(" gull")), QStringLiteral(" gull"));
}
