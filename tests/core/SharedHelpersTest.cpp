#include "core/SharedHelpers.h"
#include "core/Helpers.h"

#include <QFont>
#include <QFontMetricsF>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <gtest/gtest.h>

namespace {

const QString Emoji = QStringLiteral("\U0001F600");

bool endsWithLoneHighSurrogate(const QString& text)
{
    const qsizetype dots = text.endsWith(QStringLiteral("...")) ? 3 : 0;
    const qsizetype last = text.size() - dots - 1;
    return last >= 0 && text.at(last).isHighSurrogate();
}

} // namespace

TEST(SharedHelpersTest, countWordsFollowsWordBreakRules)
{
    EXPECT_EQ(SharedHelpers::countWords(QString()), 0);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("well-known")), 2);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("3.14")), 2);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("rock,paper")), 1);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("&")), 0);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("--")), 0);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("one,  two")), 2);
    EXPECT_EQ(SharedHelpers::countWords(QString(QChar(0x2014))), 0);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("e-mail")), 2);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("wait\u2026what;now:ok")), 4);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("\u00e9t\u00e9 \u0416\u0443\u043a \u4e2d\u6587")), 3);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("line\none\r\ntwo\u2029three")), 4);
}

TEST(SharedHelpersTest, emDashAndEllipsisBetweenWordsSplitThem)
{
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("one\u2014two")), 2);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("wait\u2026what")), 2);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("wait\u2026")), 1);
    // The en dash and the comma are no word breaks.
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("one\u2013two")), 1);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("one,two")), 1);
    // A word at the very end is counted, and a break at the very start counts nothing.
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("\u2014a")), 1);
    EXPECT_EQ(SharedHelpers::countWords(QStringLiteral("a")), 1);
}

TEST(SharedHelpersTest, countWordsInAttributedStringCountsPlainText)
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("First paragraph.\nSecond one here"));
    EXPECT_EQ(SharedHelpers::countWordsInAttributedString(&document), 5);
    EXPECT_EQ(SharedHelpers::countWordsInAttributedString(static_cast<const QTextDocument*>(nullptr)), 0);
}

TEST(SharedHelpersTest, attachmentOnlyTextIsEmptyAndGetsUntitledTitle)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextImageFormat image;
    image.setName(QStringLiteral("picture.png"));
    cursor.insertImage(image);
    const QString plain = document.toPlainText();
    ASSERT_EQ(plain, QString(QChar(0xFFFC)));
    EXPECT_TRUE(SharedHelpers::isEmptyString(plain));
    EXPECT_TRUE(SharedHelpers::isEmptyString(QStringLiteral(" \t\n\u00a0")));
    EXPECT_FALSE(SharedHelpers::isEmptyString(QStringLiteral("  x ")));
    EXPECT_EQ(SharedHelpers::getTitle(plain, QStringLiteral("Old"), QStringLiteral("Untitled Story Card")),
              QStringLiteral("Untitled Story Card"));
    EXPECT_EQ(SharedHelpers::getTitle(QString(), QStringLiteral("Old"), QStringLiteral("Untitled")),
              QStringLiteral("Old"));
    EXPECT_EQ(SharedHelpers::getTitle(QStringLiteral("\n\nA day\tout"), QStringLiteral("Old"), QStringLiteral("U")),
              QStringLiteral("A day out"));
}

TEST(SharedHelpersTest, summaryCutsAtRequestedSize)
{
    const QString letters(600, u'a');
    const QString summary = SharedHelpers::getSummary(letters, SharedHelpers::SummarySize);
    EXPECT_EQ(summary, QString(509, u'a') + QStringLiteral("..."));
    EXPECT_EQ(SharedHelpers::getSummary(QString(128, u'b'), SharedHelpers::TitleSize), QString(128, u'b'));
    EXPECT_EQ(SharedHelpers::getSummary(QString(129, u'b'), SharedHelpers::TitleSize).size(), 128);
    EXPECT_EQ(SharedHelpers::getSummary(QStringLiteral("\r\n\nStart"), 128), QStringLiteral("Start"));
    // The doubled-blank pass runs once: three blanks become two.
    EXPECT_EQ(SharedHelpers::getSummary(QStringLiteral("a   b\r\nc\td"), 128), QStringLiteral("a  b c d"));
    EXPECT_EQ(SharedHelpers::getSummary(QString(), 128), QString());
}

TEST(SharedHelpersTest, summaryNeverSplitsSurrogatePairOrGoesOutOfRange)
{
    // The pair straddles the cut at 125 units.
    const QString text = QString(124, u'a') + Emoji + QString(20, u'b');
    const QString summary = SharedHelpers::getSummary(text, SharedHelpers::TitleSize);
    EXPECT_FALSE(endsWithLoneHighSurrogate(summary));
    EXPECT_EQ(summary, QString(124, u'a') + QStringLiteral("..."));
    for (int size : {-5, 0, 1, 2, 3})
        EXPECT_EQ(SharedHelpers::getSummary(QStringLiteral("abcdef"), size), QStringLiteral("...")) << size;
}

