#include "EditorFixture.h"

#include "TestInk.h"
#include "TestScreenshots.h"
#include "platform/ColorScheme.h"
#include "platform/ElidedButton.h"
#include "platform/NavigationBar.h"

#include "core/SettingsHelper.h"
#include "dialogs/MacCardRename.h"
#include "editors/EditorCommands.h"
#include "editors/EditorPrompts.h"
#include "editors/PvSummaryEditViewController.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace {

// The popup editor on the fixture's store, presented as a sheet the way the board presents it, with its two
// reports counted.
class PvSummaryEditViewControllerTest : public EditorFixture {
protected:
    static inline const QString PersonId = QStringLiteral("CARD-2");

    PvSummaryEditViewController* openPopup(const QString& cardId, qint64 type = ProjectItemTypes::Person,
                                           const std::optional<QVariantMap>& snapshot = {}, bool deferSave = false,
                                           PresentationStyle style = PresentationStyle::FormSheet)
    {
        PvSummaryEditViewController* editor = make(cardId, type, snapshot, deferSave, style);
        navigation = new NavigationController(editor);
        rootScreen()->present(navigation, false, {}, style);
        EXPECT_TRUE(waitFor([editor] { return editor->contentLoaded(); }));
        return editor;
    }
    PvSummaryEditViewController* make(const QString& cardId, qint64 type, const std::optional<QVariantMap>& snapshot,
                                      bool deferSave, PresentationStyle style)
    {
        auto* editor = required(qobject_cast<PvSummaryEditViewController*>(
                                    Storyboard::instantiate(PvSummaryEditViewController::StoryboardIdentifier)),
                                "the storyboard's popup editor");
        editor->setManagedObjectContext(context());
        editor->setCurrentObject(cardId.isEmpty() ? nullptr : DbHelpers::getItem(context(), cardId));
        editor->setCurrentProjectId(ProjectId);
        editor->setCurrentFolderId(FolderId);
        editor->setCurrentItemType(type);
        editor->setAutoSaveData(snapshot);
        editor->setIsPopup(style == PresentationStyle::FormSheet);
        editor->setDeferSave(deferSave);
        editor->cardModified = [this] {
            ++modified;
        };
        editor->cardCancelled = [this] {
            ++cancelled;
        };
        editor->addedRecord = [this](ProjectItem* item) {
            added.append(item);
        };
        return editor;
    }
    void typeInto(PvSummaryEditViewController* editor, const QString& text)
    {
        editor->editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor->editor(), text);
    }
    // The title as the store file holds it, read by another connection.
    QString storedTitle(const QString& cardId)
    {
        context()->refreshAllObjects();
        ProjectItem* item = DbHelpers::getItem(context(), cardId);
        return item ? item->committedValue(QStringLiteral("title")).toString() : QString();
    }

    int modified = 0;
    int cancelled = 0;
};

TEST_F(PvSummaryEditViewControllerTest, barOffersCancelOnTheLeftAndSave)
{
    PvSummaryEditViewController* editor = openPopup(QStringLiteral("CARD-2"));
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editor->navigationItem()->leftBarButtonItems().size(), 1);
    EXPECT_EQ(editor->navigationItem()->leftBarButtonItems().first(), editor->cancelButton());
    EXPECT_TRUE(editor->navigationItem()->rightBarButtonItems().contains(editor->saveButton()));
    // Loaded, the keys go to the text and the lists are offered, whether or not the sheet is active yet.
    EXPECT_EQ(editor->window()->focusWidget(), editor->editor());
    EXPECT_TRUE(editor->listButton()->isEnabled());
    // The text keeps its inset from the sheet's edges.
    EXPECT_EQ(editor->editor()->textInsets(), QMargins(12, 6, 12, 12));
}

TEST_F(PvSummaryEditViewControllerTest, typedQuotesBecomeTypographersMarksOnlyWhereTheProjectAsks)
{
    PvSummaryEditViewController* editor = openPopup(PersonId);
    editor->editor()->clear();
    typeInto(editor, QStringLiteral("\"go\" --"));
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("\u201Cgo\u201D \u2014"));
    rootScreen()->dismiss(false);
    SettingsHelper::setValue(context(), ProjectId, SettingsHelper::SmartQuotesConversionKey, QStringLiteral("false"));
    editor = openPopup(PersonId);
    editor->editor()->clear();
    typeInto(editor, QStringLiteral("\"go\" --"));
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("\"go\" --"));
}

