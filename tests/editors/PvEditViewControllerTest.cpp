#include "EditorFixture.h"

#include "TestInk.h"
#include "TestScreenshots.h"
#include "core/Indexer.h"
#include "core/SettingsHelper.h"
#include "dialogs/TagMenuController.h"
#include "platform/ColorScheme.h"
#include "platform/DrawnSymbolIconEngine.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/UserNotificationRequest.h"
#include "stats/AchievementsManager.h"
#include "stats/StatisticsViewController.h"

#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

namespace {

class PvEditViewControllerTest : public EditorFixture {
protected:
    // The statistics sheet the editor shows, once it is up.
    StatisticsViewController* presentedStatistics(PvEditViewController* editor)
    {
        StatisticsViewController* found = nullptr;
        EXPECT_TRUE(waitFor([&] {
            auto* sheet = qobject_cast<NavigationController*>(editor->presentedViewController());
            found = sheet ? qobject_cast<StatisticsViewController*>(sheet->topViewController()) : nullptr;
            return found != nullptr;
        }));
        return found;
    }
    QString storedText(const QString& cardId)
    {
        ProjectItemDocument* document = DbHelpers::getItemDocument(context(), cardId);
        if (!document)
            return {};
        const RichTextDocumentFormat::LoadResult loaded = RichTextDocumentFormat::loadFrom(document->content());
        return loaded.document ? loaded.document->toPlainText() : QString();
    }
    QByteArray storedTerms(const QString& cardId) const
    {
        return storedValue(QStringLiteral("SELECT terms FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(cardId));
    }
    QList<ProjectStat*> stats(const QString& itemId)
    {
        FetchRequest request = ProjectStat::fetchRequest();
        request.setPredicate(QStringLiteral("projectItemId == %@"), {itemId});
        QList<ProjectStat*> found;
        for (ManagedObject* object : context()->fetch(request))
            found.append(static_cast<ProjectStat*>(object));
        return found;
    }
};

TEST_F(PvEditViewControllerTest, storyboardBuildsTheFullEditorForEditView)
{
    ViewController* made = Storyboard::instantiate(PvEditViewController::StoryboardIdentifier);
    EXPECT_TRUE(dynamic_cast<PvEditViewController*>(made));
    delete made;
}

TEST_F(PvEditViewControllerTest, toolbarRunsAlongTheFootOfTheText)
{
    app->window()->show();
    PvEditViewController* editor = open();
    ASSERT_TRUE(waitFor([editor] { return editor->isVisible() && editor->height() > 200; }));
    const QRect tools = editor->toolbar()->geometry();
    EXPECT_EQ(tools.top(), editor->editor()->geometry().bottom() + 1);
    EXPECT_EQ(tools.bottom(), editor->height() - 1);
    EXPECT_EQ(tools.width(), editor->width());
    // The word count stands in the middle, between the buttons at either end.
    EXPECT_LT(std::abs(editor->statusLabel()->geometry().center().x() - tools.width() / 2), tools.width() / 8);
}

TEST_F(PvEditViewControllerTest, loadShowsTheBodyTheWordCountAndNoChange)
{
    PvEditViewController* editor = open();
    EXPECT_EQ(editor->editor()->toPlainText(), CardText);
    EXPECT_EQ(editor->statusLabel()->text(), QStringLiteral("Words: 6"));
    EXPECT_FALSE(editor->cardChanged());
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    EXPECT_FALSE(app->hasPrimaryCardEdits);
    // Stored at base size, shown at the registered zoom.
    QTextCursor first(editor->editor()->document());
    first.setPosition(1);
    EXPECT_DOUBLE_EQ(first.charFormat().fontPointSize(), 17.5);
}

TEST_F(PvEditViewControllerTest, statisticsFromTheEditorCountTheUnsavedStretch)
{
    PvEditViewController* editor = open();
    ASSERT_TRUE(waitFor([&] { return editor->contentLoaded(); }));
    type(editor, QStringLiteral(" three more words"));
    editor->presentStatistics();
    auto* sheet = qobject_cast<NavigationController*>(editor->presentedViewController());
    ASSERT_NE(sheet, nullptr);
    auto* statistics = qobject_cast<StatisticsViewController*>(sheet->topViewController());
    ASSERT_NE(statistics, nullptr);
    ASSERT_TRUE(statistics->unsavedStats().has_value());
    EXPECT_EQ(statistics->unsavedStats()->wordCount(), 3);
    EXPECT_EQ(statistics->unsavedStats()->projectItemId(), CardId);
}

// The daily-average notice counts the words written since the card opened, never the words it already held.
TEST_F(PvEditViewControllerTest, openingALongCardPostsNoDailyNoticeOnlyWordsGainedReachIt)
{
    // Ten words on each of the six days before today: an average of ten to reach, nothing written yet today.
    for (int day = 1; day <= 6; ++day) {
        auto* record = context()->insertNew<ProjectStat>();
        record->setUniqueIdentifier(QStringLiteral("STAT-%1").arg(day));
        record->setProjectId(ProjectId);
        record->setProjectItemId(CardId);
        record->setStartTime(QDateTime::currentDateTime().addDays(-day));
        record->setTime(60);
        record->setWordCount(10);
    }
    QTextDocument body;
    body.setPlainText(QStringList(200, QStringLiteral("word")).join(QLatin1Char(' ')));
    DbHelpers::getItemDocument(context(), CardId)->setContent(*RichTextDocumentFormat::getData(body, 1.0));
    DbHelpers::getItem(context(), CardId)->setWordCount(200);
    ASSERT_FALSE(context()->save());
    // Owned by the window, as the board's is by the board: it outlives the editor.
    auto* manager = new AchievementsManager(context(), ProjectId, app->window());
    auto notices = std::make_shared<int>(0);
    manager->setNoticePoster([notices](const UserNotificationRequest&) { ++*notices; });
    achievements = manager;

    PvEditViewController* editor = open();
    ASSERT_EQ(editor->wordCount(), 200);
    EXPECT_FALSE(manager->hitDailyAverage()) << "six days of writing arm the notice";
    EXPECT_EQ(*notices, 0) << "opening a card gains no words";
    type(editor, QStringLiteral(" one two three four five six seven eight nine"));
    EXPECT_EQ(*notices, 0);
    type(editor, QStringLiteral(" ten"));
    EXPECT_EQ(*notices, 1) << "the tenth word gained reaches the average";
}

TEST_F(PvEditViewControllerTest, statisticsRowAndWordCountClickShowTheUnsavedWords)
{
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" and four more words"));
    QMenu* menu = editor->overflowButton()->menu();
    menu->popup(editor->mapToGlobal(QPoint(200, 200)));
    ASSERT_TRUE(waitFor([menu] { return menu->isVisible(); }));
    QAction* row = nullptr;
    for (QAction* action : menu->actions())
        if (action->text() == EditorCommands::StatisticsRow)
            row = action;
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(menu->actions().last(), row);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(row).center());
    StatisticsViewController* statistics = presentedStatistics(editor);
    ASSERT_NE(statistics, nullptr);
    ASSERT_TRUE(statistics->unsavedStats().has_value());
    EXPECT_EQ(statistics->unsavedStats()->wordCount(), 4);
    editor->presentedViewController()->dismiss(false);
    ASSERT_TRUE(waitFor([editor] { return !editor->presentedViewController(); }));

