#include "editors/NoResignTextField.h"
#include "editors/PeekCellView.h"
#include "platform/ElidedLabel.h"

#include "TestWait.h"
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A window holding the field and a second field that can take the focus from it.
class NoResignTextFieldTest : public ::testing::Test {
protected:
    NoResignTextFieldTest() : field(new NoResignTextField(&window)), other(new QLineEdit(&window))
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
    }

    void focusField()
    {
        ASSERT_TRUE(waitFor([this] { return window.isActiveWindow(); }));
        field->setFocus();
        ASSERT_TRUE(waitFor([this] { return field->hasFocus(); }));
    }

    QWidget window;
    NoResignTextField* field;
    QLineEdit* other;
};

TEST_F(NoResignTextFieldTest, newFieldResignsNormally)
{
    ASSERT_NO_FATAL_FAILURE(focusField());
    EXPECT_TRUE(field->canResign());
    EXPECT_TRUE(field->canResignFirstResponder());
    other->setFocus();
    ASSERT_TRUE(waitFor([this] { return other->hasFocus(); }));
    EXPECT_FALSE(field->hasFocus());
}

TEST_F(NoResignTextFieldTest, refusingFieldKeepsFocusWhenAnotherWidgetTakesIt)
{
    ASSERT_NO_FATAL_FAILURE(focusField());
    field->setCanResign(false);
    EXPECT_FALSE(field->resignFirstResponder());
    EXPECT_TRUE(field->hasFocus());
    other->setFocus();
    EXPECT_TRUE(waitFor([this] { return field->hasFocus(); }));
    EXPECT_FALSE(other->hasFocus());
}

TEST_F(NoResignTextFieldTest, allowingAgainLetsItResign)
{
    ASSERT_NO_FATAL_FAILURE(focusField());
    field->setCanResign(false);
    field->setCanResign(true);
    EXPECT_TRUE(field->resignFirstResponder());
    EXPECT_FALSE(field->hasFocus());
    field->setFocus();
    other->setFocus();
    EXPECT_TRUE(waitFor([this] { return other->hasFocus(); }));
}

TEST_F(NoResignTextFieldTest, fieldAllowedToResignBeforeItsRetakeRunsLeavesTheFocusWhereItWent)
{
    ASSERT_NO_FATAL_FAILURE(focusField());
    field->setCanResign(false);
    other->setFocus();
    field->setCanResign(true);
    runEventsFor(100);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_FALSE(field->hasFocus());
}

TEST(PeekCellViewTest, cellHoldsItsThreeViewsUnderTheReuseIdentifier)
{
    PeekCellView cell;
    EXPECT_EQ(cell.objectName(), QStringLiteral("peekCell"));
    EXPECT_EQ(cell.findChild<QLabel*>(QStringLiteral("cardTypeView")), cell.cardTypeView());
    EXPECT_EQ(cell.findChild<QLabel*>(QStringLiteral("cardTitleView")), cell.cardTitleView());
    EXPECT_EQ(cell.findChild<QLabel*>(QStringLiteral("cardSummaryView")), cell.cardSummaryView());
    ASSERT_NE(cell.cardTypeView(), nullptr);
    ASSERT_NE(cell.cardTitleView(), nullptr);
    ASSERT_NE(cell.cardSummaryView(), nullptr);
    EXPECT_TRUE(cell.cardTitleView()->text().isEmpty());
    EXPECT_TRUE(cell.cardSummaryView()->text().isEmpty());
}

TEST(PeekCellViewTest, titleAndSummaryThatLookLikeMarkupAreShownAsTyped)
{
    PeekCellView cell;
    EXPECT_EQ(cell.cardTitleView()->textFormat(), Qt::PlainText);
    EXPECT_EQ(cell.cardSummaryView()->textFormat(), Qt::PlainText);
}

TEST(PeekCellViewTest, titleTooLongForItsLineEndsInAnEllipsisAndAShortOneIsWhole)
{
    PeekCellView cell;
    const QString title = QStringLiteral("The keeper's daughter rows out across the harbour at dawn");
    cell.cardTitleView()->setText(title);
    cell.resize(220, cell.cellHeight());
    cell.show();
    ASSERT_TRUE(waitFor([&] { return cell.isVisible(); }));
    cell.layout()->activate();
    auto* line = qobject_cast<ElidedLabel*>(cell.cardTitleView());
    ASSERT_TRUE(line);
    const QString shown = line->shownText();
    ASSERT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(title.startsWith(shown.chopped(1))) << shown.toStdString();
    EXPECT_GT(shown.size(), 5);
    EXPECT_LE(line->fontMetrics().horizontalAdvance(shown), line->width());
    EXPECT_EQ(line->text(), title) << "the label keeps the whole title";
    // What the label paints is that text: a plain label holding it looks the same.
    QLabel plain(shown);
    plain.setFont(line->font());
    plain.setPalette(line->palette());
    plain.resize(line->size());
    EXPECT_EQ(line->grab().toImage().convertToFormat(QImage::Format_RGB32),
              plain.grab().toImage().convertToFormat(QImage::Format_RGB32));
    line->setText(QStringLiteral("Mara"));
    EXPECT_EQ(line->shownText(), QStringLiteral("Mara"));
}

TEST(PeekCellViewTest, imageTitleAndSummarySitOneMarginInsideTheCellItsHeightCountsOn)
{
    PeekCellView cell;
    cell.cardTitleView()->setText(QStringLiteral("Mara"));
    cell.cardSummaryView()->setText(QStringLiteral("Rows out at dawn"));
    cell.resize(320, cell.cellHeight());
    cell.show();
    ASSERT_TRUE(waitFor([&] { return cell.isVisible(); }));
    cell.layout()->activate();
    const int margin = PeekCellView::Margin;
    EXPECT_EQ(cell.cardTypeView()->geometry().topLeft(), QPoint(margin, margin));
    EXPECT_EQ(cell.cardTitleView()->geometry().left(), margin + PeekCellView::ImageSize + margin);
    EXPECT_EQ(cell.cardTitleView()->geometry().top(), margin);
    EXPECT_EQ(cell.cardTitleView()->geometry().right(), cell.width() - margin - 1);
    EXPECT_EQ(cell.cardSummaryView()->geometry().bottom(), cell.height() - margin - 1);
}

} // namespace