TEST_F(PvSummaryEditViewControllerTest, everyTypesBarShowsSaveDisabledFaintButSeenAndItsGlyphsInTheBarsTint)
{
    app->window()->show();
    const QPalette light = QApplication::palette();
    const qint64 types[] = {ProjectItemTypes::Reminder, ProjectItemTypes::Question, ProjectItemTypes::Idea,
                            ProjectItemTypes::Person,   ProjectItemTypes::Thing,    ProjectItemTypes::Location,
                            ProjectItemTypes::Event};
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? darkPalette(light) : light);
        for (const qint64 type : types) {
            SCOPED_TRACE(testing::Message() << (dark ? "dark, type " : "light, type ") << type);
            PvSummaryEditViewController* editor = openPopup(QString(), type);
            const CardProp& prop = editor->cardProps().propForIntCardType(type);
            auto* save = navigation->findChild<QToolButton*>(QStringLiteral("saveButton"));
            auto* zoom = navigation->findChild<QToolButton*>(QStringLiteral("zoomButton"));
            ASSERT_TRUE(save && zoom);
            // Both stand on the bar's right side.
            const int middle = navigation->navigationBar()->width() / 2;
            EXPECT_GT(save->geometry().left(), middle);
            EXPECT_GT(zoom->geometry().left(), middle);
            ASSERT_FALSE(save->isEnabled());
            const QImage off = save->grab().toImage();
            const QColor bar = off.pixelColor(0, 0);
            ASSERT_LT(colourDistance(bar, prop.cardColor()), 6) << bar.name().toStdString();
            // The zoom glyph takes the bar's tint, as Cancel and Save do.
            EXPECT_LT(colourDistance(strongestInk(zoom->grab().toImage()), prop.textColor()), 40);
            typeInto(editor, QStringLiteral("x"));
            ASSERT_TRUE(save->isEnabled());
            const QColor disabledInk = strongestInk(off);
            const QColor enabledInk = strongestInk(save->grab().toImage());
            const double disabled = contrastRatio(disabledInk, bar);
            const double enabled = contrastRatio(enabledInk, bar);
            EXPECT_GT(disabled, 1.2) << "disabled " << disabledInk.name().toStdString() << " on "
                                     << bar.name().toStdString();
            EXPECT_GT(enabled, disabled * 1.2)
                << "enabled " << enabledInk.name().toStdString() << " against " << disabledInk.name().toStdString();
            // Also while the window is not the active one.
            EXPECT_EQ(save->palette().color(QPalette::Inactive, QPalette::ButtonText), prop.textColor());
            // Both are the bar's tint, the disabled one half seen.
            EXPECT_LT(colourDistance(enabledInk, prop.textColor()), 40);
            EXPECT_LT(colourDistance(disabledInk, overGround(ColorScheme::dimmed(prop.textColor()), bar)), 40);
            // A tag's glyph beside the title is in the title's colour too.
            editor->commands().applyTag(QStringLiteral("question"));
            auto* tagGlyph = navigation->findChild<QLabel*>(QStringLiteral("titleIcon"));
            ASSERT_TRUE(tagGlyph);
            EXPECT_LT(colourDistance(strongestInk(tagGlyph->grab().toImage()), prop.textColor()), 40);
            ASSERT_NO_FATAL_FAILURE(discardChanges(editor));
        }
    }
    QApplication::setPalette(light);
}

TEST_F(PvSummaryEditViewControllerTest, olderCardKeepingItsBodyOnTheCardOpensWithThatBody)
{
    QTextDocument body;
    body.setPlainText(QStringLiteral("Kept on the card"));
    DbHelpers::getItem(context(), PersonId)->setContent(*RichTextDocumentFormat::getData(body, 1.0));
    ASSERT_FALSE(context()->save());
    PvSummaryEditViewController* editor = openPopup(PersonId);
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("Kept on the card"));
    EXPECT_FALSE(editor->cardChanged());
}

