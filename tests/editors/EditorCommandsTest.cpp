#include "EditorFixture.h"
#include "TestScreenshots.h"
#include "TextFormats.h"

#include "core/PrintHelper.h"
#include "core/SettingsHelper.h"
#include "editors/CardNotesViewController.h"
#include "editors/ImageViewController.h"
#include "export/KUVDocPickerViewController.h"
#include "platform/ColorScheme.h"
#include "platform/Dispatch.h"
#include "platform/DocumentPicker.h"
#include "platform/rtf/RtfReader.h"
#include "richtext/QJTextAttachment.h"

#include <QClipboard>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QSemaphore>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

namespace {

// Loads text as it was stored, without bringing its fonts to the editor's.
RichTextDocumentFormat::LoadOptions asStored()
{
    RichTextDocumentFormat::LoadOptions options;
    options.adjustFonts = false;
    return options;
}

// Holds the next wait on the thread pool until opened; opened on the way out as well, so that a failed check never
// leaves a pool thread waiting.
class WaitGate {
public:
    WaitGate() { Dispatch::holdNextWait(m_gate); }
    ~WaitGate()
    {
        Dispatch::holdNextWait(nullptr);
        open();
    }
    WaitGate(const WaitGate&) = delete;
    WaitGate& operator=(const WaitGate&) = delete;
    void open()
    {
        if (!m_opened)
            m_gate->release();
        m_opened = true;
    }

private:
    std::shared_ptr<QSemaphore> m_gate = std::make_shared<QSemaphore>();
    bool m_opened = false;
};

// Counts the events of one type that reach watched, for as long as it lives.
std::unique_ptr<QObject> eventCounter(QObject* watched, QEvent::Type type, int& count)
{
    struct Counter : QObject {
        Counter(QEvent::Type type, int& count) : m_type(type), m_count(count) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            m_count += event->type() == m_type;
            return false;
        }
        QEvent::Type m_type;
        int& m_count;
    };
    auto counter = std::make_unique<Counter>(type, count);
    watched->installEventFilter(counter.get());
    return counter;
}

