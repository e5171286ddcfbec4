#include "SketchFixture.h"

#include "TestScreenshots.h"

#include "core/CardProps.h"
#include "dialogs/TagMenuController.h"
#include "editors/SketchViewController.h"
#include "export/Opml.h"
#include "platform/ColorScheme.h"
#include "platform/DocumentPicker.h"

#include <QBuffer>
#include <QDirIterator>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QStandardPaths>
#include <QToolBar>

namespace {

const QString DrawingMimeType = QStringLiteral("application/x-vornquil-opaque-drawing");

class SketchEditorTest : public SketchFixture {
protected:
    ~SketchEditorTest() override { DocumentPicker::setChooser({}); }

    static QImage pngImage(const QByteArray& png) { return QImage::fromData(png, "PNG"); }
    static InkDrawing decoded(const QByteArray& bytes)
    {
        InkDecodeResult result = InkReader::decode(bytes);
        EXPECT_TRUE(result.ok());
        return result.ok() ? *result.drawing : InkDrawing();
    }
};

TEST_F(SketchEditorTest, storyboardBuildsTheSketchEditorForSketchView)
{
    ViewController* screen = Storyboard::instantiate(QStringLiteral("sketchView"));
    EXPECT_TRUE(dynamic_cast<SketchViewController*>(screen));
    delete screen;
}

TEST_F(SketchEditorTest, partsAreFoundUnderTheirNames)
{
    KuvBaseSketch* editor = openSketch();
    EXPECT_EQ(editor->findChild<InkCanvas*>(QStringLiteral("canvasView")), editor->canvasView());
    const QList<std::pair<QString, QAction*>> buttons = {{QStringLiteral("saveButton"), editor->saveButton()},
                                                         {QStringLiteral("cancelButton"), editor->cancelButton()},
                                                         {QStringLiteral("zoomButton"), editor->zoomButton()},
                                                         {QStringLiteral("newCardButton"), editor->newCardButton()},
                                                         {QStringLiteral("peekButton"), editor->peekButton()},
                                                         {QStringLiteral("overflowButton"), editor->overflowButton()}};
    for (const auto& [name, button] : buttons)
        EXPECT_EQ(editor->findChild<QAction*>(name), button) << name.toStdString();
}

TEST_F(SketchEditorTest, titlesNameTheTypeAndWhetherTheCardIsNew)
{
    // Nothing is unsaved in a card just opened, whatever a screen before it left behind.
    app->hasPrimaryCardEdits = true;
    KuvBaseSketch* editor = openSketch(QString());
    EXPECT_FALSE(app->hasPrimaryCardEdits);
    EXPECT_EQ(editor->title(), QStringLiteral("New Person Card"));
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    typeTitle(editor, QStringLiteral("A"));
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    QTest::keyClick(editor->titleView(), Qt::Key_Backspace);
    EXPECT_TRUE(editor->titleView()->text().isEmpty());
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    EXPECT_EQ(editor->titleView()->placeholderText(), QStringLiteral("Title"));
    EXPECT_EQ(KuvBaseSketch::typeWord(ProjectItemTypes::Event), QStringLiteral("Card"));
    EXPECT_EQ(KuvBaseSketch::typeWord(ProjectItemTypes::Story), QStringLiteral("Story Card"));
    EXPECT_EQ(KuvBaseSketch::typeWord(ProjectItemTypes::Location), QStringLiteral("Location Card"));
}

TEST_F(SketchEditorTest, notesOpenOverTheEditorButNotWhileItSaves)
{
    KuvBaseSketch* editor = openSketch();
    editor->showCardNotes();
    ASSERT_TRUE(waitFor([editor] { return editor->presentedViewController() != nullptr; }));
    editor->dismiss(false);
    ASSERT_TRUE(waitFor([editor] { return editor->presentedViewController() == nullptr; }));
    EXPECT_FALSE(editor->changesMade());
    editor->notesModified(QStringLiteral("Tide at six"));
    EXPECT_TRUE(editor->changesMade()) << "new notes are a change Save stores";
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    typeTitle(editor, QStringLiteral(" by night"));
    bool finished = false;
    QObject::connect(editor, &KuvBaseSketch::saveFinished, editor, [&finished] { finished = true; });
    editor->saveButton()->trigger();
    // The save waits for its indicator to show; meanwhile the notes stay shut.
    ASSERT_FALSE(finished);
    editor->showCardNotes();
    EXPECT_EQ(editor->presentedViewController(), nullptr);
    ASSERT_TRUE(waitFor([&finished] { return finished; }));
}

TEST_F(SketchEditorTest, titleShowsTheTagsSymbolAndNothingWithoutATagOrForTheClearedTag)
{
    KuvBaseSketch* editor = openSketch();
    EXPECT_EQ(editor->navigationItem()->titleView(), nullptr);
    editor->tagSelected(QStringLiteral("done"));
    // A new tag on a stored card is a change Save stores.
    EXPECT_TRUE(editor->changesMade());
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    QWidget* title = editor->navigationItem()->titleView();
    ASSERT_NE(title, nullptr);
    EXPECT_NE(title->findChild<QLabel*>(QStringLiteral("titleIcon")), nullptr);
    editor->tagSelected(TagMenuController::ClearTag);
    EXPECT_EQ(editor->navigationItem()->titleView(), nullptr);
}

TEST_F(SketchEditorTest, titleDrawingAndToolsStackDownTheEditor)
{
    app->window()->show();
    KuvBaseSketch* editor = openSketch();
    ASSERT_TRUE(waitFor([editor] { return editor->isVisible() && editor->width() > 200; }));
    const QRect title = editor->titleView()->geometry();
    EXPECT_EQ(title.left(), 12);
    EXPECT_EQ(title.right(), editor->width() - 12 - 1);
    EXPECT_EQ(title.top(), 6);
    auto* drawing = editor->findChild<QScrollArea*>(QStringLiteral("sketchViewContainer"));
    ASSERT_NE(drawing, nullptr);
    EXPECT_EQ(drawing->geometry().top(), title.bottom() + 1 + 6);
    // Below the drawing the tools start at the left and the buttons end at the right.
    QToolBar* tools = editor->toolBar();
    EXPECT_EQ(tools->geometry().top(), drawing->geometry().bottom() + 1);
    QWidget* more = tools->widgetForAction(editor->overflowButton());
    ASSERT_NE(more, nullptr);
    EXPECT_LT(tools->width() - 1 - more->geometry().right(), more->width());
    // Each command is found by its name.
    for (const char* name :
         {"newCardButton", "peekButton", "zoomButton", "overflowButton", "cancelButton", "saveButton"})
        EXPECT_NE(editor->findChild<QAction*>(QString::fromLatin1(name)), nullptr) << name;
}

TEST_F(SketchEditorTest, strokeNearTheRightEdgeWidensTheCanvasSoTheDrawingCanGoOn)
{
    app->window()->show();
    KuvBaseSketch* editor = openSketch();
    ASSERT_TRUE(waitFor([editor] { return editor->isVisible() && editor->width() > 200; }));
    InkCanvas* canvas = editor->canvasView();
    const int viewport = editor->sketchViewContainer()->viewport()->width();
    ASSERT_EQ(canvas->width(), viewport) << "the stored stroke and its margin fit in the view";
    ASSERT_DOUBLE_EQ(canvas->zoomScale(), 1.0);
    const int x = viewport - 20;
    draw(editor, {{x - 100, 100}, {x, 120}});
    EXPECT_GE(canvas->width(), x + int(KuvBaseSketch::ContentMargin));
}

TEST_F(SketchEditorTest, fullWindowBarShowsTheCardsColourOnThePageAndAllCardsInInk)
{
    ASSERT_FALSE(ColorScheme::isDark());
    KuvBaseSketch* editor = openSketch();
    const QPalette person = navigation->navigationBar()->palette();
    EXPECT_EQ(person.color(QPalette::ButtonText), CardProps().propForIntCardType(ProjectItemTypes::Person).cardColor());
    EXPECT_EQ(person.color(QPalette::Window), QColor(PvTextView::kEditorBackground));
    ASSERT_FALSE(editor->isPopup());
    rootScreen()->dismiss(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    openSketch(QString(), {}, PresentationStyle::FullScreen, ProjectItemTypes::AllCards);
    const QPalette all = navigation->navigationBar()->palette();
    EXPECT_EQ(all.color(QPalette::ButtonText), QColor(PvTextView::kEditorForeground));
    EXPECT_EQ(all.color(QPalette::Window), QColor(PvTextView::kEditorBackground));
}

TEST_F(SketchEditorTest, popupBarIsTheCardsColourWithWhiteText)
{
    openSketch(SketchId, {}, PresentationStyle::FormSheet);
    // The board stays on screen behind a popup, so only the loaded drawing itself lets its indicator go.
    EXPECT_FALSE(ProgressHud::isActive());
    const QPalette bar = navigation->navigationBar()->palette();
    const CardProp& person = CardProps().propForIntCardType(ProjectItemTypes::Person);
    EXPECT_EQ(bar.color(QPalette::Window), person.cardColor());
    EXPECT_EQ(bar.color(QPalette::ButtonText), QColor(Qt::white));
}

TEST_F(SketchEditorTest, saveStampsTheCardsFolderAsModified)
{
    const QDateTime before = QDateTime::currentDateTime();
    ASSERT_LT(DbHelpers::getItem(context(), FolderId)->lastModified(), before);
    KuvBaseSketch* editor = openSketch();
    draw(editor, {{200, 200}, {260, 240}});
    ASSERT_TRUE(save(editor));
    EXPECT_GE(DbHelpers::getItem(context(), FolderId)->lastModified(), before);
}

TEST_F(SketchEditorTest, titleDrawingAndToolsShareTheWhitePage)
{
    const QColor page(Qt::white);
    ASSERT_NE(QApplication::palette().color(QPalette::Window), page);
    KuvBaseSketch* editor = openSketch();
    for (QWidget* area : QList<QWidget*>{editor, editor->titleView(), editor->sketchViewContainer()->viewport(),
                                         editor->canvasView(), editor->toolBar()})
        EXPECT_EQ(area->palette().color(QPalette::Window), page) << area->objectName().toStdString();
    // A dark desktop's field colour is not the page's: the title field is painted in the dark page's colour all the
    // same, where the title is not written.
    const QPalette light = QApplication::palette();
    const QPalette dark = darkPalette(light);
    const QColor darkPage(PvTextView::kEditorDarkBackground);
    ASSERT_NE(dark.color(QPalette::Base), darkPage);
    for (const bool darkScheme : {false, true}) {
        QApplication::setPalette(darkScheme ? dark : light);
        ASSERT_TRUE(waitFor([&] { return ColorScheme::isDark() == darkScheme; }));
        const QImage field = editor->titleView()->grab().toImage();
        const QColor shown = field.pixelColor(field.width() - 3, field.height() / 2);
        EXPECT_EQ(shown, darkScheme ? darkPage : page) << shown.name().toStdString();
    }
    QApplication::setPalette(light);
}

TEST_F(SketchEditorTest, moreMenuOffersTagsNotesAndExportAndItsNotesRowOpensThem)
{
    KuvBaseSketch* editor = openSketch();
    QMenu* menu = editor->overflowButton()->menu();
    ASSERT_NE(menu, nullptr);
    QStringList rows;
    for (QAction* action : menu->actions())
        rows << action->text();
    ASSERT_EQ(rows, (QStringList{KuvBaseSketch::TagsRow, KuvBaseSketch::CardNotesRow, KuvBaseSketch::ExportRow}));
    menu->actions().at(1)->trigger();
    EXPECT_TRUE(waitFor([editor] { return editor->presentedViewController() != nullptr; }));
}

TEST_F(SketchEditorTest, newCardSaveWritesOneDocumentTheSummaryImageAndTheSketchFields)
{
    KuvBaseSketch* editor = openSketch(QString());
    typeTitle(editor, QStringLiteral("Coastline"));
    draw(editor, {{40, 40}, {240, 40}, {440, 140}});
    // A tag picked after the last snapshot was taken is owed one of its own, card or no card yet.
    ASSERT_TRUE(editor->autoSaveController());
    editor->autoSaveController()->setAutoSave(false);
    editor->tagSelected(QStringLiteral("done"));
    EXPECT_TRUE(editor->autoSaveController()->autoSave());
    ASSERT_TRUE(save(editor));
    EXPECT_TRUE(waitFor([this] { return !isOpen(); }));
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(modifiedCalls, 1);
    ProjectItem* card = added.first();
    EXPECT_EQ(card->title(), QStringLiteral("Coastline"));
    EXPECT_EQ(card->itemFormat(), 1);
    EXPECT_EQ(card->folderType(), 1);
    EXPECT_EQ(card->itemType(), ProjectItemTypes::Person);
    EXPECT_EQ(card->summary(), QStringLiteral(""));
    EXPECT_EQ(card->wordCount(), 0);
    EXPECT_EQ(card->charCount(), 0);
    // Four cards were in the folder before.
    EXPECT_EQ(card->displayOrder(), 5);
    EXPECT_FALSE(card->terms().isEmpty());
    EXPECT_EQ(countOf<ProjectItemDocument>(QStringLiteral("parentItemId == %@"), {card->uniqueIdentifier()}), 1);
    ProjectItemDocument* document = documentOf(card->uniqueIdentifier());
    ASSERT_TRUE(document);
    EXPECT_EQ(document->mimetype(), DrawingMimeType);
    EXPECT_EQ(document->projectId(), ProjectId);
    const InkDrawing stored = decoded(document->content());
    ASSERT_EQ(stored.strokeCount(), 1u);
    // The summary is the drawing's bounds at a quarter of their size.
    const QImage summary = pngImage(card->summaryImage());
    ASSERT_FALSE(summary.isNull());
    EXPECT_NEAR(summary.width(), stored.bounds().width() / 4.0, 1.0);
    EXPECT_FALSE(app->hasPrimaryCardEdits);
}

TEST_F(SketchEditorTest, newCardSavedWithATitleAndNoDrawingIsStoredAsASketchCard)
{
    KuvBaseSketch* editor = openSketch(QString());
    typeTitle(editor, QStringLiteral("Blank chart"));
    ASSERT_TRUE(save(editor));
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(storedValue(QStringLiteral("SELECT itemFormat || ':' || folderType FROM ProjectItem WHERE "
                                         "uniqueIdentifier = '%1'")
                              .arg(added.first()->uniqueIdentifier())),
              QByteArray("1:1"));
}

TEST_F(SketchEditorTest, titleOnlyChangeLeavesTheDrawingAndSummaryAsStored)
{
    const QByteArray before = documentOf(SketchId)->content();
    KuvBaseSketch* editor = openSketch();
    EXPECT_EQ(editor->title(), QStringLiteral("Edit Person Card"));
    EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 1u);
    typeTitle(editor, QStringLiteral(" v2"));
    ASSERT_TRUE(save(editor));
    ProjectItem* card = DbHelpers::getItem(context(), SketchId);
    EXPECT_EQ(card->title(), SketchTitle + QStringLiteral(" v2"));
    EXPECT_EQ(documentOf(SketchId)->content(), before);
    EXPECT_TRUE(card->summaryImage().isEmpty());
    EXPECT_EQ(countOf<ProjectItemDocument>(QStringLiteral("parentItemId == %@"), {SketchId}), 1);
}

TEST_F(SketchEditorTest, unreadableDrawingShowsAnErrorAndIsNeverSavedOver)
{
    static const char bytes[] = "{\\rtf1 not a drawing at all}";
    const QByteArray foreign(bytes, sizeof(bytes) - 1);
    documentOf(SketchId)->setContent(foreign);
    ASSERT_FALSE(context()->save());
    KuvBaseSketch* editor = openSketch();
    Alert* error = alertTitled(EditorPrompts::UnreadableTitle);
    ASSERT_TRUE(error);
    // An alert without a button could never be closed.
    ASSERT_EQ(error->actionTitles(), QStringList{QStringLiteral("OK")});
    ASSERT_TRUE(press(error, 0));
    EXPECT_TRUE(waitFor([this] { return !alertTitled(EditorPrompts::UnreadableTitle); }));
    EXPECT_TRUE(editor->drawingUnreadable());
    EXPECT_FALSE(editor->canvasView()->isEnabled());
    // Nothing can be drawn over it, and the snapshot has nothing to keep.
    draw(editor, {{10, 10}, {90, 90}});
    EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 0u);
    EXPECT_TRUE(editor->autoSaveSnapshot().isEmpty());
    editor->tagSelected(QStringLiteral("done"));
    typeTitle(editor, QStringLiteral("!"));
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(DbHelpers::getItem(context(), SketchId)->tag(), QStringLiteral("done"));
    EXPECT_EQ(storedDocumentBytes(SketchId), foreign);
}

