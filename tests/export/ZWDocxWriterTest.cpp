#include "export/ZWDocxWriter.h"

#include "SampleDocument.h"
#include "richtext/CheckboxImages.h"
#include "richtext/CheckboxTextObject.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

QString documentXml(const QTextDocument& document)
{
    ZWDocxWriter writer(document);
    return QString::fromUtf8(writer.buildDocument());
}

// The names of the elements inside "w:body", in document order, each prefixed by its depth below the body.
QStringList bodyOutline(const QString& xml)
{
    QStringList outline;
    QXmlStreamReader reader(xml);
    int depth = -1;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (depth >= 0)
                outline << QStringLiteral("%1%2").arg(QString(depth, QLatin1Char(' ')), reader.qualifiedName());
            if (reader.qualifiedName() == QLatin1String("w:body") || depth >= 0)
                ++depth;
        } else if (reader.isEndElement() && depth >= 0) {
            --depth;
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return outline;
}

int countOf(const QString& xml, const QString& needle)
{
    return int(xml.count(needle));
}

} // namespace

TEST(ZWDocxWriterTest, aTrailingLineBreakFormsNoParagraphAndEmptyParagraphsHaveNoRunAndNoAlignment)
{
    EXPECT_EQ(countOf(documentXml(*SampleDocument::text(QStringLiteral("one\ntwo"))), QStringLiteral("<w:p ")), 2);
    EXPECT_EQ(countOf(documentXml(*SampleDocument::text(QStringLiteral("line\n"))), QStringLiteral("<w:p ")), 1);
    const QString blank = documentXml(*SampleDocument::text(QStringLiteral("\n\n")));
    EXPECT_EQ(countOf(blank, QStringLiteral("<w:p ")), 2);
    EXPECT_EQ(countOf(blank, QStringLiteral("<w:r ")), 0);
    EXPECT_EQ(countOf(blank, QStringLiteral("<w:jc")), 0);
}

TEST(ZWDocxWriterTest, halfPointsRoundAndEmphasisIsKept)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("heading"), SampleDocument::plain(17.5));
    // A quarter point is half a half-point: it rounds away from zero, up to the next half-point.
    cursor.insertText(QStringLiteral("quarter"), SampleDocument::plain(10.25));
    cursor.insertText(QStringLiteral("three quarters"), SampleDocument::plain(10.75));
    QTextCharFormat both = SampleDocument::bold();
    both.setFontItalic(true);
    both.setFontUnderline(true);
    both.setForeground(QColor(0x12, 0xAB, 0xEF));
    cursor.insertText(QStringLiteral("strong"), both);
    const QString xml = documentXml(*document);
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:sz w:val=\"35\"/>"))) << "17.5 points is 35 half-points";
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:sz w:val=\"21\"/>"))) << "10.25 points is 20.5 half-points, so 21";
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:sz w:val=\"22\"/>"))) << "10.75 points is 21.5 half-points, so 22";
    EXPECT_FALSE(xml.contains(QStringLiteral("<w:sz w:val=\"20\"/>"))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:sz w:val=\"28\"/><w:b w:val=\"1\"/><w:i w:val=\"1\"/>"
                                            "<w:u w:val=\"single\"/><w:color w:val=\"12ABEF\"/>")))
        << xml.toStdString();
}

TEST(ZWDocxWriterTest, tabsAndLineSeparatorsBecomeElementsAndTextIsEscapedOnce)
{
    const QString text = QStringLiteral("a\tb") + QChar(0x2028) + QStringLiteral("c & <d> &amp;");
    const QString xml = documentXml(*SampleDocument::text(text));
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:t xml:space=\"preserve\">a</w:t><w:tab/>"
                                            "<w:t xml:space=\"preserve\">b</w:t><w:br/>"
                                            "<w:t xml:space=\"preserve\">c &amp; &lt;d&gt; &amp;amp;</w:t>")))
        << xml.toStdString();
}

TEST(ZWDocxWriterTest, oneForbiddenCharacterNeverEmptiesAParagraph)
{
    const QString text = QStringLiteral("keep") + QChar(0x0B) + QChar(0x01) + QStringLiteral(" this") + QChar(0xFFFF) +
                         QStringLiteral(" text") + QChar(0xDC00);
    const QString xml = documentXml(*SampleDocument::text(text));
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("keep</w:t><w:br/><w:t xml:space=\"preserve\"> this text</w:t>")))
        << xml.toStdString();
}