class EditorCommandsTest : public EditorFixture {
protected:
    qreal sizeAt(PvEditViewController* editor, int position)
    {
        QTextCursor cursor(editor->editor()->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat().fontPointSize();
    }
    void select(PvEditViewController* editor, int from, int to)
    {
        QTextCursor cursor(editor->editor()->document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor->editor()->setTextCursor(cursor);
    }
    // The card's body: "Map: " and a picture, 40 x 30 unless told.
    void seedPicture(QSize size = {40, 30})
    {
        QTextDocument body;
        QTextCursor cursor(&body);
        cursor.insertText(QStringLiteral("Map: "));
        QImage map(size, QImage::Format_ARGB32);
        map.fill(Qt::red);
        cursor.insertText(QString(QChar::ObjectReplacementCharacter), QJTextAttachment(map).format(body));
        DbHelpers::getItemDocument(context(), CardId)->setContent(*RichTextDocumentFormat::getData(body, 1.0));
        ASSERT_FALSE(context()->save());
    }
    QPoint pictureCentre(PvEditViewController* editor)
    {
        QTextCursor image(editor->editor()->document());
        image.setPosition(5);
        return editor->editor()->cursorRect(image).center() + QPoint(4, 0);
    }
    // Two clicks as the window system sends them: press, release, press (a double click), release.
    void doubleClick(PvEditViewController* editor, const QPoint& viewportPoint)
    {
        QWidget* viewport = editor->editor()->viewport();
        QWindow* window = viewport->window()->windowHandle();
        ASSERT_NE(window, nullptr);
        QTest::mouseDClick(window, Qt::LeftButton, {}, viewport->mapTo(viewport->window(), viewportPoint));
    }
    ImageViewController* presentedViewer()
    {
        auto* sheet = qobject_cast<NavigationController*>(ViewController::topmostPresented(rootScreen()));
        return sheet ? qobject_cast<ImageViewController*>(sheet->topViewController()) : nullptr;
    }
    QStringList rows(QMenu* menu)
    {
        emit menu->aboutToShow();
        QStringList titles;
        for (QAction* action : menu->actions())
            titles << action->text();
        return titles;
    }
    // Chooses a row of the editor's overflow menu as the writer does.
    void chooseRow(PvEditViewController* editor, const QString& title)
    {
        QMenu* menu = editor->overflowButton()->menu();
        emit menu->aboutToShow();
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions())
            if (action->text() == title)
                chosen = action;
        ASSERT_NE(chosen, nullptr) << title.toStdString();
        chosen->trigger();
    }
    // The document-type picker the editor presented, once it shows.
    KUVDocPickerViewController* shownPicker(PvEditViewController* editor)
    {
        KUVDocPickerViewController* picker = nullptr;
        EXPECT_TRUE(waitFor([&] {
            picker = editor->findChild<KUVDocPickerViewController*>();
            ViewController* top = ViewController::topmostPresented(editor);
            if (!picker && top)
                picker = top->findChild<KUVDocPickerViewController*>();
            return picker != nullptr;
        }));
        return picker;
    }
};

TEST_F(EditorCommandsTest, twoQuickSizeChoicesEndAtTheSecondWithoutCorruptingStoredSizes)
{
    Delays::setFactor(0.25);
    PvEditViewController* editor = open();
    ASSERT_DOUBLE_EQ(sizeAt(editor, 0), 17.5);
    // "Largest" then "Default", the second chosen before the first has run.
    editor->commands().changeFontScale(1.75);
    editor->commands().changeFontScale(1.25);
    // A snapshot taken during the wait stores the text at base size all the same.
    const RichTextDocumentFormat::LoadResult during = RichTextDocumentFormat::loadFrom(
        editor->autoSaveSnapshot().value(AutoSaveController::kContentKey).toByteArray(), asStored());
    QTextCursor start(during.document.get());
    start.setPosition(1);
    EXPECT_DOUBLE_EQ(start.charFormat().fontPointSize(), 14.0);
    ASSERT_TRUE(waitFor([] { return !ProgressHud::isActive(); }));
    EXPECT_DOUBLE_EQ(sizeAt(editor, 0), 17.5);
    EXPECT_DOUBLE_EQ(UserDefaults::standard().doubleForKey(PvTextView::ZoomKey), 1.25);
    type(editor, QStringLiteral(" x"));
    ASSERT_TRUE(save(editor));
    const RichTextDocumentFormat::LoadResult stored =
        RichTextDocumentFormat::loadFrom(DbHelpers::getItemDocument(context(), CardId)->content(), asStored());
    QTextCursor first(stored.document.get());
    first.setPosition(1);
    EXPECT_DOUBLE_EQ(first.charFormat().fontPointSize(), 14.0);
}

// Each choice waits on a thread of its own: the later choice's wait may end first, and the text must still end at
// the size chosen last, with the indicator up until then.
TEST_F(EditorCommandsTest, choicesWhoseWaitsEndInTheOtherOrderEndAtTheLastChoice)
{
    PvEditViewController* editor = open();
    ASSERT_DOUBLE_EQ(sizeAt(editor, 0), 17.5);
    // The first choice's wait ends only when the test opens its gate, once the second choice is applied.
    WaitGate firstWait;
    editor->commands().changeFontScale(1.75);
    editor->commands().changeFontScale(1.5);
    ASSERT_TRUE(waitFor([editor, this] { return sizeAt(editor, 0) == 21.0; }));
    EXPECT_TRUE(ProgressHud::isActive()) << "the first choice's wait has not ended";
    firstWait.open();
    ASSERT_TRUE(waitFor([] { return !ProgressHud::isActive(); }));
    EXPECT_DOUBLE_EQ(sizeAt(editor, 0), 21.0);
    EXPECT_DOUBLE_EQ(UserDefaults::standard().doubleForKey(PvTextView::ZoomKey), 1.5);
}

TEST_F(EditorCommandsTest, sizeChoiceShowsTheIndicatorUntilTheTextIsRescaled)
{
    PvEditViewController* editor = open();
    editor->commands().changeFontScale(1.75);
    EXPECT_TRUE(ProgressHud::isActive());
    EXPECT_DOUBLE_EQ(sizeAt(editor, 0), 17.5) << "the text is rescaled only after the indicator is up";
    ASSERT_TRUE(waitFor([editor, this] { return sizeAt(editor, 0) == 24.5; }));
    EXPECT_TRUE(waitFor([] { return !ProgressHud::isActive(); }));
}

TEST_F(EditorCommandsTest, menuButtonsLetGoOfTheirHoverFrameWhenTheirMenuClosesWithThePointerElsewhere)
{
    PvEditViewController* editor = open();
    QWidget* window = editor->window();
    auto* toolbar = editor->findChild<QToolBar*>(QStringLiteral("editorToolbar"));
    ASSERT_NE(toolbar, nullptr);
    const QPoint elsewhere = editor->editor()->viewport()->mapToGlobal(QPoint(40, 40));
    for (QAction* action : {editor->fontButton(), editor->listButton(), editor->overflowButton()}) {
        SCOPED_TRACE(action->objectName().toStdString());
        auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(action));
        ASSERT_TRUE(button && button->isEnabled() && action->menu());
        const QImage plain = button->grab().toImage();
        const QPoint centre = button->mapTo(window, button->rect().center());
        QTest::mouseMove(window->windowHandle(), centre - QPoint(0, 40));
        QTest::mouseMove(window->windowHandle(), centre);
        ASSERT_TRUE(button->underMouse());
        ASSERT_FALSE(button->grab().toImage() == plain) << "the pointer over the button frames it";
        QTimer::singleShot(0, button, [button, elsewhere] {
            QWidget* menu = QApplication::activePopupWidget();
            ASSERT_NE(menu, nullptr);
            // The writer moves off into the menu and on; while the menu holds the pointer, X11 tells the button
            // nothing, so it and all that holds it still count as under the pointer when the menu closes.
            QCursor::setPos(elsewhere);
            for (QWidget* held = button; held; held = held->parentWidget())
                held->setAttribute(Qt::WA_UnderMouse);
            QTest::keyClick(menu, Qt::Key_Escape);
        });
        // The button hears it has been left, as a widget that follows the pointer over it is told.
        int hoverLeaves = 0;
        const std::unique_ptr<QObject> listener = eventCounter(button, QEvent::HoverLeave, hoverLeaves);
        QTimer::singleShot(0, button, [&hoverLeaves] { hoverLeaves = 0; });
        button->showMenu();
        EXPECT_TRUE(waitFor([button] { return !button->underMouse(); }));
        EXPECT_TRUE(button->grab().toImage() == plain) << "no frame is left round the button";
        EXPECT_EQ(hoverLeaves, 1);
    }
    // A menu closed with the pointer still on its button leaves the button, and what holds it, under the pointer.
    auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(editor->overflowButton()));
    const QImage plain = button->grab().toImage();
    const QPoint centre = button->mapTo(window, button->rect().center());
    QTest::mouseMove(window->windowHandle(), centre - QPoint(0, 40));
    QTest::mouseMove(window->windowHandle(), centre);
    ASSERT_TRUE(button->underMouse());
    QTimer::singleShot(0, button, [button, centre, window] {
        QWidget* menu = QApplication::activePopupWidget();
        ASSERT_NE(menu, nullptr);
        QCursor::setPos(window->mapToGlobal(centre));
        for (QWidget* held = button; held; held = held->parentWidget())
            held->setAttribute(Qt::WA_UnderMouse);
        QTest::keyClick(menu, Qt::Key_Escape);
    });
    button->showMenu();
    runEventsFor(50);
    EXPECT_TRUE(button->underMouse());
    EXPECT_TRUE(toolbar->underMouse());
    EXPECT_FALSE(button->grab().toImage() == plain) << "the button under the pointer keeps its frame";
}

