#include "SketchFixture.h"

#include "editors/SketchSnapshot.h"

#include "platform/ColorScheme.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/SerialQueue.h"
#include "platform/ink/InkToolPicker.h"
#include "platform/store/PersistentContainer.h"

namespace {

class SketchRecoveryTest : public SketchFixture {
protected:
    static QVariantMap snapshotOf(const QByteArray& content)
    {
        InkDrawing drawing;
        InkStroke stroke(InkKind::Pen, Qt::black, 4.0f);
        // Far past the right of the window: the canvas must grow to hold it.
        stroke.append(InkPoint{300, 300, 1, 0});
        stroke.append(InkPoint{2400, 350, 1, 0.1f});
        drawing.append(stroke);
        drawing.append(stroke);
        return {{QStringLiteral("projectId"), ProjectId},
                {QStringLiteral("parentItemId"), FolderId},
                {QStringLiteral("projectItemId"), QStringLiteral("")},
                {QStringLiteral("title"), QStringLiteral("Recovered map")},
                {QStringLiteral("notes"), QStringLiteral("tide at six")},
                {QStringLiteral("tag"), QStringLiteral("done")},
                {QStringLiteral("itemType"), ProjectItemTypes::Location},
                {QStringLiteral("itemFormat"), 1},
                {QStringLiteral("mimetype"), QStringLiteral("application/x-vornquil-opaque-drawing")},
                {QStringLiteral("content"), content.isNull() ? *InkWriter::encode(drawing) : content}};
    }
};

TEST_F(SketchRecoveryTest, appliedSnapshotCountsAsUnsavedAndSavesAsTheCard)
{
    // The drawing goes back to the folder it was drawn in, whichever the editor was opened for.
    addItem(QStringLiteral("FOLDER-2"), ProjectItemTypes::Folder, QStringLiteral("Part Two"), ItemIds::Top, 2);
    ASSERT_FALSE(context()->save());
    QVariantMap snapshot = snapshotOf({});
    snapshot.insert(QStringLiteral("parentItemId"), QStringLiteral("FOLDER-2"));
    KuvBaseSketch* editor = openSketch(QString(), snapshot);
    EXPECT_EQ(editor->titleView()->text(), QStringLiteral("Recovered map"));
    EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 2u);
    // There is room to draw past the recovered strokes.
    const QRectF strokes = editor->canvasView()->drawing().bounds();
    EXPECT_GE(editor->canvasView()->width(),
              int((strokes.right() + KuvBaseSketch::ContentMargin) * editor->canvasView()->zoomScale()));
    EXPECT_EQ(editor->currentItemType(), ProjectItemTypes::Location);
    EXPECT_EQ(editor->notes(), QStringLiteral("tide at six"));
    EXPECT_EQ(SketchSnapshot::take(*editor).value(QStringLiteral("notes")).toString(), QStringLiteral("tide at six"));
    EXPECT_TRUE(editor->changesMade());
    EXPECT_TRUE(editor->contentChanged());
    EXPECT_TRUE(app->hasPrimaryCardEdits);
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    EXPECT_TRUE(editor->autoSaveController()->autoSave());
    ASSERT_TRUE(save(editor));
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(added.first()->title(), QStringLiteral("Recovered map"));
    EXPECT_EQ(added.first()->itemType(), ProjectItemTypes::Location);
    EXPECT_EQ(added.first()->tag(), QStringLiteral("done"));
    EXPECT_EQ(added.first()->parentItemId(), QStringLiteral("FOLDER-2"));
    EXPECT_EQ(InkReader::decode(documentOf(added.first()->uniqueIdentifier())->content()).drawing->strokeCount(), 2u);
}