TEST(SharedHelpersTest, trimmedTitleCutsAtFortyUnitsWithoutSplittingPairs)
{
    EXPECT_EQ(Helpers::getTrimmedTitle(QString(40, u't')), QString(40, u't'));
    EXPECT_EQ(Helpers::getTrimmedTitle(QString(41, u't')), QString(40, u't') + QStringLiteral("..."));
    const QString paired = QString(39, u't') + Emoji + QStringLiteral("tail");
    const QString trimmed = Helpers::getTrimmedTitle(paired);
    EXPECT_FALSE(endsWithLoneHighSurrogate(trimmed));
    EXPECT_EQ(trimmed, QString(39, u't') + QStringLiteral("..."));
}

TEST(SharedHelpersTest, trimStringToWidthFitsAndTerminates)
{
    const QFont font(QStringLiteral("Helvetica"), 12);
    const QFontMetricsF metrics(font);
    const QString text = QStringLiteral("A rather long title for a print header that will not fit");
    EXPECT_EQ(Helpers::trimStringToWidth(text, 10000, font, true), text);

    const qreal width = metrics.horizontalAdvance(QStringLiteral("A rather long title"));
    const QString cut = Helpers::trimStringToWidth(text, width, font, true);
    EXPECT_TRUE(cut.endsWith(QStringLiteral("...")));
    EXPECT_LE(metrics.horizontalAdvance(cut), width);
    EXPECT_TRUE(text.startsWith(cut.chopped(3)));
    // Only one more unit would not fit.
    EXPECT_GT(metrics.horizontalAdvance(text.left(cut.size() - 3 + 1) + QStringLiteral("...")), width);

    EXPECT_EQ(Helpers::trimStringToWidth(QStringLiteral("ab"), 0.5, font, true), QStringLiteral("..."));
    EXPECT_EQ(Helpers::trimStringToWidth(text, -1, font, true), QStringLiteral("..."));
    // A text cut at its front still holds the dropped unit just before its first one; a cut to nothing must not
    // read it, or a high surrogate there would keep the whole text.
    QString cutAtFront = Emoji.left(1) + text;
    cutAtFront.remove(0, 1);
    EXPECT_EQ(Helpers::trimStringToWidth(cutAtFront, -1, font, true), QStringLiteral("..."));
    const QString emoji = QString(30, u'x') + Emoji + Emoji + Emoji;
    for (qreal w = 1; w < metrics.horizontalAdvance(emoji); w += 7)
        EXPECT_FALSE(endsWithLoneHighSurrogate(Helpers::trimStringToWidth(emoji, w, font, true))) << w;
}

TEST(SharedHelpersTest, sanitizeFileNameNeverEmpty)
{
    EXPECT_EQ(Helpers::sanitizeFileNameString(QStringLiteral("Act/One ")), QStringLiteral("ActOne"));
    EXPECT_EQ(Helpers::sanitizeFileNameString(QStringLiteral("a:b\\c?d%e*f|g\"h<i>j")), QStringLiteral("a:bcdefghij"));
    EXPECT_EQ(Helpers::sanitizeFileNameString(QStringLiteral(" /?* ")), Helpers::UntitledFileName);
    EXPECT_EQ(Helpers::sanitizeFileNameString(QString()), QStringLiteral("Untitled"));
}

TEST(SharedHelpersTest, escapeForXMLEscapesAmpersandOnce)
{
    EXPECT_EQ(Helpers::escapeForXML(QStringLiteral("<a & 'b'>\"")),
              QStringLiteral("&lt;a &amp; &apos;b&apos;&gt;&quot;"));
    EXPECT_EQ(Helpers::escapeForXML(QString()), QStringLiteral(""));
    EXPECT_FALSE(Helpers::escapeForXML(QString()).isNull());
}

TEST(SharedHelpersTest, lineEndingsAndRtfScrubbing)
{
    EXPECT_EQ(Helpers::lineEndingsFromApple(QStringLiteral("a\r\nb\rc\n\r\n")), QStringLiteral("a\nb\nc\n\n"));
    EXPECT_EQ(Helpers::scrubRtf(QStringLiteral("{\\pard\\ri-120\\li20 x\\RI40\\par\\rin}")),
              QStringLiteral("{\\pard\\li20 x\\par\\rin}"));
}

TEST(SharedHelpersTest, reverseArrayCopies)
{
    const QList<int> values{1, 2, 3};
    EXPECT_EQ(SharedHelpers::reverseArray(values), (QList<int>{3, 2, 1}));
    EXPECT_TRUE(SharedHelpers::reverseArray(QList<int>()).isEmpty());
}