TEST_F(SketchEditorTest, failedSaveKeepsTheEditorOpenDirtyAndGuardedAndTheRetryMakesOneCard)
{
    // In a sheet, where the editor's own bar offers New Card and the peek panel.
    KuvBaseSketch* editor = openSketch(QString(), {}, PresentationStyle::FormSheet);
    typeTitle(editor, QStringLiteral("Reef"));
    draw(editor, {{30, 30}, {130, 80}});
    const QString snapshotPath = writeStandInSnapshot();
    ASSERT_TRUE(QFile::exists(snapshotPath));
    ASSERT_NO_FATAL_FAILURE(refuseWrites(QStringLiteral("INSERT ON ProjectItemDocument")));

    bool finished = false;
    bool saved = true;
    QObject::connect(editor, &KuvBaseSketch::saveFinished, [&](bool ok) {
        finished = true;
        saved = ok;
    });
    editor->saveButton()->trigger();
    // From the first click to the end of the save neither Save, Cancel nor the sheet's own buttons answer.
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    EXPECT_FALSE(editor->cancelButton()->isEnabled());
    EXPECT_FALSE(editor->peekButton()->isEnabled());
    EXPECT_FALSE(editor->newCardButton()->isEnabled());
    editor->saveButton()->trigger();
    editor->confirmCancel();
    EXPECT_FALSE(alertTitled(EditorPrompts::DiscardChangesTitle));
    ASSERT_TRUE(waitFor([&] { return finished; }));
    ASSERT_FALSE(saved);
    EXPECT_TRUE(alertTitled(DbHelpers::SaveErrorTitle));
    ASSERT_TRUE(isOpen());
    EXPECT_TRUE(editor->changesMade());
    EXPECT_TRUE(app->hasPrimaryCardEdits);
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, false));
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    EXPECT_TRUE(editor->cancelButton()->isEnabled());
    EXPECT_TRUE(editor->peekButton()->isEnabled());
    EXPECT_TRUE(editor->newCardButton()->isEnabled());
    EXPECT_TRUE(added.isEmpty());
    ASSERT_NO_FATAL_FAILURE(dismissSaveError());

    ASSERT_NO_FATAL_FAILURE(allowWrites());
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(countOf<ProjectItem>(QStringLiteral("title == %@"), {QStringLiteral("Reef")}), 1);
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(countOf<ProjectItemDocument>(QStringLiteral("parentItemId == %@"), {added.first()->uniqueIdentifier()}),
              1);
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, false));
    EXPECT_FALSE(app->hasPrimaryCardEdits);
}