TEST_F(EditorCommandsTest, moreMenuIsFoundUnderItsName)
{
    PvEditViewController* editor = open();
    ASSERT_NE(editor->overflowButton()->menu(), nullptr);
    EXPECT_EQ(editor->findChild<QMenu*>(QStringLiteral("overflowMenu")), editor->overflowButton()->menu());
}

TEST_F(EditorCommandsTest, largestThenDefaultRescalesFrom24Point5To17Point5)
{
    PvEditViewController* editor = open();
    editor->commands().changeFontScale(1.75);
    ASSERT_TRUE(waitFor([editor, this] { return sizeAt(editor, 0) == 24.5; }));
    editor->commands().changeFontScale(1.25);
    ASSERT_TRUE(waitFor([editor, this] { return sizeAt(editor, 0) == 17.5; }));
    EXPECT_FALSE(editor->cardChanged());
}

TEST_F(EditorCommandsTest, numberedOrCheckListOverThreeLinesMarksEachAndOneUndoRestores)
{
    PvEditViewController* editor = open(QString());
    type(editor, QStringLiteral("alpha"));
    QTest::keyClick(editor->editor(), Qt::Key_Return);
    QTest::keyClicks(editor->editor(), QStringLiteral("beta"));
    QTest::keyClick(editor->editor(), Qt::Key_Return);
    QTest::keyClicks(editor->editor(), QStringLiteral("gamma"));
    const QString before = editor->editor()->toPlainText();
    select(editor, 0, int(before.size()));
    editor->commands().numberedList();
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("1. alpha\n2. beta\n3. gamma"));
    EXPECT_EQ(editor->editor()->textCursor().selectedText().size(),
              QStringLiteral("1. alpha\n2. beta\n3. gamma").size());
    editor->editor()->undo();
    EXPECT_EQ(editor->editor()->toPlainText(), before);
    // Each line starts with a box and a blank, never a line break of its own.
    select(editor, 0, int(before.size()));
    editor->commands().checkList();
    const QString boxed = QStringLiteral("\uFFFC alpha\n\uFFFC beta\n\uFFFC gamma");
    EXPECT_EQ(editor->editor()->toPlainText(), boxed);
    EXPECT_EQ(editor->editor()->textCursor().selectedText().size(), boxed.size());
    editor->editor()->undo();
    EXPECT_EQ(editor->editor()->toPlainText(), before);
}

TEST_F(EditorCommandsTest, bulletWithoutSelectionInsertsAtTheCaretOnly)
{
    PvEditViewController* editor = open();
    QTextCursor caret(editor->editor()->document());
    caret.setPosition(4);
    editor->editor()->setTextCursor(caret);
    editor->commands().bulletList();
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("The \u2022 lamp was lit at dusk."));
    EXPECT_TRUE(editor->cardChanged());
}

TEST_F(EditorCommandsTest, checkListWithoutSelectionStartsACheckboxLine)
{
    PvEditViewController* editor = open(QString());
    editor->commands().checkList();
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("\uFFFC "));
    EXPECT_EQ(editor->editor()->textCursor().position(), 2);
    EXPECT_TRUE(editor->cardChanged());
}