TEST_F(PvSummaryEditViewControllerTest, unreadableBodyOnTheCardOrInItsSnapshotIsShownAsAnErrorAndNeverSavedOver)
{
    QTextDocument words;
    words.setPlainText(QStringLiteral("Kept on the card"));
    const QByteArray readable = *RichTextDocumentFormat::getData(words, 1.0);
    const QVariantMap unreadableSnapshot{{AutoSaveController::kProjectIdKey, ProjectId},
                                         {AutoSaveController::kProjectItemIdKey, PersonId},
                                         {AutoSaveController::kTitleKey, QStringLiteral("Mara the Keeper")},
                                         {AutoSaveController::kContentKey, unreadableBytes()},
                                         {AutoSaveController::kItemTypeKey, ProjectItemTypes::Person},
                                         {AutoSaveController::kItemSaveDateKey, QDateTime::currentDateTime()}};
    // A snapshot no reader accepts over a readable card; then a card whose own body no reader accepts.
    for (const bool cardUnreadable : {false, true}) {
        SCOPED_TRACE(cardUnreadable ? "unreadable card" : "unreadable snapshot");
        const QByteArray body = cardUnreadable ? unreadableBytes() : readable;
        DbHelpers::getItem(context(), PersonId)->setContent(body);
        ASSERT_FALSE(context()->save());
        const QString snapshotPath = writeStandInSnapshot();
        const QByteArray handed = snapshotFileBytes();
        PvSummaryEditViewController* editor = openPopup(
            PersonId, ProjectItemTypes::Person, cardUnreadable ? std::nullopt : std::optional(unreadableSnapshot));
        Alert* error = alertTitled(EditorPrompts::UnreadableTitle);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->message(),
                  cardUnreadable ? PvBaseEditor::UnreadableMessage : PvBaseEditor::UnreadableSnapshotMessage);
        ASSERT_TRUE(press(error, 0));
        EXPECT_EQ(editor->editor()->toPlainText(), cardUnreadable ? QString() : QStringLiteral("Kept on the card"));
        EXPECT_EQ(editor->editor()->isReadOnly(), cardUnreadable);
        EXPECT_EQ(editor->viewTitle(), QStringLiteral("Mara"));
        EXPECT_FALSE(editor->cardChanged());
        EXPECT_FALSE(editor->saveButton()->isEnabled());
        if (cardUnreadable) {
            typeInto(editor, QStringLiteral("over it"));
            EXPECT_FALSE(editor->cardChanged());
            EXPECT_FALSE(editor->saveButton()->isEnabled());
        }
        editor->saveButton()->trigger();
        editor->cancelButton()->trigger();
        ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
        EXPECT_EQ(storedCardBytes(PersonId), body);
        EXPECT_TRUE(storedDocumentBytes(PersonId).isNull());
        // Another card's words, never handed to this editor, stay; the snapshot it could not show is kept aside.
        EXPECT_EQ(QFile::exists(snapshotPath), cardUnreadable);
        EXPECT_EQ(keptAside(), cardUnreadable ? QByteArray() : handed);
        QFile::remove(snapshotPath + AutoSaveController::AsideSuffix);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(PvSummaryEditViewControllerTest, popupKeepsNoStretchSoOffersNoStatistics)
{
    PvSummaryEditViewController* editor = openPopup(PersonId);
    QMenu* menu = editor->overflowButton()->menu();
    emit menu->aboutToShow();
    QStringList titles;
    for (QAction* action : menu->actions())
        titles << action->text();
    EXPECT_TRUE(titles.contains(EditorCommands::PrintRow));
    EXPECT_FALSE(titles.contains(EditorCommands::StatisticsRow));
}

TEST_F(PvSummaryEditViewControllerTest, newPersonCardWithNothingTypedTakesItsTypesTitleAndTheNextOrder)
{
    PvSummaryEditViewController* editor = openPopup(QString());
    EXPECT_EQ(editor->viewTitle(), QStringLiteral("Unnamed Person"));
    typeInto(editor, QStringLiteral("x"));
    QTest::keyClick(editor->editor(), Qt::Key_Backspace);
    ASSERT_TRUE(save(editor));
    ASSERT_EQ(added.size(), 1);
    ProjectItem* card = added.first();
    EXPECT_EQ(card->title(), QStringLiteral("Unnamed Person"));
    // Three cards are in the folder already.
    EXPECT_EQ(card->displayOrder(), 4);
    EXPECT_EQ(card->itemFormat(), ProjectItemFormats::Text);
    EXPECT_EQ(card->folderType(), ProjectFolderTypes::Card);
    EXPECT_EQ(card->parentItemId(), FolderId);
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_TRUE(waitFor([this] { return !isOpen(); }));
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(cancelled, 0);
}

TEST_F(PvSummaryEditViewControllerTest, personTitleStaysWhileAnUntitledTitleGivesWayToTheText)
{
    PvSummaryEditViewController* editor = openPopup(QString());
    typeInto(editor, QStringLiteral("Keeper of the light"));
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(added.first()->title(), QStringLiteral("Unnamed Person"));

    DbHelpers::getItem(context(), QStringLiteral("CARD-3"))->setTitle(QStringLiteral("Untitled 3"));
    ASSERT_FALSE(context()->save());
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    editor = openPopup(QStringLiteral("CARD-3"), ProjectItemTypes::Idea);
    // The card's type as the store has it now names its untitled form, also when it changed while open.
    DbHelpers::getItem(context(), QStringLiteral("CARD-3"))->setItemType(ProjectItemTypes::Person);
    EXPECT_EQ(editor->untitledTitle(), QStringLiteral("Unnamed Person"));
    DbHelpers::getItem(context(), QStringLiteral("CARD-3"))->setItemType(ProjectItemTypes::Idea);
    typeInto(editor, QStringLiteral("A storm in the night\twith rain"));
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(storedTitle(QStringLiteral("CARD-3")), QStringLiteral("A storm in the night with rain"));
}

TEST_F(PvSummaryEditViewControllerTest, tagChangeAloneIsSavedNotLeftPending)
{
    PvSummaryEditViewController* editor = openPopup(PersonId);
    editor->commands().applyTag(QStringLiteral("warning"));
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    ASSERT_TRUE(save(editor));
    EXPECT_FALSE(context()->hasChanges()) << "a tag alone is a change worth saving";
    EXPECT_EQ(DbHelpers::getItem(context(), PersonId)->committedValue(QStringLiteral("tag")).toString(),
              QStringLiteral("warning"));
    EXPECT_EQ(modified, 1);
}

TEST_F(PvSummaryEditViewControllerTest, titleBesideATagKeepsItsFirstLettersAndEndsInAnEllipsisOnlyWhereTheBarIsShort)
{
    PvSummaryEditViewController* editor = openPopup(PersonId);
    editor->commands().applyTag(QStringLiteral("question"));
    NavigationBar* bar = navigation->navigationBar();
    const QString longTitle = QStringLiteral("A lighthouse keeper who cannot swim xyz");
    for (const QString& title : {longTitle, QStringLiteral("Mara the Keeper")}) {
        SCOPED_TRACE(title.toStdString());
        editor->cardDetailsChanged(title);
        QWidget* view = bar->findChild<QWidget*>(QStringLiteral("editorTitleView"));
        ASSERT_NE(view, nullptr);
        auto* icon = view->findChild<QLabel*>(QStringLiteral("titleIcon"));
        auto* name = view->findChild<ElidedButton*>();
        ASSERT_TRUE(icon && name);
        auto* cancelView = bar->findChild<QToolButton*>(QStringLiteral("cancelButton"));
        auto* saveView = bar->findChild<QToolButton*>(QStringLiteral("saveButton"));
        ASSERT_TRUE(cancelView && saveView);
        // Laid out once the title stands between the two.
        ASSERT_TRUE(waitFor([&] {
            return view->isVisible() && view->geometry().left() > cancelView->geometry().right() &&
                   view->geometry().right() < saveView->geometry().left();
        }));
        EXPECT_EQ(name->text(), title) << "forty units or fewer are not shortened";
        const QRect iconArea(icon->mapTo(bar, QPoint(0, 0)), icon->size());
        const QRect nameArea(name->mapTo(bar, QPoint(0, 0)), name->size());
        EXPECT_GT(nameArea.left(), iconArea.right()) << "the title stands beside its glyph, not under it";
        // The first letter is drawn whole: no ink at the title's left edge, where a cut letter would end; and what
        // is drawn is the title as shown, as wide as its letters.
        const QImage shown = name->grab().toImage();
        const QColor ground = shown.pixelColor(0, 0);
        int firstInk = shown.width();
        int lastInk = -1;
        for (int x = 0; x < shown.width(); ++x)
            for (int y = 0; y < shown.height(); ++y)
                if (colourDistance(shown.pixelColor(x, y), ground) > 120) {
                    firstInk = std::min(firstInk, x);
                    lastInk = std::max(lastInk, x);
                }
        EXPECT_GE(firstInk, 3);
        EXPECT_TRUE(name->shownText().startsWith(title.left(3))) << name->shownText().toStdString();
        EXPECT_NEAR(lastInk - firstInk + 1, name->fontMetrics().horizontalAdvance(name->shownText()), 4);
        const bool fits = name->fontMetrics().horizontalAdvance(title) <= nameArea.width();
        ASSERT_EQ(fits, title != longTitle) << "the popup's bar holds the short title whole, the long one not";
        EXPECT_EQ(name->shownText() == title, fits);
        EXPECT_EQ(name->shownText().endsWith(QChar(0x2026)), !fits);
        if (!fits) {
            // Short of room, the title takes all there is between Cancel and Save.
            EXPECT_LE(iconArea.left() - (cancelView->geometry().right() + 1), 12);
            EXPECT_LE(saveView->geometry().left() - (nameArea.right() + 1), 12);
            // And it asks the bar for no more than its first letters, so the bar never needs its whole width.
            EXPECT_LT(bar->minimumSizeHint().width(), bar->sizeHint().width() - nameArea.width() / 2);
        }
    }
}

TEST_F(PvSummaryEditViewControllerTest, failedSaveKeepsThePopupOpenChangedAndReportsNothing)
{
    PvSummaryEditViewController* editor = openPopup(QString());
    typeInto(editor, QStringLiteral("Words that must survive"));
    ASSERT_NO_FATAL_FAILURE(refuseWrites(QStringLiteral("INSERT ON ProjectItem")));
    ASSERT_FALSE(save(editor));
    runEventsFor(50);
    ASSERT_TRUE(isOpen());
    EXPECT_TRUE(editor->cardChanged());
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("Words that must survive"));
    EXPECT_EQ(modified + cancelled, 0);
    EXPECT_TRUE(added.isEmpty());

    // Once the store takes it again, the retry makes exactly one card.
    ASSERT_NO_FATAL_FAILURE(dismissSaveError());
    ASSERT_NO_FATAL_FAILURE(allowWrites());
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(countOf<ProjectItem>(QStringLiteral("title == %@"), {QStringLiteral("Unnamed Person")}), 1);
    EXPECT_EQ(modified, 1);
}

