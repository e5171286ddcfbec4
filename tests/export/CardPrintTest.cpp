#include "core/AlignedTextDrawing.h"
#include "core/CardPrintPageRenderer.h"
#include "export/CardPrinting.h"

#include "ExternalTools.h"
#include "SampleDocument.h"
#include "TestWait.h"
#include "core/Helpers.h"
#include "core/PrintHelper.h"
#include "platform/Delays.h"
#include "platform/ProgressHud.h"
#include "richtext/PvTextView.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextFragment>
#include <gtest/gtest.h>

namespace {

// The print dialog answered at once with a PDF file as the printer.
class PdfPrinting : public ::testing::Test {
protected:
    void SetUp() override
    {
        Delays::setFactor(0);
        PrintHelper::shared().setPrintDialog([this](QPrinter* printer, QWidget*, std::function<void(bool)> chosen) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf());
            printer->setPageSize(QPageSize(QPageSize::Letter));
            chosen(true);
        });
    }
    void TearDown() override
    {
        PrintHelper::shared().setPrintDialog({});
        ProgressHud::reset();
        Delays::setFactor(1);
    }
    QString pdf() const { return m_dir.filePath(QStringLiteral("card.pdf")); }

    // The printed pages as text, read back by poppler's pdftotext; empty when it is missing.
    QStringList pages() const
    {
        const auto run =
            ExternalTools::run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf(), QStringLiteral("-")});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QStringList result = QString::fromUtf8(run.out).split(QChar(0x0C));
        if (!result.isEmpty() && result.last().trimmed().isEmpty())
            result.removeLast();
        return result;
    }

    QTemporaryDir m_dir;
};

} // namespace

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

TEST_F(PdfPrinting, printHtmlPutsTheTitleAndPageNumberOnEveryPage)
{
    if (ExternalTools::find(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: run scripts/deps";
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

TEST_F(PdfPrinting, aCardPrintsItsUnsavedTextInBlackAtPrintSize)
{
    PvTextView view;
    view.applyColorScheme(true);
    view.scaleContentInline(1.25, false);
    QTextCursor cursor(view.document());
    QTextCharFormat format = SampleDocument::plain(14.0 * 1.25);
    format.setForeground(QColor(0xDE, 0xDE, 0xDF));
    format.setBackground(Qt::yellow);
    cursor.insertText(QStringLiteral("Unsaved words of the keeper"), format);
    const auto text = CardPrinting::printText(view);
    const QTextFragment fragment = text->firstBlock().begin().fragment();
    EXPECT_EQ(fragment.charFormat().foreground().color(), QColor(Qt::black));
    EXPECT_FALSE(fragment.charFormat().hasProperty(QTextFormat::BackgroundBrush));
    EXPECT_NEAR(fragment.charFormat().fontPointSize(), 11.0, 0.01);
    if (ExternalTools::find(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: run scripts/deps";
    bool done = false;
    CardPrinting::printCard(&view, QStringLiteral("Keeper"), nullptr, [&](bool completed) { done = completed; });
    ASSERT_TRUE(waitFor([&] { return done; }));
    EXPECT_EQ(ExternalTools::words(pages().join(QLatin1Char(' '))), "Unsaved words of the keeper");
}