    type(editor, QStringLiteral(" five"));
    ASSERT_EQ(editor->statusLabel()->text(), QStringLiteral("Words: 11"));
    QTest::mouseClick(editor->statusLabel(), Qt::LeftButton);
    statistics = presentedStatistics(editor);
    ASSERT_NE(statistics, nullptr);
    ASSERT_TRUE(statistics->unsavedStats().has_value());
    EXPECT_EQ(statistics->unsavedStats()->wordCount(), 5);
    EXPECT_EQ(statistics->unsavedStats()->projectItemId(), CardId);
}

TEST_F(PvEditViewControllerTest, wordCountOnlyAnswersALeftClick)
{
    PvEditViewController* editor = open();
    QTest::mouseClick(editor->statusLabel(), Qt::RightButton);
    runEventsFor(50);
    EXPECT_EQ(editor->presentedViewController(), nullptr);
    // Pressed on the count and let go beside it: no click.
    QTest::mousePress(editor->statusLabel(), Qt::LeftButton);
    QTest::mouseRelease(editor->statusLabel(), Qt::LeftButton, {},
                        QPoint(editor->statusLabel()->width(), editor->statusLabel()->height() / 2));
    runEventsFor(50);
    EXPECT_EQ(editor->presentedViewController(), nullptr);
}