TEST_F(SketchEditorTest, refusedSaveTakesItsProgressIndicatorWithIt)
{
    KuvBaseSketch* editor = openSketch(QString());
    typeTitle(editor, QStringLiteral("Reef"));
    ASSERT_NO_FATAL_FAILURE(refuseWrites(QStringLiteral("INSERT ON ProjectItem")));
    // The project list behind the editor lets the indicator go once, when its first reload lands; by the second
    // refusal only the editor itself can.
    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_FALSE(save(editor));
        ASSERT_NO_FATAL_FAILURE(dismissSaveError());
    }
    EXPECT_TRUE(waitFor([] { return !ProgressHud::isActive(); }));
    EXPECT_TRUE(isOpen());
}

TEST_F(SketchEditorTest, discardAfterAFailedSaveLeavesNothingForTheNextSaveToWrite)
{
    const qint64 documents = countOf<ProjectItemDocument>();
    KuvBaseSketch* editor = openSketch(QString());
    typeTitle(editor, QStringLiteral("Never wanted"));
    draw(editor, {{30, 30}, {130, 80}});
    ASSERT_NO_FATAL_FAILURE(failSaveThenDiscard(editor, QStringLiteral("INSERT ON ProjectItemDocument")));
    context()->save();
    EXPECT_EQ(countOf<ProjectItem>(QStringLiteral("title == %@"), {QStringLiteral("Never wanted")}), 0);
    EXPECT_EQ(countOf<ProjectItemDocument>(), documents) << "the new card's drawing outlived its discard";
    EXPECT_FALSE(app->hasPrimaryCardEdits);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A stored card's records are not deleted but given back their stored values: its drawing stays as stored.
    const QByteArray stored = storedDocumentBytes(SketchId);
    editor = openSketch();
    draw(editor, {{200, 200}, {260, 240}});
    ASSERT_EQ(editor->canvasView()->drawing().strokeCount(), 2u);
    ASSERT_NO_FATAL_FAILURE(failSaveThenDiscard(editor, QStringLiteral("UPDATE ON ProjectItemDocument")));
    EXPECT_FALSE(context()->hasChanges()) << "the discarded save left records pending";
    ASSERT_FALSE(context()->save());
    EXPECT_EQ(storedDocumentBytes(SketchId), stored);
    EXPECT_FALSE(app->hasPrimaryCardEdits);
}

