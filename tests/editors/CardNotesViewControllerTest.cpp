#include "editors/CardNotesViewController.h"
#include "TestScreenshots.h"
#include "TestWait.h"
#include "core/Metrics.h"
#include "platform/Alert.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/Storyboard.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QTextEdit>
#include <QTextFrame>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The board's side of the sheet: presents it as the openers do and records what the callback receives.
class CardNotesViewControllerTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (Alert* alert : Alert::presented())
            alert->close();
        if (root.presentedViewController())
            root.dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void open(const QString& notes)
    {
        root.resize(800, 600);
        root.show();
        ViewController::transitionAppearance(&root, true, false);
        CardNotesViewController::registerInStoryboard();
        sheet = qobject_cast<CardNotesViewController*>(Storyboard::instantiate(QStringLiteral("cardNotesEditor")));
        ASSERT_NE(sheet, nullptr);
        sheet->setNotes(notes);
        sheet->setNotesModified([this](const QString& text) { received.append(text); });
        navigation = new NavigationController(sheet.data());
        root.present(navigation, true, {}, PresentationStyle::FormSheet);
        window = sheet->window();
        ASSERT_NE(window, &root);
    }

    QToolButton* button(const char* name) const
    {
        return navigation->findChild<QToolButton*>(QString::fromLatin1(name));
    }
    void press(const char* name) const
    {
        QToolButton* found = button(name);
        ASSERT_NE(found, nullptr) << name;
        QTest::mouseClick(found, Qt::LeftButton);
    }
    bool closed() const { return root.presentedViewController() == nullptr; }
    void typeText(const QString& text)
    {
        sheet->editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(sheet->editor(), text);
    }

    ViewController root;
    QPointer<CardNotesViewController> sheet;
    QPointer<NavigationController> navigation;
    QPointer<QWidget> window;
    QStringList received;
};

TEST_F(CardNotesViewControllerTest, emptyNotesOfferNeitherSaveNorClearUntilTheFirstKeystroke)
{
    ASSERT_NO_FATAL_FAILURE(open(QString()));
    EXPECT_FALSE(button("saveButton")->isEnabled());
    EXPECT_FALSE(button("clearButton")->isEnabled());
    EXPECT_TRUE(button("cancelButton")->isEnabled());
    typeText(QStringLiteral("a"));
    EXPECT_TRUE(sheet->isModified());
    EXPECT_TRUE(button("saveButton")->isEnabled());
    EXPECT_TRUE(button("clearButton")->isEnabled());
}

TEST_F(CardNotesViewControllerTest, sheetShowsTheNotesUnderItsTitleWithTheItemsInOrder)
{
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("Met her at the harbour.\nAsk about the letter.")));
    EXPECT_EQ(sheet->editor()->toPlainText(), QStringLiteral("Met her at the harbour.\nAsk about the letter."));
    EXPECT_FALSE(sheet->isModified());
    EXPECT_FALSE(button("saveButton")->isEnabled());
    EXPECT_TRUE(button("clearButton")->isEnabled());
    EXPECT_EQ(navigation->findChild<QLabel*>(QStringLiteral("navigationTitle"))->text(), QStringLiteral("Card Notes"));
    const QList<BarButtonItem*> right = sheet->navigationItem()->rightBarButtonItems();
    ASSERT_EQ(right.size(), 2);
    EXPECT_EQ(right[0]->text(), QStringLiteral("Save"));
    EXPECT_EQ(right[1]->text(), QStringLiteral("Clear"));
    EXPECT_EQ(sheet->navigationItem()->leftBarButtonItems().value(0)->text(), QStringLiteral("Cancel"));
    // Once the sheet's window is the active one, the notes field takes the keys.
    window->activateWindow();
    ASSERT_TRUE(waitFor([this] { return window->isActiveWindow(); }));
    EXPECT_TRUE(waitFor([this] { return sheet->editor()->hasFocus(); }));
    EXPECT_EQ(sheet->editor()->font().pointSizeF(), Metrics::scaled(17));
    // Found under their names, and the text runs to the sheet's edges: the inset is the text's own margin.
    EXPECT_EQ(navigation->findChild<CardNotesViewController*>(QStringLiteral("CardNotesViewController")), sheet);
    EXPECT_EQ(navigation->findChild<QTextEdit*>(QStringLiteral("notesEditor")), sheet->editor());
    EXPECT_EQ(sheet->editor()->geometry(), sheet->rect());
    const QTextFrameFormat frame = sheet->editor()->document()->rootFrame()->frameFormat();
    EXPECT_EQ(frame.topMargin(), 6);
    EXPECT_EQ(frame.leftMargin(), 12);
    EXPECT_EQ(frame.bottomMargin(), 12);
    EXPECT_EQ(frame.rightMargin(), 12);
    // The Display P3 yellow seen in sRGB (worked out in the test below).
    const QColor bar = navigation->navigationBar()->palette().color(QPalette::Window);
    EXPECT_NEAR(bar.redF(), 1.0, 0.005);
    EXPECT_NEAR(bar.greenF(), 0.905, 0.01);
    EXPECT_NEAR(bar.blueF(), 0.110, 0.01);
    EXPECT_EQ(navigation->navigationBar()->palette().color(QPalette::WindowText), QColor(Qt::black));
}