TEST_F(PvEditViewControllerTest, saveWritesEveryFieldOneWritingRecordAndStampsUpTheChain)
{
    PvEditViewController* editor = open();
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    type(editor, QStringLiteral(" Gulls cried"));
    EXPECT_TRUE(editor->cardChanged());
    EXPECT_TRUE(app->hasPrimaryCardEdits);
    EXPECT_EQ(editor->statusLabel()->text(), QStringLiteral("Words: 8"));
    editor->setTag(QStringLiteral("done"));
    editor->setNotes(QStringLiteral("check the tide tables"));

    ASSERT_TRUE(save(editor));
    const QString text = QStringLiteral("The lamp was lit at dusk. Gulls cried");
    ProjectItem* card = DbHelpers::getItem(context(), CardId);
    EXPECT_EQ(card->title(), QStringLiteral("Lighthouse"));
    EXPECT_EQ(card->summary(), text);
    EXPECT_EQ(card->wordCount(), 8);
    EXPECT_EQ(card->charCount(), 37);
    EXPECT_EQ(card->tag(), QStringLiteral("done"));
    EXPECT_EQ(card->notes(), QStringLiteral("check the tide tables"));
    EXPECT_EQ(card->terms(), Indexer::terms({QStringLiteral("Lighthouse"), text}));
    EXPECT_TRUE(card->terms().contains(QStringLiteral(" gulls")));
    EXPECT_EQ(storedText(CardId), text);
    EXPECT_GE(card->lastModified(), before);
    EXPECT_GE(DbHelpers::getItem(context(), FolderId)->lastModified(), before);
    EXPECT_GE(DbHelpers::getProject(context(), ProjectId)->lastModified(), before);
    const QList<ProjectStat*> records = stats(CardId);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.first()->wordCount(), 2);
    EXPECT_EQ(records.first()->projectId(), ProjectId);
    EXPECT_GE(records.first()->time(), 0);
    EXPECT_GE(records.first()->startTime(), before);
    FetchRequest cursor = EditorState::fetchRequest();
    cursor.setPredicate(QStringLiteral("cardItemId == %@"), {CardId});
    ASSERT_EQ(context()->count(cursor), 1);
    EXPECT_EQ(static_cast<EditorState*>(context()->fetch(cursor).first())->cursorPosition(), text.size());
    // Saved and closed: the quit guard is down.
    EXPECT_TRUE(waitFor([this] { return !isOpen(); }));
    EXPECT_FALSE(app->hasPrimaryCardEdits);
}

TEST_F(PvEditViewControllerTest, deletingWordsWritesANegativeWritingRecord)
{
    PvEditViewController* editor = open();
    editor->editor()->moveCursor(QTextCursor::End);
    for (int i = 0; i < int(QStringLiteral(" at dusk.").size()); ++i)
        QTest::keyClick(editor->editor(), Qt::Key_Backspace);
    ASSERT_TRUE(save(editor));
    const QList<ProjectStat*> records = stats(CardId);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.first()->wordCount(), -2);
}

TEST_F(PvEditViewControllerTest, saveUndoAndRedoLookDisabledUntilTheyCanActInBothAppearances)
{
    app->window()->show();
    struct PaletteKept {
        QPalette palette = QApplication::palette();
        ~PaletteKept() { QApplication::setPalette(palette); }
    } light;
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        QApplication::setPalette(dark ? darkPalette(light.palette) : light.palette);
        PvEditViewController* editor = open();
        auto* save = navigation->findChild<QToolButton*>(QStringLiteral("saveButton"));
        QWidget* undo = editor->toolbar()->widgetForAction(editor->undoButton());
        QWidget* redo = editor->toolbar()->widgetForAction(editor->redoButton());
        ASSERT_TRUE(save && undo && redo);
        const QColor tint = save->palette().color(QPalette::Active, QPalette::ButtonText);
        const QColor glyphInk = DrawnSymbolIconEngine::ink(dark);
        // A fresh card has nothing to save, undo or redo.
        ASSERT_FALSE(save->isEnabled() || undo->isEnabled() || redo->isEnabled());
        const QImage saveOff = save->grab().toImage();
        const QImage undoOff = undo->grab().toImage();
        const QImage redoOff = redo->grab().toImage();
        type(editor, QStringLiteral(" x"));
        ASSERT_TRUE(save->isEnabled() && undo->isEnabled());
        const QImage saveOn = save->grab().toImage();
        const QImage undoOn = undo->grab().toImage();
        editor->undoButton()->trigger();
        ASSERT_TRUE(redo->isEnabled() && !undo->isEnabled());
        const QImage redoOn = redo->grab().toImage();
        EXPECT_TRUE(saveOff != saveOn) << "Save looks the same disabled and enabled";
        EXPECT_TRUE(undoOff != undoOn) << "Undo looks the same disabled and enabled";
        EXPECT_TRUE(redoOff != redoOn) << "Redo looks the same disabled and enabled";
        // Disabled in its own ink dimmed, enabled in the ink again.
        const auto dimmedOn = [](const QColor& ink, const QImage& ground) {
            return overGround(ColorScheme::dimmed(ink), ground.pixelColor(0, 0));
        };
        EXPECT_LT(colourDistance(strongestInk(saveOff), dimmedOn(tint, saveOff)), 40)
            << strongestInk(saveOff).name().toStdString();
        for (const QImage* off : {&undoOff, &redoOff})
            EXPECT_LT(colourDistance(strongestInk(*off), dimmedOn(glyphInk, *off)), 40)
                << strongestInk(*off).name().toStdString();
        EXPECT_LT(colourDistance(strongestInk(saveOn), tint), 40) << strongestInk(saveOn).name().toStdString();
        for (const QImage* on : {&undoOn, &redoOn})
            EXPECT_LT(colourDistance(strongestInk(*on), glyphInk), 40) << strongestInk(*on).name().toStdString();
        EXPECT_TRUE(undo->grab().toImage() == undoOff) << "disabled again, Undo looks as it did";
        // The text-size button always works, and is drawn in the ink of its working neighbours.
        QWidget* font = editor->toolbar()->widgetForAction(editor->fontButton());
        ASSERT_TRUE(font && font->isEnabled());
        const QColor fontInk = strongestInk(font->grab().toImage());
        EXPECT_LT(colourDistance(fontInk, glyphInk), 40) << fontInk.name().toStdString();
        ASSERT_NO_FATAL_FAILURE(discardChanges(editor));
    }
}