TEST_F(PvSummaryEditViewControllerTest, discardAfterAFailedSaveLeavesNothingForTheNextSaveToWrite)
{
    PvSummaryEditViewController* editor = openPopup(QString());
    typeInto(editor, QStringLiteral("Never wanted"));
    ASSERT_NO_FATAL_FAILURE(failSaveThenDiscard(editor, QStringLiteral("INSERT ON ProjectItem")));
    EXPECT_TRUE(context()->insertedObjects().isEmpty());
    // Whatever saves next must not bring the discarded card or its writing record back.
    ASSERT_FALSE(context()->save());
    EXPECT_EQ(countOf<ProjectItem>(QStringLiteral("title == %@"), {QStringLiteral("Unnamed Person")}), 0);
    EXPECT_EQ(countOf<ProjectItemDocument>(QStringLiteral("parentItemId != %@"), {CardId}), 0);
    EXPECT_EQ(countOf<ProjectStat>(), 0);
    EXPECT_TRUE(added.isEmpty());
}

TEST_F(PvSummaryEditViewControllerTest, discardAfterAFailedSaveOfAStoredCardPutsItsFieldsBack)
{
    PvSummaryEditViewController* editor = openPopup(PersonId);
    typeInto(editor, QStringLiteral("Never kept"));
    editor->commands().applyTag(QStringLiteral("warning"));
    ASSERT_NO_FATAL_FAILURE(failSaveThenDiscard(editor, QStringLiteral("UPDATE ON ProjectItem")));
    ASSERT_FALSE(context()->save());
    context()->refreshAllObjects();
    ProjectItem* person = DbHelpers::getItem(context(), PersonId);
    ASSERT_NE(person, nullptr);
    EXPECT_EQ(person->summary(), QString());
    EXPECT_EQ(person->tag(), QString());
    EXPECT_EQ(person->wordCount(), 0);

    // The card given back is an ordinary stored card again: edited once more, its Save stores it.
    editor = openPopup(PersonId);
    typeInto(editor, QStringLiteral("Kept this time"));
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(
        storedValue(QStringLiteral("SELECT summary FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(PersonId)),
        "Kept this time");
}

TEST_F(PvSummaryEditViewControllerTest, recoveredRenameIsSavedUnderTheNewTitle)
{
    QTextDocument body;
    body.setPlainText(QStringLiteral("Mara keeps the lamp"));
    const QVariantMap snapshot{{AutoSaveController::kProjectIdKey, ProjectId},
                               {AutoSaveController::kParentItemIdKey, FolderId},
                               {AutoSaveController::kProjectItemIdKey, PersonId},
                               {AutoSaveController::kTitleKey, QStringLiteral("Mara the Keeper")},
                               {AutoSaveController::kContentKey, *RichTextDocumentFormat::getData(body, 1.0)},
                               {AutoSaveController::kItemTypeKey, ProjectItemTypes::Person},
                               {AutoSaveController::kItemSaveDateKey, QDateTime::currentDateTime()}};
    PvSummaryEditViewController* editor = openPopup(PersonId, ProjectItemTypes::Person, snapshot);
    EXPECT_EQ(editor->viewTitle(), QStringLiteral("Mara the Keeper"));
    EXPECT_TRUE(editor->cardChanged());
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(storedTitle(PersonId), QStringLiteral("Mara the Keeper"));
    EXPECT_EQ(DbHelpers::getItem(context(), PersonId)->summary(), QStringLiteral("Mara keeps the lamp"));
}

TEST_F(PvSummaryEditViewControllerTest, cancelOnAnUnchangedCardClosesOnceAndResetsTheCursor)
{
    PvSummaryEditViewController* editor = openPopup(PersonId);
    editor->saveCursorPosition(5);
    ASSERT_FALSE(context()->save());
    editor->cancelButton()->trigger();
    editor->cancelButton()->trigger();
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    runEventsFor(50);
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(modified, 0);
    FetchRequest cursor = EditorState::fetchRequest();
    cursor.setPredicate(QStringLiteral("cardItemId == %@"), {PersonId});
    ASSERT_EQ(context()->count(cursor), 1);
    EXPECT_EQ(static_cast<EditorState*>(context()->fetch(cursor).first())->cursorPosition(), 0);
    EXPECT_FALSE(context()->hasChanges());

    // Opened by an editor that saves for it, the popup leaves the reset for that editor's save.
    PvSummaryEditViewController* deferred =
        make(PersonId, ProjectItemTypes::Person, {}, true, PresentationStyle::FormSheet);
    navigation = new NavigationController(deferred);
    rootScreen()->present(navigation, false, {}, PresentationStyle::FormSheet);
    ASSERT_TRUE(waitFor([deferred] { return deferred->contentLoaded(); }));
    deferred->saveCursorPosition(5);
    ASSERT_FALSE(context()->save());
    deferred->cancelButton()->trigger();
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    runEventsFor(50);
    EXPECT_TRUE(context()->hasChanges());
    EXPECT_EQ(
        storedValue(QStringLiteral("SELECT cursorPosition FROM EditorState WHERE cardItemId = '%1'").arg(PersonId)),
        "5");
}

TEST_F(PvSummaryEditViewControllerTest, discardAfterChangesClosesWithoutSavingAndRemovesTheSnapshot)
{
    PvSummaryEditViewController* editor = openPopup(PersonId);
    typeInto(editor, QStringLiteral("never kept"));
    editor->cancelButton()->trigger();
    Alert* discard = alertTitled(EditorPrompts::DiscardChangesTitle);
    ASSERT_TRUE(discard);
    EXPECT_EQ(discard->message(),
              QStringLiteral("You have made changes to this card.  Are you sure you want to discard them?"));
    ASSERT_TRUE(press(discard, 0));
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    EXPECT_EQ(DbHelpers::getItem(context(), PersonId)->summary(), QString());
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false));
}