TEST_F(SketchEditorTest, cancelAsksOnlyWhenSomethingChangedAndCancelKeepsTheDrawing)
{
    KuvBaseSketch* editor = openSketch();
    draw(editor, {{200, 200}, {260, 240}});
    EXPECT_TRUE(app->hasPrimaryCardEdits);
    editor->cancelButton()->trigger();
    Alert* discard = alertTitled(EditorPrompts::DiscardChangesTitle);
    ASSERT_TRUE(discard);
    EXPECT_EQ(discard->message(), EditorPrompts::DiscardChangesMessage);
    EXPECT_EQ(discard->actionTitles(), (QStringList{EditorPrompts::DiscardTitle, EditorPrompts::CancelTitle}));
    ASSERT_TRUE(press(discard, 1));
    ASSERT_TRUE(isOpen());
    EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 2u);
    editor->cancelButton()->trigger();
    ASSERT_TRUE(alertTitled(EditorPrompts::DiscardChangesTitle));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::DiscardChangesTitle), 0));
    // From the Discard on, while the editor slides away, neither Save nor Cancel answers.
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    EXPECT_FALSE(editor->cancelButton()->isEnabled());
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    EXPECT_FALSE(app->hasPrimaryCardEdits);
    EXPECT_EQ(decoded(documentOf(SketchId)->content()).strokeCount(), 1u);
    EXPECT_EQ(modifiedCalls, 0) << "a discarded card tells the board of no change";
}