TEST_F(PvEditViewControllerTest, tagOnlyChangeWritesNoRecordAndKeepsTheBody)
{
    PvEditViewController* editor = open();
    const QByteArray body = DbHelpers::getItemDocument(context(), CardId)->content();
    const QDateTime before = QDateTime::currentDateTime();
    editor->commands().applyTag(QStringLiteral("warning"));
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    ASSERT_TRUE(save(editor));
    // The card and its folder count as changed now, for the board's order and for sync.
    EXPECT_GE(DbHelpers::getItem(context(), CardId)->lastModified(), before);
    EXPECT_GE(DbHelpers::getItem(context(), FolderId)->lastModified(), before);
    EXPECT_EQ(DbHelpers::getItem(context(), CardId)->tag(), QStringLiteral("warning"));
    EXPECT_EQ(DbHelpers::getItemDocument(context(), CardId)->content(), body);
    EXPECT_EQ(DbHelpers::getItem(context(), CardId)->wordCount(), 6);
    EXPECT_TRUE(stats(CardId).isEmpty());
}

TEST_F(PvEditViewControllerTest, newCardTakesItsOrderFromTheFolderAsStoredNotFromTheFilteredList)
{
    PvEditViewController* editor = open(QString());
    // Until it is stored the card has no document to write and no place to remember.
    EXPECT_TRUE(editor->saveContent());
    editor->saveCursorPosition(3);
    EXPECT_FALSE(context()->hasChanges());
    // The board showed only one of the folder's three cards.
    editor->setFetchedResults({DbHelpers::getItem(context(), QStringLiteral("CARD-2"))});
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    type(editor, QStringLiteral("Fog rolled in over the quay"));
    ASSERT_TRUE(save(editor));
    ASSERT_EQ(added.size(), 1);
    ProjectItem* card = added.first();
    EXPECT_EQ(card->displayOrder(), 4);
    EXPECT_EQ(card->title(), QStringLiteral("Fog rolled in over the quay"));
    EXPECT_EQ(card->itemFormat(), ProjectItemFormats::Text);
    EXPECT_EQ(card->folderType(), ProjectFolderTypes::Card);
    EXPECT_EQ(storedValue(QStringLiteral("SELECT itemFormat || ':' || folderType FROM ProjectItem WHERE "
                                         "uniqueIdentifier = '%1'")
                              .arg(card->uniqueIdentifier())),
              QByteArray("0:1"));
    EXPECT_EQ(card->parentItemId(), FolderId);
    const QList<ProjectStat*> records = stats(card->uniqueIdentifier());
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.first()->wordCount(), 6);
}