// A card opened from inside another editor stores only its own records; with no such editor found under it,
// nothing tells another screen's pending changes from its own, so only its card's records go.
TEST_F(PvSummaryEditViewControllerTest, deferredSaveStoresWhatItWroteBeforeItReportsSaved)
{
    const auto stored = [this](const char* column, const QString& cardId) {
        return storedValue(QStringLiteral("SELECT %1 FROM ProjectItem WHERE uniqueIdentifier = '%2'")
                               .arg(QString::fromLatin1(column), cardId));
    };
    const QByteArray storyTerms = stored("terms", CardId);
    // In the order the project list keeps, so that it has nothing of its own to store meanwhile.
    DbHelpers::getProject(context(), ProjectId)->setDisplayOrder(1);
    ASSERT_FALSE(context()->save());
    PvSummaryEditViewController* editor =
        make(PersonId, ProjectItemTypes::Person, {}, true, PresentationStyle::FormSheet);
    editor->setIsSecondaryCard(true);
    navigation = new NavigationController(editor);
    rootScreen()->present(navigation, false, {}, PresentationStyle::FormSheet);
    ASSERT_TRUE(waitFor([editor] { return editor->contentLoaded(); }));
    // Another screen's rename, waiting in the shared context for that screen's own save.
    DbHelpers::getItem(context(), CardId)->setTitle(QStringLiteral("Not the popup's to store"));
    DbHelpers::getItem(context(), CardId)->setTerms(QStringLiteral(" not popup's"));
    typeInto(editor, QStringLiteral("Stored at once"));
    // The store file as the Save leaves it, before the sheet goes (the application may then save all it holds).
    QByteArray summary, body, storyTitle, storyTermsThen;
    QObject::connect(editor, &PvSummaryEditViewController::saveFinished, editor, [&](bool) {
        summary = stored("summary", PersonId);
        body = storedDocumentBytes(PersonId);
        storyTitle = stored("title", CardId);
        storyTermsThen = stored("terms", CardId);
    });
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(summary, "Stored at once");
    const RichTextDocumentFormat::LoadResult text = RichTextDocumentFormat::loadFrom(body);
    ASSERT_TRUE(text.document);
    EXPECT_EQ(text.document->toPlainText(), QStringLiteral("Stored at once"));
    EXPECT_EQ(storyTitle, "Lighthouse");
    EXPECT_EQ(storyTermsThen, storyTerms);
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    EXPECT_EQ(modified, 1);
}