TEST_F(EditorCommandsTest, tickingACheckboxIsAChangeOfTheCard)
{
    PvEditViewController* first = open(QString());
    first->commands().checkList();
    QTest::keyClicks(first->editor(), QStringLiteral("milk"));
    ASSERT_TRUE(save(first));
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    ASSERT_EQ(added.size(), 1);
    PvEditViewController* editor = open(added.first()->uniqueIdentifier());
    ASSERT_FALSE(editor->cardChanged());
    QTextCursor box(editor->editor()->document());
    box.setPosition(0);
    const QRect left = editor->editor()->cursorRect(box);
    QTest::mouseClick(editor->editor()->viewport(), Qt::LeftButton, {}, left.center() + QPoint(4, 0));
    EXPECT_TRUE(editor->cardChanged());
    EXPECT_TRUE(editor->saveButton()->isEnabled());
}

TEST_F(EditorCommandsTest, undoAndRedoButtonsFollowTheTextsHistory)
{
    PvEditViewController* editor = open();
    EXPECT_FALSE(editor->undoButton()->isEnabled());
    type(editor, QStringLiteral(" x"));
    EXPECT_TRUE(editor->undoButton()->isEnabled());
    EXPECT_FALSE(editor->redoButton()->isEnabled());
    editor->undoButton()->trigger();
    EXPECT_EQ(editor->editor()->toPlainText(), CardText);
    EXPECT_TRUE(editor->redoButton()->isEnabled());
    editor->redoButton()->trigger();
    EXPECT_EQ(editor->editor()->toPlainText(), CardText + QStringLiteral(" x"));
}

// Fitting a picture wider than the page is how the card is shown, not an edit of the writer's.
TEST_F(EditorCommandsTest, aWidePictureFittedToThePageOnOpeningLeavesNothingToUndo)
{
    ASSERT_NO_FATAL_FAILURE(seedPicture({3000, 200}));
    app->window()->show();
    PvEditViewController* editor = open();
    EXPECT_FALSE(editor->editor()->document()->isUndoAvailable());
    EXPECT_FALSE(editor->undoButton()->isEnabled());
    EXPECT_FALSE(editor->cardChanged());
}

TEST_F(EditorCommandsTest, listButtonIsNotDrawnDisabledWhileItsOwnMenuIsOpen)
{
    app->window()->show();
    PvEditViewController* editor = open();
    QWidget* text = editor->editor();
    text->activateWindow();
    text->setFocus();
    ASSERT_TRUE(waitFor([&] { return text->hasFocus() && editor->listButton()->isEnabled(); }));
    auto* button = qobject_cast<QToolButton*>(editor->toolbar()->widgetForAction(editor->listButton()));
    QMenu* lists = editor->listButton()->menu();
    ASSERT_TRUE(button && lists);
    // The press opens the menu and waits in it until it closes, so the menu is looked at from inside.
    bool seenOpen = false;
    bool enabledWhileOpen = false;
    int darkestWhileOpen = 255;
    QTimer look;
    look.setInterval(10);
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (!lists->isVisible())
            return;
        look.stop();
        seenOpen = true;
        enabledWhileOpen = button->isEnabled() && editor->listButton()->isEnabled();
        const QImage picture = button->grab().toImage();
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                darkestWhileOpen = std::min(darkestWhileOpen, picture.pixelColor(x, y).lightness());
        lists->close();
    });
    look.start();
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return seenOpen && !lists->isVisible(); }));
    EXPECT_TRUE(enabledWhileOpen);
    // The glyph in its ink, not the light grey of a disabled control.
    EXPECT_LT(darkestWhileOpen, 100);
    // Closed, the focus decides again: back in the text it is offered, elsewhere it goes. (The offscreen platform
    // leaves no window active once a popup has gone.)
    text->activateWindow();
    EXPECT_TRUE(waitFor([&] { return text->hasFocus() && editor->listButton()->isEnabled(); }));
    button->setFocus();
    EXPECT_TRUE(waitFor([&] { return !editor->listButton()->isEnabled(); }));
}

TEST_F(EditorCommandsTest, listButtonFollowsTheTextBeingItsWindowsFocusNotTheWindowsActivation)
{
    app->window()->show();
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(waitFor([&] { return elsewhere.isActiveWindow(); }));
    // Loaded while its window is not the active one: the text takes the focus without hearing of it.
    PvEditViewController* editor = open();
    PvTextView* text = editor->editor();
    ASSERT_EQ(app->window()->focusWidget(), text);
    EXPECT_TRUE(editor->listButton()->isEnabled());
    text->activateWindow();
    ASSERT_TRUE(waitFor([&] { return text->hasFocus(); }));
    // Another window taking the keyboard leaves the text its window's focus: the lists stay offered.
    elsewhere.activateWindow();
    ASSERT_TRUE(waitFor([&] { return elsewhere.isActiveWindow() && !text->hasFocus(); }));
    EXPECT_TRUE(editor->listButton()->isEnabled());
}