TEST_F(PvEditViewControllerTest, failedSaveKeepsTheEditorOpenChangedAndGuarded)
{
    // A save that wrongly succeeds closes the editor and deletes it; the rest of the test must not reach it then.
    QPointer<PvEditViewController> editor = open(QString());
    type(editor, QStringLiteral("Words that must survive"));
    const QString snapshotPath = writeStandInSnapshot();
    ASSERT_TRUE(QFile::exists(snapshotPath));
    ASSERT_NO_FATAL_FAILURE(refuseWrites(QStringLiteral("INSERT ON ProjectStat")));

    ASSERT_FALSE(save(editor.data()));
    EXPECT_TRUE(alertTitled(DbHelpers::SaveErrorTitle));
    ASSERT_TRUE(isOpen());
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->cardChanged());
    EXPECT_TRUE(app->hasPrimaryCardEdits);
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, false));
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    EXPECT_TRUE(editor->cancelButton()->isEnabled());
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("Words that must survive"));
    EXPECT_TRUE(added.isEmpty());
    ASSERT_NO_FATAL_FAILURE(dismissSaveError());

    // The retry reuses what the failed attempt made: one card, one body, one writing record.
    ASSERT_NO_FATAL_FAILURE(allowWrites());
    // Another screen saves the shared context first, storing what the failed attempt left pending.
    ASSERT_FALSE(context()->save());
    ASSERT_TRUE(save(editor.data()));
    EXPECT_EQ(countOf<ProjectItem>(QStringLiteral("title == %@"), {QStringLiteral("Words that must survive")}), 1);
    ASSERT_EQ(added.size(), 1);
    const QString id = added.first()->uniqueIdentifier();
    EXPECT_EQ(countOf<ProjectItemDocument>(QStringLiteral("parentItemId == %@"), {id}), 1);
    ASSERT_EQ(stats(id).size(), 1);
    EXPECT_EQ(stats(id).first()->wordCount(), 4);
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, false));
    EXPECT_FALSE(app->hasPrimaryCardEdits);
}

TEST_F(PvEditViewControllerTest, discardAfterAFailedSaveLeavesNothingPendingForTheNextSave)
{
    PvEditViewController* editor = open(QString());
    type(editor, QStringLiteral("Never wanted"));
    ASSERT_NO_FATAL_FAILURE(failSaveThenDiscard(editor, QStringLiteral("INSERT ON ProjectStat")));
    EXPECT_FALSE(context()->hasChanges()) << "the stamps of the card's folder and project stay pending";
    // Whatever saves next must not bring the discarded card back.
    context()->save();
    EXPECT_EQ(countOf<ProjectItem>(QStringLiteral("title == %@"), {QStringLiteral("Never wanted")}), 0);
    EXPECT_EQ(countOf<ProjectStat>(), 0);
}

TEST_F(PvEditViewControllerTest, unreadableBodyIsShownAsAnErrorAndNeverSavedOver)
{
    const QByteArray garbage = unreadableBytes();
    // The card is found by the words of its body, which the editor cannot show.
    DbHelpers::getItem(context(), CardId)->setTerms(Indexer::terms({QStringLiteral("Lighthouse"), CardText}));
    // In the card's document, then on the card itself as older cards keep it.
    for (const bool onTheCard : {false, true}) {
        SCOPED_TRACE(onTheCard ? "body on the card" : "body in its document");
        if (onTheCard) {
            ASSERT_NO_FATAL_FAILURE(keepBodyOnTheCard(CardId, garbage));
        } else {
            DbHelpers::getItemDocument(context(), CardId)->setContent(garbage);
            ASSERT_FALSE(context()->save());
        }
        const QByteArray terms = storedTerms(CardId);
        PvEditViewController* editor = open();
        Alert* error = alertTitled(EditorPrompts::UnreadableTitle);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->message(), PvBaseEditor::UnreadableMessage);
        ASSERT_TRUE(press(error, 0));
        EXPECT_TRUE(editor->bodyUnreadable());
        EXPECT_TRUE(editor->editor()->isReadOnly());
        type(editor, QStringLiteral("over it"));
        EXPECT_TRUE(editor->editor()->toPlainText().isEmpty());
        // Nor is a list command a change of the body shown in its place.
        editor->commands().bulletList();
        EXPECT_FALSE(editor->cardChanged());
        EXPECT_FALSE(editor->saveButton()->isEnabled());
        EXPECT_TRUE(editor->autoSaveSnapshot().isEmpty());
        EXPECT_FALSE(editor->saveContent());
        // A change of its details is saved; the body stays as stored, with no new document in front of it, and
        // the card is still found by the words of that body.
        const QByteArray tag = onTheCard ? "sent" : "done";
        editor->commands().applyTag(QString::fromLatin1(tag));
        if (onTheCard) {
            ASSERT_NO_FATAL_FAILURE(rename(editor, QStringLiteral("Lighthouse keeper")));
        }
        ASSERT_TRUE(save(editor));
        ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
        EXPECT_EQ(storedValue(QStringLiteral("SELECT tag FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(CardId)),
                  tag);
        EXPECT_EQ(onTheCard ? storedCardBytes(CardId) : storedDocumentBytes(CardId), garbage);
        EXPECT_EQ(countOf<ProjectItemDocument>(QStringLiteral("parentItemId == %@"), {CardId}), onTheCard ? 0 : 1);
        if (onTheCard) {
            EXPECT_TRUE(storedTerms(CardId).startsWith(" lighthouse keeper ")) << storedTerms(CardId).constData();
            EXPECT_TRUE(storedTerms(CardId).contains(" lamp ")) << storedTerms(CardId).constData();
        } else {
            EXPECT_EQ(storedTerms(CardId), terms);
        }
    }
}

TEST_F(PvEditViewControllerTest, untitledCardIsRetitledFromItsText)
{
    DbHelpers::getItem(context(), CardId)->setTitle(QStringLiteral("Untitled Story Card"));
    ASSERT_FALSE(context()->save());
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" Again."));
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(DbHelpers::getItem(context(), CardId)->title(), QStringLiteral("The lamp was lit at dusk. Again."));
}