TEST_F(PvSummaryEditViewControllerTest, zoomIsRememberedAndTheNormalSheetIs540By620)
{
    UserDefaults::standard().removeObject(PvSummaryEditViewController::PrefPreferZoom);
    PvSummaryEditViewController* editor = openPopup(PersonId);
    EXPECT_FALSE(editor->isZoomed());
    EXPECT_EQ(navigation->preferredContentSize(), QSize(540, 620));
    editor->toggleZoom();
    EXPECT_TRUE(editor->isZoomed());
    EXPECT_TRUE(UserDefaults::standard().boolForKey(PvSummaryEditViewController::PrefPreferZoom));
    editor->cancelButton()->trigger();
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    editor = openPopup(PersonId);
    EXPECT_TRUE(editor->isZoomed());
    UserDefaults::standard().removeObject(PvSummaryEditViewController::PrefPreferZoom);
}

TEST_F(PvSummaryEditViewControllerTest, zoomSizesTheSheetOnScreenAndBackTo540By620)
{
    UserDefaults::standard().removeObject(PvSummaryEditViewController::PrefPreferZoom);
    PvSummaryEditViewController* editor = openPopup(PersonId);
    QWidget* sheet = navigation->window();
    ASSERT_NE(sheet, app->window());
    const QSize before = sheet->size();
    EXPECT_EQ(sheet->minimumSize(), PvSummaryEditViewController::PopupSize);
    EXPECT_EQ(sheet->maximumSize(), PvSummaryEditViewController::PopupMaximumSize);
    // In a window with room for more, the zoomed sheet takes the screen up to its largest size and no further.
    app->window()->resize(1600, 1100);
    editor->zoomButton()->trigger();
    const QSize zoomed =
        editor->screen()->availableGeometry().size().boundedTo(PvSummaryEditViewController::PopupMaximumSize);
    EXPECT_EQ(navigation->preferredContentSize(), zoomed);
    EXPECT_EQ(sheet->size(), zoomed);
    sheet->resize(1400, 1000);
    EXPECT_EQ(sheet->size(), PvSummaryEditViewController::PopupMaximumSize.boundedTo(QSize(1400, 1000)));
    sheet->resize(zoomed);
    EXPECT_GT(sheet->height(), before.height());
    editor->zoomButton()->trigger();
    EXPECT_EQ(sheet->size(), before);
    UserDefaults::standard().removeObject(PvSummaryEditViewController::PrefPreferZoom);
}