TEST(ZWDocxWriterTest, eachPictureIsADrawingInItsOwnRunWithMatchingRelationship)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    const QImage shared = SampleDocument::picture(Qt::red);
    cursor.insertText(QStringLiteral("text _KUV_Encoded_Image1_ "), SampleDocument::plain());
    SampleDocument::insertPicture(cursor, shared, QSizeF(100, 50));
    SampleDocument::insertPicture(cursor, shared, QSizeF(10.9, 20));
    cursor.insertText(QStringLiteral(" more"), SampleDocument::plain());
    ZWDocxWriter writer(*document);
    const QString xml = QString::fromUtf8(writer.buildDocument());
    ASSERT_EQ(writer.media().size(), 2);
    EXPECT_EQ(writer.media().at(1).fileName, QStringLiteral("image2.png"));
    const QStringList outline = bodyOutline(xml);
    EXPECT_EQ(outline.filter(QRegularExpression(QStringLiteral("^ w:r$"))).size(), 4)
        << "text, picture, picture, text: four runs";
    // A picture's run has its character's properties too: what is typed beside it keeps the writer's font.
    for (qsizetype i = 0; i < outline.size(); ++i) {
        if (outline.at(i) == QLatin1String("  w:drawing")) {
            EXPECT_EQ(outline.mid(i - 4, 4).join(QLatin1Char('|')), QStringLiteral(" w:r|  w:rPr|   w:rFonts|   w:sz"));
        }
    }
    EXPECT_EQ(outline.count(QStringLiteral("  w:drawing")), 2);
    EXPECT_TRUE(xml.contains(QStringLiteral("text _KUV_Encoded_Image1_ </w:t>"))) << "a writer's text stays text";
    EXPECT_TRUE(xml.contains(QStringLiteral("<wp:extent cx=\"1270000\" cy=\"635000\"/>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<a:ext cx=\"1270000\" cy=\"635000\"/>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<wp:extent cx=\"127000\" cy=\"254000\"/>"))) << "10.9 points count as 10";
    EXPECT_TRUE(xml.contains(QStringLiteral("<wp:docPr id=\"2\" name=\"image2.png\"/>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<a:blip r:embed=\"rId2\"/>")));
    EXPECT_EQ(countOf(xml, QStringLiteral("<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom>")), 2);
    const QString rels = QString::fromUtf8(writer.buildDocRelationships());
    EXPECT_TRUE(rels.contains(QStringLiteral("Id=\"rId2\"")) &&
                rels.contains(QStringLiteral("Target=\"media/image2.png\"")))
        << rels.toStdString();
    const QString types = QString::fromUtf8(writer.buildContentTypes());
    EXPECT_EQ(countOf(types, QStringLiteral("<Override")), 3);
}

TEST(ZWDocxWriterTest, checkboxesGoInAsTheirPicturesTickedOrNotInTheAppearanceTheyWereMadeIn)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("tasks: "), SampleDocument::plain());
    SampleDocument::insertCheckbox(cursor, true);
    cursor.insertText(QStringLiteral(" done "), SampleDocument::plain());
    SampleDocument::insertCheckbox(cursor, false, true);
    SampleDocument::insertCheckbox(cursor, false);
    ZWDocxWriter writer(*document);
    const QString xml = QString::fromUtf8(writer.buildDocument());
    ASSERT_EQ(writer.media().size(), 3) << xml.toStdString();
    EXPECT_EQ(writer.media().at(0).image, CheckboxImages::imageNamed(CheckboxImages::CheckedName));
    EXPECT_EQ(writer.media().at(1).image, CheckboxImages::imageNamed(CheckboxImages::UncheckedDarkName));
    EXPECT_EQ(writer.media().at(2).image, CheckboxImages::imageNamed(CheckboxImages::UncheckedName));
    EXPECT_EQ(bodyOutline(xml).count(QStringLiteral("  w:drawing")), 3);
    EXPECT_TRUE(xml.contains(QStringLiteral(">tasks: </w:t>")) && xml.contains(QStringLiteral("> done </w:t>")));
    EXPECT_FALSE(xml.contains(QChar(QChar::ObjectReplacementCharacter)));
    // Text that came to carry a box's format stays text around its boxes.
    auto carried = SampleDocument::empty();
    QTextCursor carriedCursor(carried.get());
    QTextCharFormat boxFormat = SampleDocument::plain();
    boxFormat.merge(QJCheckboxAttachment().format());
    const QString boxes(2, QChar::ObjectReplacementCharacter);
    carriedCursor.insertText(QStringLiteral("ab") + boxes + QStringLiteral("c"), boxFormat);
    ZWDocxWriter carriedWriter(*carried);
    const QString carriedXml = QString::fromUtf8(carriedWriter.buildDocument());
    EXPECT_EQ(carriedWriter.media().size(), 2);
    EXPECT_TRUE(carriedXml.contains(QStringLiteral(">ab</w:t>")) && carriedXml.contains(QStringLiteral(">c</w:t>")))
        << carriedXml.toStdString();
    EXPECT_EQ(bodyOutline(carriedXml).filter(QRegularExpression(QStringLiteral("^ w:r$"))).size(), 4)
        << "text, box, box, text";

    // A box is square and as large as the text draws it.
    const QRegularExpression extent(QStringLiteral("<wp:extent cx=\"(\\d+)\" cy=\"(\\d+)\"/>"));
    const QRegularExpressionMatch box = extent.match(xml);
    ASSERT_TRUE(box.hasMatch());
    const qint64 side = box.captured(1).toLongLong();
    EXPECT_EQ(box.captured(2).toLongLong(), side);
    QTextCursor first(document.get());
    first.setPosition(QStringLiteral("tasks: ").size() + 1);
    const QSizeF shown = CheckboxTextObject().intrinsicSize(document.get(), first.position() - 1, first.charFormat());
    ASSERT_GT(shown.width(), 0);
    EXPECT_EQ(side, ZWDocxWriter::pointsToEmus(shown.width()));
}