TEST_F(SketchEditorTest, escapeAndTheSheetCloseButtonGoThroughCancel)
{
    app->window()->show();
    // Unchanged, Escape closes at once.
    KuvBaseSketch* unchanged = openSketch();
    unchanged->canvasView()->setFocus();
    ASSERT_TRUE(waitFor([unchanged] { return unchanged->canvasView()->hasFocus(); }));
    QTest::keyClick(unchanged->canvasView(), Qt::Key_Escape);
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    KuvBaseSketch* editor = openSketch();
    draw(editor, {{200, 200}, {260, 240}});
    editor->canvasView()->setFocus();
    ASSERT_TRUE(waitFor([editor] { return editor->canvasView()->hasFocus(); }));
    QTest::keyClick(editor->canvasView(), Qt::Key_Escape);
    ASSERT_TRUE(alertTitled(EditorPrompts::DiscardChangesTitle));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::DiscardChangesTitle), 1));
    EXPECT_TRUE(isOpen());
    rootScreen()->dismiss(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    KuvBaseSketch* popup = openSketch(SketchId, {}, PresentationStyle::FormSheet);
    draw(popup, {{200, 200}, {260, 240}});
    QTest::keyClick(popup->canvasView(), Qt::Key_Escape);
    ASSERT_TRUE(alertTitled(EditorPrompts::DiscardChangesTitle));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::DiscardChangesTitle), 1));
    ASSERT_TRUE(isOpen());
    auto* sheet = qobject_cast<FormSheetDialog*>(popup->window());
    ASSERT_TRUE(sheet);
    sheet->close();
    EXPECT_TRUE(alertTitled(EditorPrompts::DiscardChangesTitle));
    EXPECT_TRUE(isOpen());
}