TEST_F(CardNotesViewControllerTest, barColourIsTheDisplayP3YellowSeenInSrgb)
{
    // Display P3 (1.0, 0.909, 0.325) through the published P3-to-sRGB matrix, worked out by hand: red lies just
    // outside sRGB and is clipped, green 0.905, blue 0.110.
    const QColor colour = CardNotesViewController::barColor();
    EXPECT_NEAR(colour.redF(), 1.0, 0.005);
    EXPECT_NEAR(colour.greenF(), 0.905, 0.01);
    EXPECT_NEAR(colour.blueF(), 0.110, 0.01);
}

TEST_F(CardNotesViewControllerTest, saveHandsBackTheWholeTextExactlyOnceAndCloses)
{
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("First line\nSecond line")));
    typeText(QStringLiteral(" and more"));
    ASSERT_NO_FATAL_FAILURE(press("saveButton"));
    EXPECT_EQ(received, QStringList{QStringLiteral("First line\nSecond line and more")});
    EXPECT_TRUE(closed());
    if (sheet)
        sheet->save();
    EXPECT_EQ(received.size(), 1);
}

TEST_F(CardNotesViewControllerTest, pastedFormattingIsDropped)
{
    ASSERT_NO_FATAL_FAILURE(open(QString()));
    auto* data = new QMimeData;
    data->setHtml(QStringLiteral("<b>Bold</b> words"));
    data->setText(QStringLiteral("Bold words"));
    QGuiApplication::clipboard()->setMimeData(data);
    sheet->editor()->setFocus();
    QTest::keyClick(sheet->editor(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(sheet->editor()->toPlainText(), QStringLiteral("Bold words"));
    QTextCursor first(sheet->editor()->document());
    first.setPosition(1);
    EXPECT_NE(first.charFormat().fontWeight(), QFont::Bold);
}

TEST_F(CardNotesViewControllerTest, typingBackToTheOriginalStillSavesThatText)
{
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("Unchanged")));
    typeText(QStringLiteral("x"));
    QTest::keyClick(sheet->editor(), Qt::Key_Backspace);
    ASSERT_TRUE(button("saveButton")->isEnabled());
    ASSERT_NO_FATAL_FAILURE(press("saveButton"));
    EXPECT_EQ(received, QStringList{QStringLiteral("Unchanged")});
}

TEST_F(CardNotesViewControllerTest, clearAsksFirstAndConfirmedThenSavedHandsBackNothing)
{
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("Some notes")));
    ASSERT_NO_FATAL_FAILURE(press("clearButton"));
    Alert* alert = Alert::topmost();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), QStringLiteral("Clear Note"));
    EXPECT_EQ(alert->message(), QStringLiteral("Are you sure you want to clear the contents of this note?"));
    EXPECT_EQ(alert->actionTitles(), (QStringList{QStringLiteral("Yes"), QStringLiteral("Cancel")}));
    EXPECT_EQ(alert->actionStyle(0), AlertActionStyle::Default);
    EXPECT_EQ(alert->actionStyle(1), AlertActionStyle::Cancel);
    alert->trigger(0);
    EXPECT_EQ(sheet->editor()->toPlainText(), QString());
    EXPECT_TRUE(received.isEmpty());
    EXPECT_TRUE(button("saveButton")->isEnabled());
    ASSERT_NO_FATAL_FAILURE(press("saveButton"));
    EXPECT_EQ(received, QStringList{QString()});
}

