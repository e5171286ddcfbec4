#include "export/CardPrinting.h"

#include "PdfPrinting.h"
#include "RequiredTools.h"
#include "SampleDocument.h"
#include "TestWait.h"
#include "richtext/PvTextView.h"

#include <QTextBlock>
#include <QTextFragment>
#include <gtest/gtest.h>

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
    REQUIRE_TOOL("pdftotext");
    bool done = false;
    CardPrinting::printCard(&view, QStringLiteral("Keeper"), nullptr, [&](bool completed) { done = completed; });
    ASSERT_TRUE(waitFor([&] { return done; }));
    EXPECT_EQ(ExternalTools::words(pages().join(QLatin1Char(' '))), "Unsaved words of the keeper");
}