TEST_F(SketchEditorTest, popupZoomSizesItsOwnSheetAndNeverTheMainWindow)
{
    const QSize windowMinimum = app->window()->minimumSize();
    const QSize windowSize = app->window()->size();
    KuvBaseSketch* popup = openSketch(SketchId, {}, PresentationStyle::FormSheet);
    auto* sheet = qobject_cast<FormSheetDialog*>(popup->window());
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(popup->zoomButton()->isVisible());
    EXPECT_FALSE(popup->zoomed());
    EXPECT_EQ(sheet->size(), QSize(540, 620));
    EXPECT_EQ(sheet->minimumSize(), QSize(540, 620));
    EXPECT_EQ(sheet->maximumSize(), QSize(1000, 800));

    popup->zoomButton()->trigger();
    EXPECT_TRUE(popup->zoomed());
    EXPECT_TRUE(UserDefaults::standard().boolForKey(QStringLiteral("PrefPreferZoom")));
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    // The sheet grows as far as the window's content area lets it, and no further.
    const QSize asked = screen.boundedTo(QSize(1000, 800)).expandedTo(QSize(540, 620));
    EXPECT_EQ(sheet->size(), FormSheetDialog::placement(asked, FormSheetDialog::contentArea(app->window())).size());
    EXPECT_GT(sheet->height(), 620);
    popup->zoomButton()->trigger();
    EXPECT_FALSE(UserDefaults::standard().boolForKey(QStringLiteral("PrefPreferZoom")));
    EXPECT_EQ(sheet->size(), QSize(540, 620));

    EXPECT_EQ(app->window()->minimumSize(), windowMinimum);
    EXPECT_EQ(app->window()->minimumSize(), QSize(1024, 768));
    EXPECT_EQ(app->window()->size(), windowSize);
}