TEST_F(SketchRecoveryTest, snapshotWithoutContentOrItemTypeSaysItCannotBeReadAndIsKeptAside)
{
    for (const QString& missing : {QStringLiteral("content"), QStringLiteral("itemType")}) {
        SCOPED_TRACE(missing.toStdString());
        writeStandInSnapshot();
        const QByteArray handed = snapshotFileBytes();
        QVariantMap snapshot = snapshotOf({});
        snapshot.remove(missing);
        KuvBaseSketch* editor = openSketch(SketchId, snapshot);
        Alert* error = alertTitled(EditorPrompts::UnreadableTitle);
        ASSERT_TRUE(error) << "the recovered drawing went unshown with no word said";
        EXPECT_EQ(error->message(), KuvBaseSketch::UnreadableSnapshotMessage);
        error->trigger(0);
        EXPECT_EQ(editor->titleView()->text(), SketchTitle);
        EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 1u);
        EXPECT_FALSE(editor->changesMade());
        EXPECT_FALSE(app->hasPrimaryCardEdits);
        EXPECT_EQ(keptAside(), handed);
        rootScreen()->dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QFile::remove(*AutoSaveController::autoSavePath(ProjectId, false) + AutoSaveController::AsideSuffix);
    }
}

TEST_F(SketchRecoveryTest, unreadableSnapshotDrawingShowsAnErrorIsKeptAsideAndTheCardsOwnStrokesAreSnapshotted)
{
    const QString snapshotPath = writeStandInSnapshot();
    const QByteArray handed = snapshotFileBytes();
    KuvBaseSketch* editor = openSketch(SketchId, snapshotOf(QByteArray("PK\x03\x04 damaged", 12)));
    Alert* error = alertTitled(EditorPrompts::UnreadableTitle);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message(), KuvBaseSketch::UnreadableSnapshotMessage);
    ASSERT_TRUE(press(error, 0));
    EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 1u);
    EXPECT_EQ(editor->titleView()->text(), SketchTitle);
    EXPECT_FALSE(editor->changesMade());
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    EXPECT_FALSE(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false));
    EXPECT_EQ(keptAside(), handed);
    // A stroke drawn now is snapshotted as on any card.
    draw(editor, {{200, 200}, {260, 240}});
    ASSERT_TRUE(tick(editor));
    const std::optional<QVariantMap> snapshot = AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false);
    ASSERT_TRUE(snapshot);
    const InkDecodeResult drawing = InkReader::decode(snapshot->value(QStringLiteral("content")).toByteArray());
    ASSERT_TRUE(drawing.ok());
    EXPECT_EQ(drawing.drawing->strokeCount(), 2u);
    ASSERT_NO_FATAL_FAILURE(discardChanges(editor));
    EXPECT_EQ(storedDocumentBytes(SketchId), storedDrawingBytes());
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(5000));
    EXPECT_FALSE(QFile::exists(snapshotPath));
    EXPECT_EQ(keptAside(), handed);
}