TEST_F(CardNotesViewControllerTest, clearCancelledKeepsTheTextAndTheSheetUnchanged)
{
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("Keep me")));
    ASSERT_NO_FATAL_FAILURE(press("clearButton"));
    ASSERT_NE(Alert::topmost(), nullptr);
    Alert::topmost()->trigger(1);
    EXPECT_EQ(sheet->editor()->toPlainText(), QStringLiteral("Keep me"));
    EXPECT_FALSE(sheet->isModified());
    EXPECT_FALSE(button("saveButton")->isEnabled());
}

TEST_F(CardNotesViewControllerTest, cancelWithoutChangesClosesAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("Notes")));
    ASSERT_NO_FATAL_FAILURE(press("cancelButton"));
    EXPECT_EQ(Alert::topmost(), nullptr);
    EXPECT_TRUE(closed());
    EXPECT_TRUE(received.isEmpty());
}

TEST_F(CardNotesViewControllerTest, cancelAfterClearingAsksAndDiscardKeepsTheNotesAsTheyWere)
{
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("Original")));
    ASSERT_NO_FATAL_FAILURE(press("clearButton"));
    ASSERT_NE(Alert::topmost(), nullptr);
    Alert::topmost()->trigger(0);
    ASSERT_NO_FATAL_FAILURE(press("cancelButton"));
    Alert* alert = Alert::topmost();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), QStringLiteral("Discard Changes"));
    EXPECT_EQ(alert->message(),
              QStringLiteral("You have made changes to this note.  Are you sure you want to discard them?"));
    EXPECT_EQ(alert->actionTitles(), (QStringList{QStringLiteral("Discard"), QStringLiteral("Cancel")}));
    EXPECT_EQ(alert->actionStyle(0), AlertActionStyle::Default);
    EXPECT_EQ(alert->actionStyle(1), AlertActionStyle::Cancel);

    alert->trigger(1);
    EXPECT_FALSE(closed());
    EXPECT_TRUE(sheet->isModified());

    ASSERT_NO_FATAL_FAILURE(press("cancelButton"));
    ASSERT_NE(Alert::topmost(), nullptr);
    Alert::topmost()->trigger(0);
    EXPECT_TRUE(closed());
    EXPECT_TRUE(received.isEmpty());
}

TEST_F(CardNotesViewControllerTest, escapeWithTypedTextAsksInsteadOfDroppingIt)
{
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("Draft")));
    typeText(QStringLiteral(" with words typed"));
    QTest::keyClick(sheet->editor(), Qt::Key_Escape);
    Alert* alert = Alert::topmost();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), QStringLiteral("Discard Changes"));
    EXPECT_FALSE(closed());
    alert->trigger(1);
    EXPECT_EQ(sheet->editor()->toPlainText(), QStringLiteral("Draft with words typed"));

    // The sheet's close button goes the same way.
    window->close();
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->title(), QStringLiteral("Discard Changes"));
    EXPECT_FALSE(closed());
    Alert::topmost()->trigger(0);
    EXPECT_TRUE(closed());
    EXPECT_TRUE(received.isEmpty());
}

TEST_F(CardNotesViewControllerTest, escapeWithoutChangesClosesLikeCancel)
{
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("Draft")));
    QTest::keyClick(sheet->editor(), Qt::Key_Escape);
    EXPECT_EQ(Alert::topmost(), nullptr);
    EXPECT_TRUE(closed());
    EXPECT_TRUE(received.isEmpty());
}

TEST_F(CardNotesViewControllerTest, screenshotsInBothAppearances)
{
    open(QStringLiteral("Met her at the harbour.\nAsk about the letter she burned, and why the lighthouse keeper "
                        "never mentions his brother."));
    typeText(QStringLiteral(" Check the tide tables."));
    grabInBothAppearances(window, QStringLiteral("notes"));
}

} // namespace