TEST(ZWDocxWriterTest, aPictureGivenOnlyAWidthKeepsItsProportions)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    SampleDocument::insertPicture(cursor, SampleDocument::picture(Qt::red, 40, 20), QSizeF(100, 0));
    const QString xml = documentXml(*document);
    EXPECT_TRUE(xml.contains(QStringLiteral("<wp:extent cx=\"1270000\" cy=\"635000\"/>"))) << xml.toStdString();
}

TEST(ZWDocxWriterTest, aTextWithoutPicturesHasTwoOverridesAndThePngDefault)
{
    auto document = SampleDocument::text(QStringLiteral("plain"));
    ZWDocxWriter writer(*document);
    writer.buildDocument();
    const QString types = QString::fromUtf8(writer.buildContentTypes());
    EXPECT_EQ(countOf(types, QStringLiteral("<Override")), 2);
    EXPECT_TRUE(types.contains(QStringLiteral("<Default Extension=\"PNG\" ContentType=\"image/png\"/>")));
    EXPECT_TRUE(writer.media().isEmpty());
}

TEST(ZWDocxWriterTest, alignmentComesFromTheParagraph)
{
    auto document = SampleDocument::text(QStringLiteral("centred\nright\njustified\nleft"));
    const Qt::Alignment alignments[] = {Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify, Qt::AlignLeft};
    QTextBlock block = document->firstBlock();
    for (Qt::Alignment alignment : alignments) {
        QTextCursor cursor(block);
        QTextBlockFormat format;
        format.setAlignment(alignment);
        cursor.setBlockFormat(format);
        block = block.next();
    }
    const QString xml = documentXml(*document);
    QStringList values;
    QRegularExpression jc(QStringLiteral("<w:jc w:val=\"(\\w+)\"/>"));
    for (auto it = jc.globalMatch(xml); it.hasNext();)
        values << it.next().captured(1);
    EXPECT_EQ(values, (QStringList{QStringLiteral("center"), QStringLiteral("right"), QStringLiteral("both"),
                                   QStringLiteral("left")}));
}

TEST(ZWDocxWriterTest, aWriterBuiltTwiceNumbersItsPicturesFromOneAgain)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    SampleDocument::insertPicture(cursor, SampleDocument::picture(Qt::red), QSizeF(40, 20));
    ZWDocxWriter writer(*document);
    writer.buildDocument();
    const QString xml = QString::fromUtf8(writer.buildDocument());
    ASSERT_EQ(writer.media().size(), 1);
    EXPECT_TRUE(xml.contains(QStringLiteral("<a:blip r:embed=\"rId1\"/>"))) << xml.toStdString();
    EXPECT_EQ(countOf(QString::fromUtf8(writer.buildDocRelationships()), QStringLiteral("<Relationship ")), 1);
}

TEST(ZWDocxWriterTest, theBodyEndsWithALetterPageWithInchMargins)
{
    const QString xml = documentXml(*SampleDocument::text(QStringLiteral("one")));
    const QStringList outline = bodyOutline(xml);
    ASSERT_FALSE(outline.isEmpty());
    EXPECT_EQ(outline.mid(outline.lastIndexOf(QStringLiteral("w:sectPr"))),
              (QStringList{QStringLiteral("w:sectPr"), QStringLiteral(" w:pgSz"), QStringLiteral(" w:pgMar"),
                           QStringLiteral(" w:cols"), QStringLiteral(" w:docGrid")}));
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:pgSz w:w=\"12240\" w:h=\"15840\"/>"))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:pgMar w:top=\"1440\" w:right=\"1440\" w:bottom=\"1440\" "
                                            "w:left=\"1440\" w:header=\"720\" w:footer=\"720\"/>")))
        << xml.toStdString();
}

TEST(ZWDocxWriterTest, aPictureWithoutASizeOfItsOwnIsAsLargeAsItsImage)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    SampleDocument::insertPicture(cursor, SampleDocument::picture(Qt::red, 40, 20));
    const QString xml = documentXml(*document);
    EXPECT_TRUE(xml.contains(QStringLiteral("<wp:extent cx=\"508000\" cy=\"254000\"/>"))) << xml.toStdString();
}