TEST_F(SketchRecoveryTest, recoveredDrawingOfAnUnreadableCardIsShownAndSavedAsACardBesideIt)
{
    const QByteArray foreign("{\\rtf1 not a drawing at all}");
    documentOf(SketchId)->setContent(foreign);
    ASSERT_FALSE(context()->save());
    QString snapshotPath = writeStandInSnapshot();
    QVariantMap recovered = snapshotOf({});
    recovered.insert(QStringLiteral("projectItemId"), SketchId);
    KuvBaseSketch* editor = openSketch(SketchId, recovered);
    Alert* error = alertTitled(EditorPrompts::UnreadableTitle);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message(), KuvBaseSketch::UnreadableRecoveredMessage);
    ASSERT_TRUE(press(error, 0));
    EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 2u);
    EXPECT_TRUE(editor->canvasView()->isEnabled());
    EXPECT_TRUE(editor->toolPicker()->isEnabled()) << "the recovered drawing can be drawn on";
    EXPECT_EQ(editor->currentObject(), nullptr);
    EXPECT_TRUE(editor->autoSaveController()->ownsSnapshot());
    typeTitle(editor, QStringLiteral("!"));
    // Shown again after a screen over it closed, the editor still holds the recovered drawing as its own.
    ASSERT_NO_FATAL_FAILURE(coverAndUncover(editor));
    ASSERT_TRUE(save(editor));
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    ASSERT_EQ(added.size(), 1);
    EXPECT_NE(added.first()->uniqueIdentifier(), SketchId);
    EXPECT_EQ(InkReader::decode(storedDocumentBytes(added.first()->uniqueIdentifier())).drawing->strokeCount(), 2u);
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(5000));
    EXPECT_FALSE(QFile::exists(snapshotPath)) << "the writer kept the drawing: it is stored";
    EXPECT_EQ(storedDocumentBytes(SketchId), foreign);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A recovered drawing that cannot be shown either, unreadable or without its card type, is kept aside through
    // a save of the card's title, and said to be unreadable as the card is.
    for (const bool typeless : {false, true}) {
        SCOPED_TRACE(typeless ? "no type" : "damaged");
        snapshotPath = writeStandInSnapshot();
        const QByteArray handed = snapshotFileBytes();
        QVariantMap lost = recovered;
        if (typeless)
            lost.remove(QStringLiteral("itemType"));
        else
            lost.insert(QStringLiteral("content"), QByteArray("PK\x03\x04 damaged", 12));
        editor = openSketch(SketchId, lost);
        error = alertTitled(EditorPrompts::UnreadableTitle);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->message(), KuvBaseSketch::UnreadableMessage);
        ASSERT_TRUE(press(error, 0));
        EXPECT_EQ(Alert::presented().size(), 0) << "one error for one card";
        EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 0u);
        EXPECT_FALSE(editor->canvasView()->isEnabled());
        typeTitle(editor, QStringLiteral("!"));
        ASSERT_TRUE(save(editor));
        ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
        ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(5000));
        EXPECT_FALSE(QFile::exists(snapshotPath));
        EXPECT_EQ(keptAside(), handed);
        EXPECT_EQ(storedDocumentBytes(SketchId), foreign);
        QFile::remove(snapshotPath + AutoSaveController::AsideSuffix);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(SketchRecoveryTest, snapshotCarriesTheDrawingUnderTheSketchKeys)
{
    KuvBaseSketch* editor = openSketch();
    draw(editor, {{200, 200}, {260, 240}});
    const QVariantMap snapshot = editor->autoSaveSnapshot();
    EXPECT_EQ(snapshot.value(QStringLiteral("itemFormat")).toInt(), 1);
    EXPECT_EQ(snapshot.value(QStringLiteral("mimetype")).toString(),
              QStringLiteral("application/x-vornquil-opaque-drawing"));
    EXPECT_EQ(snapshot.value(QStringLiteral("projectItemId")).toString(), SketchId);
    EXPECT_EQ(snapshot.value(QStringLiteral("projectId")).toString(), ProjectId);
    EXPECT_EQ(snapshot.value(QStringLiteral("parentItemId")).toString(), FolderId);
    EXPECT_EQ(snapshot.value(QStringLiteral("itemType")).toLongLong(), ProjectItemTypes::Person);
    EXPECT_EQ(snapshot.value(QStringLiteral("title")).toString(), SketchTitle);
    EXPECT_EQ(InkReader::decode(snapshot.value(QStringLiteral("content")).toByteArray()).drawing->strokeCount(), 2u);
}

TEST_F(SketchRecoveryTest, editorLeavingTheScreenStopsTakingSnapshotsAndKeepsTheLastOne)
{
    KuvBaseSketch* editor = openSketch();
    draw(editor, {{200, 200}, {260, 240}});
    ASSERT_TRUE(editor->autoSaveController());
    EXPECT_NE(editor->autoSaveController()->timer(), nullptr);
    ViewController::transitionAppearance(navigation, false, false);
    EXPECT_EQ(editor->autoSaveController()->timer(), nullptr);
    EXPECT_TRUE(editor->autoSaveController()->autoSave()) << "the change not yet kept is still owed a snapshot";
    // Back on screen, loaded already: its timer runs again, and no progress indicator waits for a load.
    ViewController::transitionAppearance(navigation, true, false);
    EXPECT_NE(editor->autoSaveController()->timer(), nullptr);
    EXPECT_FALSE(ProgressHud::isActive());
}