TEST_F(EditorCommandsTest, afterASheetClosesTheTextHasTheKeysAndOneClickOpensTheLists)
{
    CardNotesViewController::registerInStoryboard();
    app->window()->show();
    PvEditViewController* editor = open(QString());
    PvTextView* text = editor->editor();
    text->activateWindow();
    ASSERT_TRUE(waitFor([&] { return QApplication::focusWidget() == text; }));
    QTest::keyClicks(text, QStringLiteral("Gulls"));
    chooseRow(editor, EditorCommands::CardNotesRow);
    auto* sheet = qobject_cast<NavigationController*>(ViewController::topmostPresented(rootScreen()));
    ASSERT_NE(sheet, nullptr);
    QWidget* sheetWindow = sheet->window();
    sheetWindow->activateWindow();
    ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == sheetWindow; }));
    auto* cancel = sheet->findChild<QToolButton*>(QStringLiteral("cancelButton"));
    ASSERT_NE(cancel, nullptr);
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return ViewController::topmostPresented(rootScreen()) != sheet; }));
    // The window under the sheet is active again, its focus where it was: typed keys arrive in the text.
    EXPECT_TRUE(waitFor([this] { return QApplication::activeWindow() == app->window(); }));
    EXPECT_EQ(app->window()->focusWidget(), text);
    ASSERT_EQ(QApplication::focusWidget(), text);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" wheel"));
    EXPECT_EQ(text->toPlainText(), QStringLiteral("Gulls wheel"));
    // One click on the list button opens its menu.
    auto* button = qobject_cast<QToolButton*>(editor->toolbar()->widgetForAction(editor->listButton()));
    QMenu* lists = editor->listButton()->menu();
    ASSERT_TRUE(button && lists);
    bool seenOpen = false;
    QTimer look;
    look.setInterval(10);
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (!lists->isVisible())
            return;
        look.stop();
        seenOpen = true;
        lists->close();
    });
    look.start();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(waitFor([&] { return seenOpen && !lists->isVisible(); }));
}

// The notes are the editor's to store: saved in their sheet they are a change of the card that its Save writes.
TEST_F(EditorCommandsTest, notesSavedInTheirSheetAreAChangeOfTheCardThatItsSaveStores)
{
    CardNotesViewController::registerInStoryboard();
    PvEditViewController* editor = open();
    ASSERT_FALSE(editor->cardChanged());
    ASSERT_NO_FATAL_FAILURE(chooseRow(editor, EditorCommands::CardNotesRow));
    auto* sheet = qobject_cast<NavigationController*>(ViewController::topmostPresented(rootScreen()));
    ASSERT_NE(sheet, nullptr);
    auto* notes = qobject_cast<CardNotesViewController*>(sheet->topViewController());
    ASSERT_NE(notes, nullptr);
    QTest::keyClicks(notes->editor(), QStringLiteral("Ask about the letter."));
    auto* saveButton = sheet->findChild<QToolButton*>(QStringLiteral("saveButton"));
    ASSERT_NE(saveButton, nullptr);
    QTest::mouseClick(saveButton, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return ViewController::topmostPresented(rootScreen()) != sheet; }));
    EXPECT_EQ(editor->notes(), QStringLiteral("Ask about the letter."));
    ASSERT_TRUE(editor->cardChanged());
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(DbHelpers::getItem(context(), CardId)->notes(), QStringLiteral("Ask about the letter."));
}

TEST_F(EditorCommandsTest, eachUndoTakesBackOneStepAndSwitchingTheAppearanceIsNone)
{
    struct PaletteKept {
        QPalette palette = QApplication::palette();
        ~PaletteKept() { QApplication::setPalette(palette); }
    } light;
    PvEditViewController* editor = open(QString());
    PvTextView* text = editor->editor();
    ASSERT_FALSE(editor->undoButton()->isEnabled());
    QApplication::setPalette(darkPalette(light.palette));
    ASSERT_TRUE(waitFor([] { return ColorScheme::isDark(); }));
    EXPECT_FALSE(editor->undoButton()->isEnabled());
    EXPECT_FALSE(text->document()->isUndoAvailable());

    QTest::keyClicks(text, QStringLiteral("The tide turned."));
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClicks(text, QStringLiteral("Mara's boat waited."));
    const QString typed = QStringLiteral("The tide turned.\nMara\u2019s boat waited.");
    ASSERT_EQ(text->toPlainText(), typed);
    QAction* bullets = nullptr;
    for (QAction* row : editor->listButton()->menu()->actions())
        if (row->text() == EditorCommands::BulletedListTitle)
            bullets = row;
    ASSERT_NE(bullets, nullptr);
    bullets->trigger();
    QTest::keyClicks(text, QStringLiteral("gulls"));
    ASSERT_EQ(text->toPlainText(), typed + EditorCommands::BulletStart + QStringLiteral("gulls"));
    // Back to light: the text is drawn in the light ink, and the writer's steps are as they were.
    QApplication::setPalette(light.palette);
    ASSERT_TRUE(waitFor([] { return !ColorScheme::isDark(); }));
    EXPECT_EQ(text->palette().color(QPalette::Text), QColor(PvTextView::kEditorForeground));

    editor->undoButton()->trigger();
    EXPECT_EQ(text->toPlainText(), typed + EditorCommands::BulletStart);
    editor->undoButton()->trigger();
    EXPECT_EQ(text->toPlainText(), typed);
    editor->undoButton()->trigger();
    EXPECT_EQ(text->toPlainText(), QString());
    EXPECT_FALSE(editor->undoButton()->isEnabled());
    // Redo walks the same steps forward.
    editor->redoButton()->trigger();
    EXPECT_EQ(text->toPlainText(), typed);
}