TEST_F(PvEditViewControllerTest, saveClickedTwiceMakesOneCardAndOneRecord)
{
    Delays::setFactor(0.25);
    PvEditViewController* editor = open(QString());
    type(editor, QStringLiteral("Once only"));
    int finished = 0;
    QObject::connect(editor, &PvEditViewController::saveFinished, [&finished](bool) { ++finished; });
    ASSERT_TRUE(editor->listButton()->isEnabled());
    editor->saveButton()->trigger();
    // During the wait every way to a second save or to closing is shut, and no list is offered.
    EXPECT_FALSE(editor->listButton()->isEnabled());
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    EXPECT_FALSE(editor->cancelButton()->isEnabled());
    EXPECT_FALSE(editor->overflowButton()->isEnabled());
    EXPECT_FALSE(editor->fontButton()->isEnabled());
    // A keystroke that lands before the write is part of it: it must not open the way to a second save.
    type(editor, QStringLiteral("!"));
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    editor->saveCard();
    editor->confirmCancel();
    EXPECT_FALSE(alertTitled(EditorPrompts::DiscardChangesTitle));
    ASSERT_TRUE(waitFor([&finished] { return finished > 0; }));
    runEventsFor(150);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(countOf<ProjectItem>(QStringLiteral("title == %@"), {QStringLiteral("Once only!")}), 1);
    EXPECT_EQ(countOf<ProjectStat>(), 1);
}

TEST_F(PvEditViewControllerTest, rememberedCursorIsPlacedAgainAndOnePastTheTextGoesToItsEnd)
{
    // Words deleted elsewhere since can leave the remembered place beyond the text: the caret then ends it.
    const qint64 end = CardText.size();
    for (const auto& [remembered, placed] :
         {std::pair{qint64(7), qint64(7)}, std::pair{end, end}, std::pair{end + 1, end}}) {
        SCOPED_TRACE(remembered);
        context()->refreshAllObjects();
        EditorState* state = nullptr;
        FetchRequest request = EditorState::fetchRequest();
        request.setPredicate(QStringLiteral("cardItemId == %@"), {CardId});
        if (const QList<ManagedObject*> found = context()->fetch(request); !found.isEmpty())
            state = static_cast<EditorState*>(found.first());
        else
            state = context()->insertNew<EditorState>();
        state->setCardItemId(CardId);
        state->setCursorPosition(remembered);
        ASSERT_FALSE(context()->save());
        PvEditViewController* editor = open();
        EXPECT_EQ(editor->editor()->textCursor().position(), placed);
        editor->cancelButton()->trigger();
        ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    }
}

TEST_F(PvEditViewControllerTest, rememberedCursorFarDownTheCardIsScrolledIntoView)
{
    QStringList lines;
    for (int line = 0; line < 300; ++line)
        lines << QStringLiteral("Line %1 of the long chapter.").arg(line);
    QTextDocument body;
    body.setPlainText(lines.join(u'\n'));
    DbHelpers::getItemDocument(context(), CardId)->setContent(*RichTextDocumentFormat::getData(body, 1.0));
    EditorState* state = context()->insertNew<EditorState>();
    state->setCardItemId(CardId);
    state->setCursorPosition(body.characterCount() - 1);
    ASSERT_FALSE(context()->save());
    app->window()->show();
    PvEditViewController* editor = open();
    ASSERT_TRUE(waitFor([editor] { return editor->editor()->isVisible(); }));
    QScrollBar* scroll = editor->editor()->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 0);
    PvTextView* text = editor->editor();
    EXPECT_TRUE(waitFor([text] { return text->viewport()->rect().contains(text->cursorRect()); }));
    EXPECT_GT(scroll->value(), 0);
}