TEST_F(SketchRecoveryTest, darkSchemeShowsInkLightButStoresItsTrueColour)
{
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x20));
    dark.setColor(QPalette::Base, QColor(0x16, 0x16, 0x18));
    QApplication::setPalette(dark);
    ASSERT_TRUE(waitFor([] { return ColorScheme::isDark(); }));
    KuvBaseSketch* editor = openSketch();
    EXPECT_TRUE(editor->canvasView()->isDark());
    draw(editor, {{200, 200}, {260, 240}});
    ASSERT_TRUE(save(editor));
    const InkDrawing stored = *InkReader::decode(documentOf(SketchId)->content()).drawing;
    QApplication::setPalette(light);
    ASSERT_EQ(stored.strokeCount(), 2u);
    EXPECT_EQ(stored.strokes().back().color(), QColor(Qt::black));
}

} // namespace

namespace {

TEST_F(SketchRecoveryTest, loadCardKeepsTheDrawingAsACopyAndShowsTheUpdatedCard)
{
    KuvBaseSketch* editor = openSketch();
    draw(editor, {{200, 200}, {260, 240}});
    ASSERT_NO_FATAL_FAILURE(runWriter({QStringLiteral("update"), SketchId, QStringLiteral("Retitled elsewhere")}));
    ASSERT_TRUE(waitFor([this] { return alertTitled(EditorPrompts::UpdatedAlertTitle) != nullptr; }));
    Alert* alert = alertTitled(EditorPrompts::UpdatedAlertTitle);
    EXPECT_EQ(alert->message(), EditorPrompts::UpdatedAlertFormat.arg(EditorPrompts::UpdatedAlertCopyOffer));
    ASSERT_TRUE(press(alert, 1));
    ASSERT_TRUE(waitFor([editor] { return !editor->isBusy() && !editor->changesMade(); }));
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(added.first()->title(), QStringLiteral("Copy of ") + SketchTitle);
    EXPECT_EQ(InkReader::decode(documentOf(added.first()->uniqueIdentifier())->content()).drawing->strokeCount(), 2u);
    EXPECT_EQ(editor->titleView()->text(), QStringLiteral("Retitled elsewhere"));
    EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 1u);
    EXPECT_TRUE(isOpen());
}

TEST_F(SketchRecoveryTest, loadCardAfterRecoverKeepsTheRecoveredDrawingAsACopyAndShowsItNoMore)
{
    ProjectItem* card = DbHelpers::getItem(context(), SketchId);
    QVariantMap snapshot = snapshotOf({});
    snapshot.insert(QStringLiteral("projectItemId"), SketchId);
    snapshot.insert(QStringLiteral("saveDate"), card->lastModified().addSecs(60));
    KuvBaseSketch* editor = openSketch(SketchId, snapshot);
    ASSERT_EQ(editor->canvasView()->drawing().strokeCount(), 2u);
    ASSERT_NO_FATAL_FAILURE(runWriter({QStringLiteral("update"), SketchId, QStringLiteral("Retitled elsewhere")}));
    ASSERT_TRUE(waitFor([this] { return alertTitled(EditorPrompts::UpdatedAlertTitle) != nullptr; }));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::UpdatedAlertTitle), 1));
    ASSERT_TRUE(waitFor([editor] { return !editor->isBusy() && !editor->changesMade(); }));
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(InkReader::decode(documentOf(added.first()->uniqueIdentifier())->content()).drawing->strokeCount(), 2u);
    EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 1u) << "the recovered strokes are in the copy only";
}