TEST_F(PvSummaryEditViewControllerTest, fullWindowEditorsZoomSizesNothingAndCancelClosesIt)
{
    UserDefaults::standard().removeObject(PvSummaryEditViewController::PrefPreferZoom);
    const QSize windowSize = app->window()->size();
    PvSummaryEditViewController* editor =
        openPopup(PersonId, ProjectItemTypes::Person, {}, false, PresentationStyle::FullScreen);
    ASSERT_FALSE(editor->isPopup());
    const QSize screenSize = rootScreen()->size();
    editor->zoomButton()->trigger();
    EXPECT_TRUE(editor->isZoomed());
    EXPECT_EQ(app->window()->size(), windowSize);
    EXPECT_EQ(rootScreen()->size(), screenSize);
    // Alone in its stack, the editor has nothing to go back to: it closes.
    editor->cancelButton()->trigger();
    EXPECT_TRUE(waitFor([this] { return !isOpen(); }));
    EXPECT_EQ(cancelled, 1);
    UserDefaults::standard().removeObject(PvSummaryEditViewController::PrefPreferZoom);
}

TEST_F(PvSummaryEditViewControllerTest, editorPushedOverAnotherScreenGoesBackToItOnCancel)
{
    auto* below = new ViewController;
    navigation = new NavigationController(below);
    rootScreen()->present(navigation, false, {}, PresentationStyle::FullScreen);
    PvSummaryEditViewController* editor =
        make(PersonId, ProjectItemTypes::Person, {}, false, PresentationStyle::FullScreen);
    navigation->pushViewController(editor, false);
    ASSERT_TRUE(waitFor([editor] { return editor->contentLoaded(); }));
    editor->cancelButton()->trigger();
    EXPECT_TRUE(waitFor([this, below] { return navigation->topViewController() == below; }));
    EXPECT_TRUE(isOpen());
    EXPECT_EQ(cancelled, 1);
}

TEST_F(PvSummaryEditViewControllerTest, saveAsCopyShowsTheCardAsStoredAndUnchanged)
{
    PvSummaryEditViewController* editor = openPopup(PersonId);
    typeInto(editor, QStringLiteral("Kept as a copy"));
    editor->saveAsCopy();
    ASSERT_TRUE(waitFor([this] { return added.size() == 1; }));
    ASSERT_TRUE(waitFor([editor] { return !editor->isBusy(); }));
    EXPECT_EQ(editor->editor()->toPlainText(), QString());
    EXPECT_FALSE(editor->cardChanged());
    EXPECT_FALSE(editor->saveButton()->isEnabled());
}

TEST_F(PvSummaryEditViewControllerTest, popupIsFoundInItsSheetUnderItsStoryboardIdentifier)
{
    PvSummaryEditViewController* editor = openPopup(PersonId);
    EXPECT_EQ(navigation->window()->findChild<PvSummaryEditViewController*>(QStringLiteral("summaryEditor")), editor);
}

TEST_F(PvSummaryEditViewControllerTest, popupClosedDuringTheIndicatorsWaitIsNotWrittenAndNothingCrashes)
{
    Delays::setFactor(1);
    PvSummaryEditViewController* editor = openPopup(PersonId);
    typeInto(editor, QStringLiteral("gone before the wait ended"));
    editor->saveButton()->trigger();
    QPointer<PvSummaryEditViewController> guard(editor);
    rootScreen()->dismiss(false);
    ASSERT_TRUE(waitFor([&] { return guard.isNull(); }));
    runEventsFor(EditorPrompts::SaveDelayMs + 200);
    EXPECT_EQ(DbHelpers::getItem(context(), PersonId)->summary(), QString());
    EXPECT_TRUE(waitFor([] { return !ProgressHud::isActive(); })) << "the indicator goes with the editor";
    EXPECT_EQ(modified, 0);
}