TEST_F(EditorCommandsTest, returnOnAStoryCardWithAutoIndentStartsAnIndentedParagraph)
{
    SettingsHelper::setValue(context(), ProjectId, SettingsHelper::AutoIndentKey, QStringLiteral("true"));
    addItem(QStringLiteral("EMPTY-STORY"), ProjectItemTypes::Story, QStringLiteral("Blank page"), FolderId, 4);
    ASSERT_FALSE(context()->save());
    PvEditViewController* editor = open();
    editor->editor()->moveCursor(QTextCursor::End);
    QTest::keyClick(editor->editor(), Qt::Key_Return);
    EXPECT_EQ(editor->editor()->toPlainText(), CardText + QStringLiteral("\n\t"));
    EXPECT_TRUE(editor->cardChanged());
    // A new Story card starts indented as well.
    rootScreen()->dismiss(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(open(QString())->editor()->toPlainText(), QStringLiteral("\t"));
    // A stored card without a body opens as it is: opening it is no edit to save.
    rootScreen()->dismiss(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    editor = open(QStringLiteral("EMPTY-STORY"));
    EXPECT_EQ(editor->editor()->toPlainText(), QString());
    EXPECT_FALSE(editor->cardChanged());
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    EXPECT_FALSE(app->hasPrimaryCardEdits);
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(EditorCommandsTest, returnOnAnEmptyBulletLineAddsAnotherBulletEvenWithAutoIndent)
{
    SettingsHelper::setValue(context(), ProjectId, SettingsHelper::AutoIndentKey, QStringLiteral("true"));
    PvEditViewController* editor = open(QString());
    // A new Story card starts with its indent; the list goes on indented.
    editor->editor()->moveCursor(QTextCursor::End);
    editor->commands().bulletList();
    QTest::keyClick(editor->editor(), Qt::Key_Return);
    QTest::keyClick(editor->editor(), Qt::Key_Return);
    QTest::keyClicks(editor->editor(), QStringLiteral("oars"));
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("\t\u2022 \n\t\u2022 \n\t\u2022 oars"));
}

TEST_F(EditorCommandsTest, returnWithoutAutoIndentInsertsAPlainNewline)
{
    PvEditViewController* editor = open();
    editor->editor()->moveCursor(QTextCursor::End);
    QTest::keyClick(editor->editor(), Qt::Key_Return);
    EXPECT_EQ(editor->editor()->toPlainText(), CardText + QStringLiteral("\n"));
}

TEST_F(EditorCommandsTest, typedQuotesAndDoubleHyphensBecomeTypographersMarks)
{
    PvEditViewController* editor = open(QString());
    type(editor, QStringLiteral("He said \"go\" -- 'now' it's late"));
    EXPECT_EQ(editor->editor()->toPlainText(),
              QStringLiteral("He said \u201Cgo\u201D \u2014 \u2018now\u2019 it\u2019s late"));
    // The marks are typed like any character: one undo takes them back with the typing, and redo brings them.
    editor->editor()->undo();
    EXPECT_EQ(editor->editor()->toPlainText(), QString());
    editor->editor()->redo();
    EXPECT_EQ(editor->editor()->toPlainText(),
              QStringLiteral("He said \u201Cgo\u201D \u2014 \u2018now\u2019 it\u2019s late"));
}

TEST_F(EditorCommandsTest, projectWithoutSmartQuotesKeepsStraightQuotes)
{
    SettingsHelper::setValue(context(), ProjectId, SettingsHelper::SmartQuotesConversionKey, QStringLiteral("false"));
    PvEditViewController* editor = open(QString());
    type(editor, QStringLiteral("\"go\" --"));
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("\"go\" --"));
}

TEST_F(EditorCommandsTest, overflowMenuOfASecondaryCardHasNoTitleRow)
{
    PvEditViewController* primary = open();
    EXPECT_EQ(rows(primary->overflowButton()->menu()),
              (QStringList{EditorCommands::TitleRow, EditorCommands::TagsRow, EditorCommands::CardNotesRow,
                           EditorCommands::OpenInRow, EditorCommands::ExportRow, EditorCommands::PrintRow,
                           EditorCommands::StatisticsRow}));
    primary->setIsSecondaryCard(true);
    EXPECT_EQ(rows(primary->overflowButton()->menu()),
              (QStringList{EditorCommands::TagsRow, EditorCommands::CardNotesRow, EditorCommands::OpenInRow,
                           EditorCommands::ExportRow, EditorCommands::PrintRow, EditorCommands::StatisticsRow}));
    EXPECT_EQ(rows(primary->fontButton()->menu()),
              (QStringList{"Largest", "Larger", "Default", "Smaller", "Smallest"}));
}

TEST_F(EditorCommandsTest, exportWritesTheTextAsItStandsUnsavedWordsIncludedAtItsOwnSize)
{
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" and words not yet saved"));
    // Zoomed in: the file holds the text at its own size, not at the size the editor shows it.
    editor->commands().changeFontScale(1.75);
    ASSERT_TRUE(waitFor([editor, this] { return sizeAt(editor, 0) == 24.5 && !ProgressHud::isActive(); }));
    QTemporaryDir target;
    const QString destination = target.filePath(QStringLiteral("card.rtf"));
    DocumentPicker::setChooser([&](QWidget*, const QString&, DocumentPicker::Done done) { done(destination); });
    ASSERT_NO_FATAL_FAILURE(chooseRow(editor, EditorCommands::ExportRow));
    KUVDocPickerViewController* picker = shownPicker(editor);
    ASSERT_NE(picker, nullptr);
    picker->choose(0, 1);
    ASSERT_TRUE(waitFor([&] { return QFile::exists(destination); }));
    DocumentPicker::setChooser({});
    QFile file(destination);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::unique_ptr<QTextDocument> written = RtfReader::read(file.readAll());
    ASSERT_TRUE(written);
    EXPECT_EQ(written->toPlainText(), CardText + QStringLiteral(" and words not yet saved"));
    for (const int position : {0, int(CardText.size()) + 5})
        EXPECT_DOUBLE_EQ(formatAt(*written, position).fontPointSize(), 14.0) << position;
    EXPECT_DOUBLE_EQ(sizeAt(editor, 0), 24.5) << "the editor still shows its zoom";
}