TEST_F(SketchRecoveryTest, loadCardHoldsTheStoresGenerationAgainOnlyWhenItWasHeld)
{
    KuvBaseSketch* editor = openSketch();
    ASSERT_FALSE(context()->isPinned());
    ASSERT_NO_FATAL_FAILURE(runWriter({QStringLiteral("update"), SketchId, QStringLiteral("Retitled elsewhere")}));
    ASSERT_TRUE(waitFor([this] { return alertTitled(EditorPrompts::UpdatedAlertTitle) != nullptr; }));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::UpdatedAlertTitle), 1));
    ASSERT_TRUE(waitFor([editor] { return editor->titleView()->text() == QStringLiteral("Retitled elsewhere"); }));
    EXPECT_FALSE(context()->isPinned()) << "an editor no one pinned leaves the store free";

    // Pinned as the board pins it: the stored card is read past the pin, and the pin is held again.
    context()->setQueryGenerationFromToken(context()->currentQueryGenerationToken());
    ASSERT_NO_FATAL_FAILURE(runWriter({QStringLiteral("update"), SketchId, QStringLiteral("Retitled again")}));
    ASSERT_TRUE(waitFor([this] { return alertTitled(EditorPrompts::UpdatedAlertTitle) != nullptr; }));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::UpdatedAlertTitle), 1));
    ASSERT_TRUE(waitFor([editor] { return editor->titleView()->text() == QStringLiteral("Retitled again"); }));
    EXPECT_TRUE(context()->isPinned());
    context()->setQueryGenerationFromToken(std::nullopt);
}

TEST_F(SketchRecoveryTest, ourOwnSaveRaisesNoUpdatedAlert)
{
    KuvBaseSketch* editor = openSketch();
    draw(editor, {{200, 200}, {260, 240}});
    // Added after the editor's own observer, so the editor has queued its look at the history when this counts.
    int notices = 0;
    const int observer = NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(PersistentContainer::RemoteChangeNotification), nullptr,
        [&notices](const Notification&) { ++notices; });
    const bool saved = save(editor);
    const bool noticed = waitFor([&notices] { return notices > 0; });
    NotificationCenter::defaultCenter().removeObserver(observer);
    ASSERT_TRUE(saved);
    ASSERT_TRUE(noticed);
    bool ran = false;
    Dispatch::main([&ran] { ran = true; });
    ASSERT_TRUE(waitFor([&ran] { return ran; }));
    EXPECT_FALSE(alertTitled(EditorPrompts::UpdatedAlertTitle));
}

} // namespace

namespace {

TEST_F(SketchRecoveryTest, snapshotOlderThanTheCardOpensAsANewCard)
{
    ProjectItem* card = DbHelpers::getItem(context(), SketchId);
    card->setLastModified(QDateTime::currentDateTime());
    ASSERT_FALSE(context()->save());
    QVariantMap snapshot = snapshotOf({});
    snapshot.insert(QStringLiteral("projectItemId"), SketchId);
    snapshot.insert(QStringLiteral("saveDate"), QDateTime::currentDateTime().addSecs(-60));
    KuvBaseSketch* editor = openSketch(SketchId, snapshot);
    EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 2u);
    ASSERT_TRUE(save(editor));
    ASSERT_EQ(added.size(), 1);
    EXPECT_NE(added.first()->uniqueIdentifier(), SketchId);
    EXPECT_EQ(InkReader::decode(documentOf(SketchId)->content()).drawing->strokeCount(), 1u);
    EXPECT_EQ(DbHelpers::getItem(context(), SketchId)->title(), SketchTitle);
}