TEST_F(PvSummaryEditViewControllerTest, renamingAgainStartsFromTheRenameNotYetSaved)
{
    PvSummaryEditViewController* editor = openPopup(PersonId);
    const auto renameTo = [](const QString& title) {
        Alert* alert = Alert::topmost();
        ASSERT_TRUE(alert && alert->title() == MacCardRename::CardTitle);
        ASSERT_TRUE(hasTheKeys(alert));
        QLineEdit* field = alert->textFields().first();
        field->selectAll();
        QTest::keyClicks(field, title);
        auto* ok = alert->findChild<QPushButton*>(QStringLiteral("alertAction0"));
        ASSERT_TRUE(ok && ok->isEnabled());
        QTest::mouseClick(ok, Qt::LeftButton);
    };
    editor->commands().renameCard();
    ASSERT_NO_FATAL_FAILURE(renameTo(QStringLiteral("Mara the Keeper")));
    ASSERT_TRUE(waitFor([] { return !Alert::topmost(); }));
    ASSERT_EQ(storedTitle(PersonId), QStringLiteral("Mara")) << "the editor stores the title with its save";
    editor->commands().renameCard();
    ASSERT_TRUE(Alert::topmost());
    EXPECT_EQ(Alert::topmost()->textFields().first()->text(), QStringLiteral("Mara the Keeper"));
    EXPECT_FALSE(Alert::topmost()->findChild<QPushButton*>(QStringLiteral("alertAction0"))->isEnabled());
    ASSERT_TRUE(press(Alert::topmost(), 1));
    rootScreen()->dismiss(false);

    // A new card not named yet starts empty, not with its placeholder title; once named, with that name.
    PvSummaryEditViewController* fresh = openPopup(QString());
    fresh->commands().renameCard();
    ASSERT_TRUE(Alert::topmost());
    EXPECT_EQ(Alert::topmost()->textFields().first()->text(), QString());
    ASSERT_NO_FATAL_FAILURE(renameTo(QStringLiteral("Old Tom")));
    fresh->commands().renameCard();
    ASSERT_TRUE(Alert::topmost());
    EXPECT_EQ(Alert::topmost()->textFields().first()->text(), QStringLiteral("Old Tom"));
    ASSERT_TRUE(press(Alert::topmost(), 1));
}

TEST_F(PvSummaryEditViewControllerTest, saveAsCopyAfterARenameGivesTheNameToTheCopyAndShowsTheCardUnderItsOwn)
{
    PvSummaryEditViewController* editor = openPopup(PersonId);
    editor->cardDetailsChanged(QStringLiteral("Mara the Keeper"));
    ASSERT_EQ(editor->viewTitle(), QStringLiteral("Mara the Keeper"));
    editor->saveAsCopy();
    ASSERT_TRUE(waitFor([this] { return added.size() == 1; }));
    ASSERT_TRUE(waitFor([editor] { return !editor->isBusy(); }));
    EXPECT_EQ(added.first()->title(), QStringLiteral("Copy of Mara the Keeper"));
    EXPECT_EQ(editor->viewTitle(), QStringLiteral("Mara"));
    // Going on with the card it shows must not carry the copy's new name over to it.
    typeInto(editor, QStringLiteral("Still Mara"));
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(storedTitle(PersonId), QStringLiteral("Mara"));
}

TEST_F(PvSummaryEditViewControllerTest, saveAsCopyAfterATagChangeGivesTheTagToTheCopyOnly)
{
    PvSummaryEditViewController* editor = openPopup(PersonId);
    editor->commands().applyTag(QStringLiteral("warning"));
    editor->saveAsCopy();
    ASSERT_TRUE(waitFor([this] { return added.size() == 1; }));
    ASSERT_TRUE(waitFor([editor] { return !editor->isBusy(); }));
    EXPECT_EQ(added.first()->tag(), QStringLiteral("warning"));
    typeInto(editor, QStringLiteral("Still Mara"));
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(DbHelpers::getItem(context(), PersonId)->committedValue(QStringLiteral("tag")).toString(), QString());
}

TEST_F(PvSummaryEditViewControllerTest, fontSizeButtonIsHiddenOnlyWhenTheOpenerForbidsSizeChanges)
{
    PvSummaryEditViewController* free = openPopup(PersonId);
    EXPECT_TRUE(free->fontButton()->isVisible());
    rootScreen()->dismiss(false);
    PvSummaryEditViewController* fixed =
        make(PersonId, ProjectItemTypes::Person, {}, false, PresentationStyle::FormSheet);
    fixed->setPreventFontSizeChange(true);
    navigation = new NavigationController(fixed);
    rootScreen()->present(navigation, false, {}, PresentationStyle::FormSheet);
    ASSERT_TRUE(waitFor([fixed] { return fixed->contentLoaded(); }));
    EXPECT_FALSE(fixed->fontButton()->isVisible());
}

} // namespace
