#include "DialogTestHost.h"

#include "dialogs/DialogInfo.h"
#include "dialogs/DialogInfoController.h"

#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

DialogInfoController* showInfo(DialogTestHost& host, const QString& text)
{
    DialogInfo().show(QStringLiteral("Chapter One"), text, &host);
    return host.presentedDialog<DialogInfoController>();
}

} // namespace

TEST(DialogInfoTest, carriageReturnLineFeedPairsShowAsSeparateLines)
{
    DialogTestHost host;
    DialogInfoController* dialog = showInfo(host, QStringLiteral("Words: 12\r\nPages: 1\r\n\r\nCreated: today"));
    ASSERT_NE(dialog, nullptr);
    QTextDocument* document = dialog->textView()->document();
    EXPECT_EQ(document->blockCount(), 4);
    EXPECT_EQ(document->toPlainText(), QStringLiteral("Words: 12\nPages: 1\n\nCreated: today"));
    EXPECT_TRUE(dialog->textView()->isReadOnly());
    EXPECT_EQ(dialog->title(), QStringLiteral("Chapter One"));
}

TEST(DialogInfoTest, sheetIs300By400WhateverTheTextAndXmarkClosesIt)
{
    DialogTestHost host;
    DialogInfoController* dialog = showInfo(host, QString(5000, u'w'));
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(host.sheetWindow(), nullptr);
    EXPECT_EQ(host.sheetWindow()->size(), QSize(300, 400));
    EXPECT_EQ(dialog->textView()->font().pixelSize(), 12);

    auto* close = host.sheetWindow()->findChild<QToolButton*>(QStringLiteral("closeButton"));
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_EQ(host.presentedViewController(), nullptr);
}

TEST(DialogInfoTest, escapeClosesItWhereverTheFocusIsInTheSheet)
{
    DialogTestHost host;
    const auto focusIn = [&host](DialogInfoController* dialog) -> std::vector<std::pair<const char*, QWidget*>> {
        QWidget* sheet = host.sheetWindow();
        return {{"the sheet", sheet},
                {"what took the focus as it opened", sheet ? sheet->focusWidget() : nullptr},
                {"the navigation controller", host.presentedViewController()},
                {"the close button", sheet ? sheet->findChild<QToolButton*>(QStringLiteral("closeButton")) : nullptr},
                {"the dialog", dialog},
                {"the text", dialog ? dialog->textView() : nullptr}};
    };
    for (std::size_t place = 0; place < 6; ++place) {
        DialogInfoController* dialog = showInfo(host, QStringLiteral("Words: 12"));
        ASSERT_NE(dialog, nullptr);
        const auto [where, widget] = focusIn(dialog).at(place);
        ASSERT_NE(widget, nullptr) << where;
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Escape);
        EXPECT_EQ(host.presentedViewController(), nullptr) << "Escape on " << where;
        host.dismiss(false);
    }
}

TEST(DialogInfoTest, styleChangeRecoloursViewAndTextView)
{
    PaletteSwitch palette;
    palette.setDark(false);
    DialogTestHost host;
    DialogInfoController* dialog = showInfo(host, QStringLiteral("text"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(backgroundOf(dialog), QColor(0xEE, 0xEE, 0xEE));
    palette.setDark(true);
    EXPECT_EQ(backgroundOf(dialog), QColor(0x23, 0x23, 0x23));
    EXPECT_EQ(dialog->textView()->viewport()->palette().color(QPalette::Base), QColor(0x23, 0x23, 0x23));
}