TEST_F(PvEditViewControllerTest, titleViewAndToolbarPartsAreFoundUnderTheirNames)
{
    PvEditViewController* editor = open();
    ASSERT_NE(editor->navigationItem()->titleView(), nullptr);
    QWidget* shown = editor->navigationItem()->titleView();
    EXPECT_EQ(navigation->findChild<QWidget*>(QStringLiteral("editorTitleView")), shown);
    EXPECT_EQ(editor->findChild<QLabel*>(QStringLiteral("statusLabel")), editor->statusLabel());
    EXPECT_EQ(editor->findChild<QToolBar*>(QStringLiteral("editorToolbar")), editor->toolbar());
    const QList<std::pair<QString, QAction*>> buttons = {{QStringLiteral("fontButton"), editor->fontButton()},
                                                         {QStringLiteral("listButton"), editor->listButton()},
                                                         {QStringLiteral("backwardsButton"), editor->backwardsButton()},
                                                         {QStringLiteral("forwardsButton"), editor->forwardsButton()},
                                                         {QStringLiteral("undoButton"), editor->undoButton()},
                                                         {QStringLiteral("redoButton"), editor->redoButton()},
                                                         {QStringLiteral("overflowButton"), editor->overflowButton()}};
    for (const auto& [name, button] : buttons)
        EXPECT_EQ(editor->findChild<QAction*>(name), button) << name.toStdString();
    // Without a search there are no hits to step through.
    EXPECT_FALSE(editor->backwardsButton()->isVisible());
    EXPECT_FALSE(editor->forwardsButton()->isVisible());
}

TEST_F(PvEditViewControllerTest, searchOpenedWithSeveralHitsOffersTheNextHitButNoPrevious)
{
    auto* editor = dynamic_cast<PvEditViewController*>(Storyboard::instantiate(QStringLiteral("editView")));
    ASSERT_TRUE(editor);
    editor->setManagedObjectContext(context());
    editor->setCurrentObject(DbHelpers::getItem(context(), CardId));
    editor->setCurrentProjectId(ProjectId);
    editor->setCurrentFolderId(FolderId);
    editor->setCurrentItemType(ProjectItemTypes::Story);
    // "The lamp was lit at dusk.": three hits.
    editor->setRegexQuery(QStringLiteral("(a)"));
    navigation = new NavigationController(editor);
    rootScreen()->present(navigation, false, {}, PresentationStyle::FullScreen);
    ASSERT_TRUE(waitFor([editor] { return editor->contentLoaded(); }));
    EXPECT_TRUE(editor->forwardsButton()->isEnabled());
    EXPECT_FALSE(editor->backwardsButton()->isEnabled());
    EXPECT_TRUE(editor->forwardsButton()->isVisible());
    EXPECT_TRUE(editor->backwardsButton()->isVisible());
}

TEST_F(PvEditViewControllerTest, cancelOnAnUnchangedCardForgetsTheCursor)
{
    auto* state = context()->insertNew<EditorState>();
    state->setCardItemId(CardId);
    state->setCursorPosition(57);
    ASSERT_FALSE(context()->save());
    PvEditViewController* editor = open();
    editor->cancelButton()->trigger();
    EXPECT_FALSE(alertTitled(EditorPrompts::DiscardChangesTitle));
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    context()->refreshAllObjects();
    FetchRequest cursor = EditorState::fetchRequest();
    cursor.setPredicate(QStringLiteral("cardItemId == %@"), {CardId});
    EXPECT_EQ(static_cast<EditorState*>(context()->fetch(cursor).first())->cursorPosition(), 0);
}

TEST_F(PvEditViewControllerTest, cancelOnAChangedCardAsksAndKeepsTheTextUntilDiscard)
{
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" More"));
    editor->cancelButton()->trigger();
    Alert* discard = alertTitled(EditorPrompts::DiscardChangesTitle);
    ASSERT_TRUE(discard);
    EXPECT_EQ(discard->message(), EditorPrompts::DiscardChangesMessage);
    EXPECT_EQ(discard->actionTitles(), (QStringList{QStringLiteral("Discard"), QStringLiteral("Cancel")}));
    ASSERT_TRUE(press(discard, 1));
    ASSERT_TRUE(isOpen());
    EXPECT_TRUE(editor->editor()->toPlainText().endsWith(QStringLiteral(" More")));
    editor->cancelButton()->trigger();
    ASSERT_TRUE(alertTitled(EditorPrompts::DiscardChangesTitle));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::DiscardChangesTitle), 0));
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    EXPECT_FALSE(app->hasPrimaryCardEdits);
    EXPECT_EQ(storedText(CardId), CardText);
}