TEST_F(SketchRecoveryTest, snapshotTakenAtTheCardsOwnSaveTimeStillRestoresTheCard)
{
    // The same instant is not "saved after the snapshot": only a strictly later save keeps the card apart.
    ProjectItem* card = DbHelpers::getItem(context(), SketchId);
    card->setLastModified(QDateTime::currentDateTime().addSecs(-60));
    ASSERT_FALSE(context()->save());
    QVariantMap snapshot = snapshotOf({});
    snapshot.insert(QStringLiteral("projectItemId"), SketchId);
    snapshot.insert(QStringLiteral("saveDate"), card->lastModified());
    KuvBaseSketch* editor = openSketch(SketchId, snapshot);
    EXPECT_EQ(editor->canvasView()->drawing().strokeCount(), 2u);
    EXPECT_EQ(editor->currentItemType(), ProjectItemTypes::Person) << "the stored card keeps its own type";
    ASSERT_TRUE(save(editor));
    EXPECT_TRUE(added.isEmpty());
    EXPECT_EQ(InkReader::decode(documentOf(SketchId)->content()).drawing->strokeCount(), 2u);
}

} // namespace

namespace {

TEST_F(SketchRecoveryTest, cardDeletedElsewhereRaisesNoUpdatedAlertAndSavesAsANewCard)
{
    KuvBaseSketch* editor = openSketch();
    EXPECT_FALSE(editor->changesMade());
    runWriter({QStringLiteral("delete"), SketchId, FolderId});
    // The drawing on screen is now the only copy: it counts as unsaved, and no "updated" question is asked.
    ASSERT_TRUE(waitFor([editor] { return editor->changesMade(); }));
    EXPECT_FALSE(alertTitled(EditorPrompts::UpdatedAlertTitle));
    EXPECT_TRUE(app->hasPrimaryCardEdits);
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    editor->cancelButton()->trigger();
    Alert* discard = alertTitled(EditorPrompts::DiscardChangesTitle);
    ASSERT_NE(discard, nullptr);
    ASSERT_TRUE(press(discard, int(discard->actionTitles().indexOf(QStringLiteral("Cancel")))));
    ASSERT_TRUE(isOpen());

    draw(editor, {{200, 200}, {260, 240}});
    ASSERT_TRUE(save(editor));
    context()->refreshAllObjects();
    EXPECT_EQ(countOf<ProjectItem>(QStringLiteral("uniqueIdentifier == %@"), {SketchId}), 0);
    ASSERT_EQ(added.size(), 1);
    const QString madeId = added.first()->uniqueIdentifier();
    EXPECT_NE(madeId, SketchId);
    // Its folder went with it; the top of the project always exists.
    EXPECT_EQ(added.first()->parentItemId(), ItemIds::Top);
    EXPECT_EQ(added.first()->title(), SketchTitle);
    EXPECT_EQ(added.first()->itemFormat(), ProjectItemFormats::Sketch);
    EXPECT_EQ(countOf<ProjectItemDocument>(QStringLiteral("parentItemId == %@"), {madeId}), 1);
    EXPECT_EQ(InkReader::decode(documentOf(madeId)->content()).drawing->strokeCount(), 2u);
    EXPECT_FALSE(alertTitled(EditorPrompts::UpdatedAlertTitle));
}

TEST_F(SketchRecoveryTest, cardDeletedElsewhereAfterATitleEditIsSavedAsANewCardWithItsDrawing)
{
    KuvBaseSketch* editor = openSketch();
    typeTitle(editor, QStringLiteral(" kept"));
    runWriter({QStringLiteral("delete"), SketchId});
    ASSERT_TRUE(save(editor));
    ASSERT_EQ(added.size(), 1);
    EXPECT_NE(added.first()->uniqueIdentifier(), SketchId);
    EXPECT_EQ(added.first()->parentItemId(), FolderId);
    EXPECT_EQ(added.first()->title(), SketchTitle + QStringLiteral(" kept"));
    // Only the title changed here, yet the new card carries the drawing: it is the only copy left.
    EXPECT_EQ(InkReader::decode(documentOf(added.first()->uniqueIdentifier())->content()).drawing->strokeCount(), 1u);
}

} // namespace