TEST_F(EditorCommandsTest, openInWritesTheTextAsItStandsIntoDownloadsAndOpensIt)
{
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" and words not yet saved"));
    QString opened;
    DocumentPicker::setOpener([&](const QString& path) {
        opened = path;
        return true;
    });
    ASSERT_NO_FATAL_FAILURE(chooseRow(editor, EditorCommands::OpenInRow));
    KUVDocPickerViewController* picker = shownPicker(editor);
    ASSERT_NE(picker, nullptr);
    picker->choose(0, 3);
    ASSERT_TRUE(waitFor([&] { return !opened.isEmpty(); }));
    DocumentPicker::setOpener({});
    EXPECT_EQ(QFileInfo(opened).absolutePath(),
              QFileInfo(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)).absoluteFilePath());
    EXPECT_TRUE(opened.endsWith(QStringLiteral(".txt"))) << opened.toStdString();
    QFile file(opened);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()).trimmed(), CardText + QStringLiteral(" and words not yet saved"));
    file.close();
    QFile::remove(opened);
}

TEST_F(EditorCommandsTest, printPrintsTheCardUnderItsTitle)
{
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" Unsaved"));
    QTemporaryDir target;
    const QString pdf = target.filePath(QStringLiteral("card.pdf"));
    QString printedTitle;
    PrintHelper::shared().setPrintDialog([&](QPrinter* printer, QWidget*, std::function<void(bool)> chosen) {
        printedTitle = printer->docName();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        chosen(true);
    });
    ASSERT_NO_FATAL_FAILURE(chooseRow(editor, EditorCommands::PrintRow));
    const bool printed = waitFor([&] { return QFileInfo(pdf).size() > 0; });
    PrintHelper::shared().setPrintDialog({});
    ASSERT_TRUE(printed);
    EXPECT_EQ(printedTitle, QStringLiteral("Lighthouse"));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
}

TEST_F(EditorCommandsTest, secondaryEditorArmsOnlyTheSecondaryQuitGuard)
{
    auto* editor = dynamic_cast<PvEditViewController*>(Storyboard::instantiate(QStringLiteral("editView")));
    editor->setManagedObjectContext(context());
    editor->setCurrentProjectId(ProjectId);
    editor->setIsSecondaryCard(true);
    editor->loadViewIfNeeded();
    editor->markCardChanged(true);
    EXPECT_TRUE(app->hasSecondaryCardEdits);
    EXPECT_FALSE(app->hasPrimaryCardEdits);
    delete editor;
}

TEST_F(EditorCommandsTest, savedImagesTakeAFreeNameInThePicturesFolder)
{
    seedPicture();
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QDir(pictures).removeRecursively();
    QDir().mkpath(pictures);
    QFile taken(QDir(pictures).filePath(QStringLiteral("Image.png")));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();

    PvEditViewController* editor = open();
    QTest::mouseClick(editor->editor()->viewport(), Qt::LeftButton, {}, pictureCentre(editor));
    ASSERT_TRUE(editor->commands().selectedTextAttachment());
    // The menu waits for the double-click interval, then shows its three rows.
    ASSERT_TRUE(waitFor([] { return Alert::topmost() != nullptr; }));
    Alert* sheet = Alert::topmost();
    EXPECT_EQ(sheet->actionTitles(), (QStringList{EditorCommands::CopyImageTitle, EditorCommands::SaveImageTitle,
                                                  EditorCommands::CancelTitle}));
    EXPECT_EQ(presentedViewer(), nullptr);
    sheet->trigger(1);
    const QString saved = QDir(pictures).filePath(QStringLiteral("Image 2.png"));
    ASSERT_TRUE(waitFor([&saved] { return QFile::exists(saved); }));
    EXPECT_EQ(QImage(saved).size(), QSize(40, 30));
    EXPECT_EQ(QFileInfo(taken.fileName()).size(), 0);
    QDir(pictures).removeRecursively();
}

