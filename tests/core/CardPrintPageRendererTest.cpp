#include "core/CardPrintPageRenderer.h"
#include "core/AlignedTextDrawing.h"

#include "PdfPrinting.h"
#include "RequiredTools.h"
#include "TestWait.h"
#include "core/Fonts.h"
#include "core/Helpers.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The box of every pixel that is not white.
QRect inkOf(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// A white page at 72 dots per inch, where one pixel is one point.
QImage pageOfPoints(const QSize& size)
{
    QImage page(size, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(72 / 0.0254);
    page.setDotsPerMeterX(dotsPerMeter);
    page.setDotsPerMeterY(dotsPerMeter);
    page.fill(Qt::white);
    return page;
}

TEST(AlignedTextDrawingTest, alignmentNumbersReadAThreeByThreeGridRowByRow)
{
    const QRectF rect(10, 20, 100, 50);
    const QSizeF size(20, 10);
    EXPECT_EQ(AlignedTextDrawing::pointFor(size, rect, 0), QPointF(10, 20));
    EXPECT_EQ(AlignedTextDrawing::pointFor(size, rect, 3), QPointF(10, 40));
    EXPECT_EQ(AlignedTextDrawing::pointFor(size, rect, 4), QPointF(50, 40));
    EXPECT_EQ(AlignedTextDrawing::pointFor(size, rect, 5), QPointF(90, 40));
    EXPECT_EQ(AlignedTextDrawing::pointFor(size, rect, 8), QPointF(90, 60));
}

TEST(AlignedTextDrawingTest, theGridsCornersDrawInTheirCornersAndNumbersOutsideItDrawNothing)
{
    const QRectF rect(0, 0, 300, 120);
    QFont font;
    font.setPixelSize(24);
    auto drawn = [&](int alignment) {
        QImage image = pageOfPoints(QSize(300, 120));
        QPainter painter(&image);
        painter.setPen(Qt::black);
        const QFont before = painter.font();
        AlignedTextDrawing::drawAtPointInRect(painter, QStringLiteral("WM"), rect, font, alignment);
        EXPECT_EQ(painter.font(), before) << "the painter is left with its own font";
        painter.end();
        return inkOf(image);
    };
    const QRect topLeft = drawn(0);
    ASSERT_FALSE(topLeft.isEmpty());
    EXPECT_LT(topLeft.left(), 10);
    EXPECT_LT(topLeft.top(), 12);
    EXPECT_LT(topLeft.right(), 150);
    const QRect bottomRight = drawn(8);
    ASSERT_FALSE(bottomRight.isEmpty());
    EXPECT_GT(bottomRight.right(), 290);
    EXPECT_GT(bottomRight.bottom(), 100);
    EXPECT_GT(bottomRight.left(), 150);
    EXPECT_TRUE(drawn(-1).isEmpty());
    EXPECT_TRUE(drawn(9).isEmpty());
}

TEST(CardPrintPageRendererTest, aTitleWiderThanSixTenthsOfThePageEndsInAnEllipsisComputedOnce)
{
    CardPrintPageRenderer renderer(QString(200, QLatin1Char('W')), QStringLiteral("<p>x</p>"));
    QImage page(612, 792, QImage::Format_ARGB32);
    QPainter painter(&page);
    renderer.drawHeaderForPageAtIndex(painter, 0, QRectF(0, 0, 612, 72), QRectF(0, 0, 612, 792));
    const QString first = renderer.trimmedTitle();
    EXPECT_TRUE(first.endsWith(QStringLiteral("...")));
    EXPECT_LT(first.size(), 200);
    renderer.drawHeaderForPageAtIndex(painter, 1, QRectF(0, 0, 300, 72), QRectF(0, 0, 300, 792));
    EXPECT_EQ(renderer.trimmedTitle(), first) << "worked out once for the whole job";
}

TEST(CardPrintPageRendererTest, headerSitsInTheTopMarginBetweenTheSideMargins)
{
    CardPrintPageRenderer titleOnly(QStringLiteral("Keeper"), QString());
    CardPrintPageRenderer numberOnly{QString(), QString()};
    auto header = [](CardPrintPageRenderer& renderer, int index) {
        QImage page = pageOfPoints(QSize(612, 200));
        QPainter painter(&page);
        painter.setPen(Qt::black);
        renderer.drawHeaderForPageAtIndex(painter, index, QRectF(0, 0, 612, 72), QRectF(0, 0, 612, 792));
        painter.end();
        return inkOf(page);
    };
    const QRect title = header(titleOnly, 0);
    ASSERT_FALSE(title.isEmpty());
    EXPECT_NEAR(title.left(), CardPrintPageRenderer::PageMargin, 3);
    EXPECT_NEAR(title.center().y(), 36, 4);
    // The page index counts from 0; the page reads from 1.
    const QRect number = header(numberOnly, 6);
    ASSERT_FALSE(number.isEmpty());
    EXPECT_NEAR(number.right(), 612 - CardPrintPageRenderer::PageMargin, 3);
    EXPECT_NEAR(number.center().y(), 36, 4);
    EXPECT_LT(number.width(), 12) << "one digit, 7";
}

// Every word of page index (from 0) of a PDF with its box in points, read back by poppler's pdftotext.
struct PrintedWord {
    QString text;
    QRectF box;
};

QList<PrintedWord> wordsOnPage(const QString& pdf, int index)
{
    const QString page = QString::number(index + 1);
    const auto run =
        ExternalTools::run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), page,
                                                         QStringLiteral("-l"), page, pdf, QStringLiteral("-")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<PrintedWord> words;
    for (const QRegularExpressionMatch& match : word.globalMatch(QString::fromUtf8(run.out))) {
        const QPointF topLeft(match.captured(1).toDouble(), match.captured(2).toDouble());
        const QPointF bottomRight(match.captured(3).toDouble(), match.captured(4).toDouble());
        words.append({match.captured(5), QRectF(topLeft, bottomRight)});
    }
    return words;
}

TEST(CardPrintPageRendererTest, pagesKeepTheirMarginsWithTheHeaderCentredInTheTopOne)
{
    REQUIRE_TOOL("pdftotext");
    REQUIRE_TOOL("pdftoppm");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("card.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    QString html;
    for (int i = 1; i <= 60; ++i)
        html += QStringLiteral("<p>Paragraph %1 of the card.</p>").arg(i);
    CardPrintPageRenderer renderer(QStringLiteral("Keeper"), html);
    ASSERT_EQ(renderer.print(&printer), std::nullopt);

    const qreal margin = CardPrintPageRenderer::PageMargin;
    const QSizeF letter(612, 792);
    // The body's font, at one point above the header's: its words are as wide as that font makes them.
    const QFont bodyFont = Fonts::getDefaultFontWithSize(CardPrintPageRenderer::HeaderFontSize + 1);
    const qreal paragraphWidth =
        QFontMetricsF(bodyFont, &printer).horizontalAdvance(QStringLiteral("Paragraph")) * 72 / printer.logicalDpiX();
    for (int index = 0; index < 2; ++index) {
        SCOPED_TRACE(index);
        QList<PrintedWord> header;
        QList<PrintedWord> body;
        for (const PrintedWord& word : wordsOnPage(pdf, index))
            (word.box.bottom() < margin ? header : body).append(word);
        ASSERT_EQ(header.size(), 2);
        ASSERT_FALSE(body.isEmpty());
        const PrintedWord& title = header.at(0).text == QStringLiteral("Keeper") ? header.at(0) : header.at(1);
        const PrintedWord& number = header.at(0).text == QStringLiteral("Keeper") ? header.at(1) : header.at(0);
        EXPECT_EQ(title.text, QStringLiteral("Keeper"));
        EXPECT_NEAR(title.box.left(), margin, 0.5);
        EXPECT_EQ(number.text, QString::number(index + 1));
        EXPECT_NEAR(number.box.right(), letter.width() - margin, 0.5);
        EXPECT_NEAR(title.box.center().y(), margin / 2, 2);
        const PrintedWord& first = body.at(0);
        EXPECT_EQ(first.text, QStringLiteral("Paragraph"));
        EXPECT_NEAR(first.box.left(), margin, 0.5);
        EXPECT_NEAR(first.box.top(), margin, 0.5) << "each page's text starts below its top margin";
        EXPECT_NEAR(first.box.width(), paragraphWidth, 0.5);
        // What the bottom margin cuts off is not in the file either: a search or a copy of the page would find
        // the next page's first line twice.
        for (const PrintedWord& word : body)
            EXPECT_LT(word.box.top(), letter.height() - margin) << word.text.toStdString();
    }
    // Every paragraph is printed, and once.
    const auto whole = ExternalTools::run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_EQ(whole.exitCode, 0);
    const QString text = QString::fromUtf8(whole.out);
    for (int i = 1; i <= 60; ++i)
        EXPECT_EQ(text.count(QStringLiteral("Paragraph %1 of").arg(i)), 1) << i;
    // Nothing is drawn in the bottom margin: the next page's first line, laid out there, is cut off.
    const QString picture = dir.filePath(QStringLiteral("page"));
    const auto run =
        ExternalTools::run(QStringLiteral("pdftoppm"),
                           {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-gray"), QStringLiteral("-f"),
                            QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), pdf, picture});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage page(picture + QStringLiteral("-1.pgm"));
    ASSERT_EQ(page.size(), letter.toSize());
    ASSERT_FALSE(inkOf(page.copy(0, 0, 612, 720)).isEmpty());
    EXPECT_TRUE(inkOf(page.copy(0, 720, 612, 72)).isEmpty()) << "ink at " << inkOf(page.copy(0, 720, 612, 72)).y();
}

TEST(CardPrintPageRendererTest, aTitleUnderSixTenthsOfThePaperStaysWholeAndOneOverItIsCut)
{
    QPrinter printer(QPrinter::HighResolution);
    const CardPrintPageRenderer sizing{QString(), QString()};
    const QFontMetricsF metrics(sizing.nameAttributes(), &printer);
    // Its width on paper, in points.
    auto pointsOf = [&](const QString& text) {
        return metrics.horizontalAdvance(text) * 72 / printer.logicalDpiX();
    };
    const qreal paper = 612;
    QString title = QStringLiteral("W");
    while (pointsOf(title + QLatin1Char('W')) <= paper * 0.55)
        title += QLatin1Char('W');
    EXPECT_EQ(CardPrintPageRenderer(title, QString()).titleToFit(paper), title);
    while (pointsOf(title) <= paper * 0.65)
        title += QLatin1Char('W');
    EXPECT_TRUE(CardPrintPageRenderer(title, QString()).titleToFit(paper).endsWith(QStringLiteral("...")));
}

TEST_F(PdfPrinting, printHtmlPutsTheTitleAndPageNumberOnEveryPage)
{
    REQUIRE_TOOL("pdftotext");
    QString html;
    for (int i = 1; i <= 120; ++i)
        html += QStringLiteral("<p>Paragraph %1 of the card &amp; its story.</p>").arg(i);
    Helpers::printHTML(nullptr, QRect(), nullptr, QStringLiteral("Lighthouse Keeper"), html);
    ASSERT_TRUE(waitFor([this] { return QFile::exists(pdf()); }));
    if (qEnvironmentVariableIsSet("PLOTVANE_EDITOR_SHOT")) {
        QFile::remove(QStringLiteral("/tmp/card-print.pdf"));
        QFile::copy(pdf(), QStringLiteral("/tmp/card-print.pdf"));
    }
    const QStringList printed = pages();
    ASSERT_GE(printed.size(), 2);
    for (int i = 0; i < printed.size(); ++i) {
        const QStringList lines = printed.at(i).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_FALSE(lines.isEmpty());
        const QStringList header = ExternalTools::words(lines.first()).empty()
                                       ? QStringList()
                                       : lines.first().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        EXPECT_EQ(header, (QStringList{QStringLiteral("Lighthouse"), QStringLiteral("Keeper"), QString::number(i + 1)}))
            << printed.at(i).toStdString();
    }
    EXPECT_TRUE(printed.first().contains(QStringLiteral("Paragraph 1 of the card & its story.")));
    EXPECT_TRUE(printed.last().contains(QStringLiteral("Paragraph 120 of the card & its story.")));
}

} // namespace