TEST_F(SketchEditorTest, popupOpensZoomedWhenTheWriterPrefersIt)
{
    UserDefaults::standard().setValue(QStringLiteral("PrefPreferZoom"), true);
    KuvBaseSketch* popup = openSketch(SketchId, {}, PresentationStyle::FormSheet);
    EXPECT_TRUE(popup->zoomed());
    rootScreen()->dismiss(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The full-window editor has no sheet to size.
    KuvBaseSketch* full = openSketch();
    EXPECT_FALSE(full->zoomButton()->isVisible());
    EXPECT_FALSE(full->zoomed());
}

TEST_F(SketchEditorTest, exportWritesPrivatelyAndAnEmptyTitleExportsAsUntitled)
{
    KuvBaseSketch* editor = openSketch();
    editor->titleView()->setText(QStringLiteral("/?*"));
    const QString exports =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("Exports"));
    QTemporaryDir chosen;
    const QString destination = chosen.filePath(QStringLiteral("map.png"));
    QString suggested;
    QStringList privateFiles;
    bool done = false;
    DocumentPicker::setChooser([&](QWidget*, const QString& name, DocumentPicker::Done finish) {
        suggested = name;
        QDirIterator files(exports, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            privateFiles.append(files.next());
        finish(destination);
        done = true;
    });
    editor->exportPNG();
    ASSERT_TRUE(waitFor([&] { return done; }));
    EXPECT_EQ(suggested, QStringLiteral("Untitled.png"));
    ASSERT_EQ(privateFiles.size(), 1);
    EXPECT_TRUE(privateFiles.first().endsWith(QStringLiteral("/Untitled.png")));
    EXPECT_FALSE(QFile::exists(privateFiles.first()));
    const QImage image(destination);
    ASSERT_FALSE(image.isNull());
    EXPECT_NEAR(image.width(), editor->canvasView()->drawing().bounds().width() * 3.0, 1.0);

    suggested.clear();
    done = false;
    editor->titleView()->setText(QString());
    editor->exportPNG();
    ASSERT_TRUE(waitFor([&] { return done; }));
    EXPECT_EQ(suggested, QStringLiteral("Untitled.png"));
}

TEST_F(SketchEditorTest, importedSketchOutlineWithoutContentIsDrawnOnSavedAndReopened)
{
    const QString path = dir.filePath(QStringLiteral("import.opml"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"1.0\"><head><title>T</title></head>"
               "<body><outline text=\"Tide chart\" _note=\"\" _type=\"location\" _format=\"sketch\" _summary=\"\""
               " _tag=\"\" _cardNotes=\"\"></outline></body></opml>\n");
    file.close();
    std::optional<bool> stored;
    Opml().putOpml(context(), path, ProjectId, FolderId, 10, [&stored](bool ok) { stored = ok; });
    ASSERT_EQ(stored, std::optional<bool>(true));
    QString cardId;
    for (ProjectItem* item : DbHelpers::getFolderItems(context(), ProjectId, FolderId)) {
        if (item->title() == QStringLiteral("Tide chart"))
            cardId = item->uniqueIdentifier();
    }
    ASSERT_FALSE(cardId.isEmpty());

    KuvBaseSketch* editor = openSketch(cardId, {}, PresentationStyle::FormSheet, ProjectItemTypes::Location);
    EXPECT_FALSE(alertTitled(EditorPrompts::UnreadableTitle));
    EXPECT_FALSE(editor->drawingUnreadable());
    EXPECT_TRUE(editor->canvasView()->isEnabled());
    EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 0u);
    draw(editor, {{40, 40}, {140, 90}});
    draw(editor, {{60, 200}, {220, 260}, {300, 200}});
    ASSERT_TRUE(save(editor));
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));

    KuvBaseSketch* reopened = openSketch(cardId, {}, PresentationStyle::FormSheet, ProjectItemTypes::Location);
    EXPECT_FALSE(alertTitled(EditorPrompts::UnreadableTitle));
    EXPECT_EQ(reopened->canvasView()->drawing().strokeCount(), 2u);
    EXPECT_EQ(countOf<ProjectItemDocument>(QStringLiteral("parentItemId == %@"), {cardId}), 1);
    EXPECT_EQ(documentOf(cardId)->mimetype(), DrawingMimeType);
}

TEST_F(SketchEditorTest, emptyCanvasFillsTheViewAndFollowsItWhenTheWindowGrows)
{
    app->window()->show();
    KuvBaseSketch* editor = openSketch(QString());
    ASSERT_TRUE(waitFor([editor] { return editor->isVisible() && editor->width() > 200; }));
    InkCanvas* canvas = editor->canvasView();
    QWidget* viewport = editor->sketchViewContainer()->viewport();
    EXPECT_EQ(canvas->size(), viewport->size());
    const QSize before = viewport->size();
    app->window()->resize(app->window()->size() + QSize(200, 150));
    ASSERT_TRUE(waitFor([viewport, before] { return viewport->size() != before; }));
    EXPECT_EQ(canvas->size(), viewport->size()) << "a stroke anywhere in the view lands on the canvas";
}

} // namespace