TEST_F(EditorCommandsTest, copyImageRowPutsThePictureOnTheClipboardAndLetsItGo)
{
    seedPicture();
    PvEditViewController* editor = open();
    QTest::mouseClick(editor->editor()->viewport(), Qt::LeftButton, {}, pictureCentre(editor));
    ASSERT_TRUE(waitFor([] { return Alert::topmost() != nullptr; }));
    ASSERT_EQ(Alert::topmost()->actionTitles().value(0), EditorCommands::CopyImageTitle);
    Alert::topmost()->trigger(0);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(40, 30));
    EXPECT_FALSE(editor->commands().selectedTextAttachment());
}

TEST_F(EditorCommandsTest, doubleClickOnAPictureOpensTheViewerInTheEditorsColours)
{
    seedPicture();
    PvEditViewController* editor = open();
    doubleClick(editor, pictureCentre(editor));
    ImageViewController* viewer = nullptr;
    ASSERT_TRUE(waitFor([&] { return (viewer = presentedViewer()) != nullptr; }));
    EXPECT_EQ(viewer->image().size(), QSize(40, 30));
    // The first click's menu never comes, and the text is as it was.
    EXPECT_FALSE(editor->commands().imageMenuPending());
    EXPECT_TRUE(Alert::presented().isEmpty());
    EXPECT_FALSE(editor->editor()->textCursor().hasSelection());
    EXPECT_FALSE(editor->cardChanged());
    // Had the double click's own release reached the text, it would be no tap either.
    QWidget* viewport = editor->editor()->viewport();
    const QPointF picture(pictureCentre(editor));
    QMouseEvent release(QEvent::MouseButtonRelease, picture, viewport->mapToGlobal(picture), Qt::LeftButton,
                        Qt::NoButton, {});
    QApplication::sendEvent(viewport, &release);
    EXPECT_FALSE(editor->commands().imageMenuPending());

    const QPalette editorBar = navigation->navigationBar()->palette();
    const QColor storyColour = editor->cardProps().propForIntCardType(ProjectItemTypes::Story).cardColor();
    ASSERT_EQ(editorBar.color(QPalette::WindowText), storyColour);
    ASSERT_TRUE(viewer->barTintColor().has_value());
    EXPECT_EQ(*viewer->barTintColor(), editorBar.color(QPalette::Window));
    EXPECT_EQ(*viewer->barTintColor(), QColor(PvTextView::kEditorBackground));
    EXPECT_EQ(viewer->titleTextAttributes().value(ImageViewController::ForegroundColorAttribute).value<QColor>(),
              storyColour);
    EXPECT_EQ(viewer->tintColor(), editorBar.color(QPalette::ButtonText));
    EXPECT_EQ(viewer->navigationController()->navigationBar()->palette().color(QPalette::Window),
              editorBar.color(QPalette::Window));
}

TEST_F(EditorCommandsTest, aClickAfterADoubleClickWhoseReleaseWentToTheViewerStillOffersTheImageMenu)
{
    seedPicture();
    PvEditViewController* editor = open();
    QWidget* viewport = editor->editor()->viewport();
    const QPoint picture = pictureCentre(editor);
    // The second press of a double click opens the viewer, whose sheet then takes the release.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, picture);
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(picture), viewport->mapToGlobal(QPointF(picture)),
                       Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &second);
    ImageViewController* viewer = nullptr;
    ASSERT_TRUE(waitFor([&] { return (viewer = presentedViewer()) != nullptr; }));
    viewer->navigationController()->presentingViewController()->dismiss(false);
    ASSERT_TRUE(waitFor([&] { return presentedViewer() == nullptr; }));
    ASSERT_TRUE(Alert::presented().isEmpty());
    QTest::mouseClick(viewport, Qt::LeftButton, {}, picture);
    ASSERT_TRUE(waitFor([] { return Alert::topmost() != nullptr; }));
    EXPECT_EQ(
        Alert::topmost()->actionTitles(),
        (QStringList{EditorCommands::CopyImageTitle, EditorCommands::SaveImageTitle, EditorCommands::CancelTitle}));
}

TEST_F(EditorCommandsTest, doubleClickOnAWordSelectsItAndOpensNothing)
{
    seedPicture();
    PvEditViewController* editor = open();
    QTextCursor word(editor->editor()->document());
    word.setPosition(1);
    doubleClick(editor, editor->editor()->cursorRect(word).center());
    EXPECT_EQ(editor->editor()->textCursor().selectedText(), QStringLiteral("Map"));
    EXPECT_FALSE(editor->commands().imageMenuPending());
    EXPECT_EQ(presentedViewer(), nullptr);
    // A later single click on the picture is a tap again.
    QTest::mouseClick(editor->editor()->viewport(), Qt::LeftButton, {}, pictureCentre(editor));
    EXPECT_TRUE(editor->commands().imageMenuPending());
}

} // namespace