TEST_F(PvEditViewControllerTest, escapeAndTheSheetCloseButtonGoThroughCancel)
{
    PvEditViewController* editor = open(CardId, std::nullopt, PresentationStyle::FormSheet);
    // The board stays on screen behind a popup, so only the loaded card itself lets its indicator go.
    EXPECT_FALSE(ProgressHud::isActive());
    type(editor, QStringLiteral(" typed"));
    QTest::keyClick(editor->editor(), Qt::Key_Escape);
    ASSERT_TRUE(alertTitled(EditorPrompts::DiscardChangesTitle));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::DiscardChangesTitle), 1));
    ASSERT_TRUE(isOpen());
    QWidget* sheet = navigation->window();
    ASSERT_NE(sheet, app->window());
    sheet->close();
    ASSERT_TRUE(isOpen());
    ASSERT_TRUE(alertTitled(EditorPrompts::DiscardChangesTitle));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::DiscardChangesTitle), 1));
    ASSERT_TRUE(isOpen());
    EXPECT_TRUE(editor->editor()->toPlainText().endsWith(QStringLiteral(" typed")));
}

TEST_F(PvEditViewControllerTest, saveAsCopyMakesACopyOfTheEditsAndReloadsTheCard)
{
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" Changed"));
    editor->saveAsCopy();
    ASSERT_TRUE(waitFor([editor] { return !editor->isBusy() && !editor->cardChanged(); }));
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(added.first()->title(), QStringLiteral("Copy of Lighthouse"));
    EXPECT_EQ(storedText(added.first()->uniqueIdentifier()), CardText + QStringLiteral(" Changed"));
    EXPECT_EQ(editor->currentObject(), DbHelpers::getItem(context(), CardId));
    EXPECT_EQ(editor->editor()->toPlainText(), CardText);
    EXPECT_EQ(storedText(CardId), CardText);
    EXPECT_TRUE(isOpen());
}

TEST_F(PvEditViewControllerTest, wideGuttersCentreTheTextOnAWideWindow)
{
    PvEditViewController* editor = open();
    editor->updateTextInsets(1280, 700);
    const int bar = navigation->navigationBar()->height();
    EXPECT_EQ(editor->editor()->textInsets().left(), 32 + (1280 - (bar + 700)) / 2);
    EXPECT_EQ(editor->editor()->textInsets().top(), 32);
    editor->updateTextInsets(700, 1280);
    EXPECT_EQ(editor->editor()->textInsets(), QMargins(32, 32, 32, 32));
    // A project without wide gutters keeps the plain margins however wide the window.
    editor->cancelButton()->trigger();
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    SettingsHelper::setValue(context(), ProjectId, SettingsHelper::WideGuttersKey, QStringLiteral("false"));
    editor = open();
    editor->updateTextInsets(1280, 700);
    EXPECT_EQ(editor->editor()->textInsets(), QMargins(32, 32, 32, 32));
}

TEST_F(PvEditViewControllerTest, titleShowsTheTagsSymbolAndNothingForTheClearedTag)
{
    for (const auto& [tag, shown] :
         {std::pair{QStringLiteral("done"), true}, std::pair{TagMenuController::ClearTag, false}}) {
        DbHelpers::getItem(context(), CardId)->setTag(tag);
        ASSERT_FALSE(context()->save());
        PvEditViewController* editor = open();
        QWidget* title = editor->navigationItem()->titleView();
        ASSERT_NE(title, nullptr) << tag.toStdString();
        EXPECT_EQ(title->findChild<QLabel*>(QStringLiteral("titleIcon")) != nullptr, shown) << tag.toStdString();
        editor->cancelButton()->trigger();
        ASSERT_TRUE(waitFor([this] { return !isOpen(); })) << tag.toStdString();
    }
}

TEST_F(PvEditViewControllerTest, discardQuestionIsAskedOnceAndCarriesItsAccessibleIdentifier)
{
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" Gulls"));
    editor->cancelButton()->trigger();
    editor->cancelButton()->trigger();
    int asked = 0;
    for (Alert* alert : Alert::presented())
        asked += alert->title() == EditorPrompts::DiscardChangesTitle ? 1 : 0;
    EXPECT_EQ(asked, 1);
    Alert* question = alertTitled(EditorPrompts::DiscardChangesTitle);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->objectName(), EditorPrompts::DiscardChangesAccessibility);
    EXPECT_EQ(question->accessibleName(), EditorPrompts::DiscardChangesAccessibility);
}

} // namespace
