#include "EditorFixture.h"

#include <QProcess>

namespace {

// Crash recovery and changes made by another copy of the application while a card is open.
class EditorRecoveryTest : public EditorFixture {
protected:
    QVariantMap snapshotOf(const QString& itemId, const QString& text, const QDateTime& savedAt)
    {
        QTextDocument body;
        body.setPlainText(text);
        return {{AutoSaveController::kProjectIdKey, ProjectId},
                {AutoSaveController::kParentItemIdKey, FolderId},
                {AutoSaveController::kProjectItemIdKey, itemId},
                {AutoSaveController::kTitleKey, QStringLiteral("Lighthouse")},
                {AutoSaveController::kNotesKey, QStringLiteral("recovered note")},
                {AutoSaveController::kTagKey, QString("")},
                {AutoSaveController::kContentKey, *RichTextDocumentFormat::getData(body, 1.0)},
                {AutoSaveController::kMimeTypeKey, DocumentMimeTypes::RichText},
                {AutoSaveController::kItemTypeKey, ProjectItemTypes::Story},
                {AutoSaveController::kItemFormatKey, ProjectItemFormats::Text},
                {AutoSaveController::kItemSaveDateKey, savedAt}};
    }
    QString writeSnapshotFile()
    {
        QDir().mkpath(AutoSaveController::autoSaveDirectory());
        const QString path = *AutoSaveController::autoSavePath(ProjectId, false);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("snapshot");
        return path;
    }
    void runWriter(const QStringList& arguments)
    {
        QProcess writer;
        writer.start(QStringLiteral(EDITOR_STORE_WRITER_PATH), QStringList{storePath()} + arguments);
        ASSERT_TRUE(writer.waitForFinished(30000));
        ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    }
};

TEST_F(EditorRecoveryTest, appliedSnapshotCountsAsUnsavedSoASecondCrashLosesNothing)
{
    const QString path = writeSnapshotFile();
    PvEditViewController* editor =
        open(CardId, snapshotOf(CardId, QStringLiteral("Recovered words here"), QDateTime::currentDateTime()));
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("Recovered words here"));
    EXPECT_EQ(editor->notes(), QStringLiteral("recovered note"));
    EXPECT_TRUE(editor->cardChanged());
    EXPECT_TRUE(editor->contentChanged());
    EXPECT_TRUE(app->hasPrimaryCardEdits);
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    // The next tick writes the recovered words again without waiting for a keystroke.
    ASSERT_TRUE(editor->autoSaveController());
    EXPECT_TRUE(editor->autoSaveController()->autoSave());
    const QVariantMap snapshot = editor->autoSaveSnapshot();
    const RichTextDocumentFormat::LoadResult content =
        RichTextDocumentFormat::loadFrom(snapshot.value(AutoSaveController::kContentKey).toByteArray());
    ASSERT_TRUE(content.document);
    EXPECT_EQ(content.document->toPlainText(), QStringLiteral("Recovered words here"));
    EXPECT_EQ(snapshot.value(AutoSaveController::kProjectItemIdKey).toString(), CardId);
    // Leaving without saving keeps the file.
    ViewController::transitionAppearance(navigation, false, false);
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(EditorRecoveryTest, snapshotGoesOnlyWithASuccessfulSaveOrADiscard)
{
    const QString path = writeSnapshotFile();
    PvEditViewController* editor =
        open(CardId, snapshotOf(CardId, QStringLiteral("Recovered"), QDateTime::currentDateTime()));
    editor->cancelButton()->trigger();
    ASSERT_TRUE(alertTitled(PvEditViewController::DiscardChangesTitle));
    alertTitled(PvEditViewController::DiscardChangesTitle)->trigger(1);
    EXPECT_TRUE(QFile::exists(path));
    ASSERT_TRUE(save(editor));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(DbHelpers::getItem(context(), CardId)->summary(), QStringLiteral("Recovered"));
}

TEST_F(EditorRecoveryTest, snapshotOlderThanTheCardOpensAsANewCard)
{
    const QDateTime stale = QDateTime::currentDateTime().addDays(-5);
    const QByteArray original = DbHelpers::getItemDocument(context(), CardId)->content();
    PvEditViewController* editor = open(CardId, snapshotOf(CardId, QStringLiteral("Old recovered words"), stale));
    EXPECT_EQ(editor->currentObject(), nullptr);
    ASSERT_TRUE(save(editor));
    // The card as saved later stays; the snapshot's words are a card of their own.
    EXPECT_EQ(DbHelpers::getItemDocument(context(), CardId)->content(), original);
    ASSERT_EQ(added.size(), 1);
    EXPECT_NE(added.first()->uniqueIdentifier(), CardId);
    EXPECT_EQ(added.first()->summary(), QStringLiteral("Old recovered words"));
    EXPECT_TRUE(DbHelpers::getItem(context(), CardId)->summary().isEmpty());
}

TEST_F(EditorRecoveryTest, ourOwnSaveOfTheCardRaisesNoUpdatedAlert)
{
    PvEditViewController* editor = open();
    // The board (same process) stores a change of the card; the notice comes for it all the same.
    DbHelpers::getItem(context(), CardId)->setTag(QStringLiteral("done"));
    ASSERT_FALSE(context()->save());
    runEventsFor(300);
    EXPECT_FALSE(alertTitled(PvBaseEditor::UpdatedAlertTitle));
    EXPECT_FALSE(editor->isBusy());
}

TEST_F(EditorRecoveryTest, anotherProcessUpdatingTheCardRaisesTheUpdatedAlert)
{
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" mine"));
    runWriter({QStringLiteral("update"), CardId, QStringLiteral("Retitled elsewhere")});
    ASSERT_TRUE(waitFor([this] { return alertTitled(PvBaseEditor::UpdatedAlertTitle) != nullptr; }, 5000));
    Alert* alert = alertTitled(PvBaseEditor::UpdatedAlertTitle);
    EXPECT_EQ(alert->message(), PvBaseEditor::UpdatedAlertFormat.arg(PvBaseEditor::UpdatedAlertCopyOffer));
    EXPECT_EQ(alert->actionTitles(), (QStringList{PvBaseEditor::IgnoreChangesTitle, PvBaseEditor::LoadCardTitle}));
    alert->trigger(0);
    EXPECT_TRUE(editor->editor()->toPlainText().endsWith(QStringLiteral(" mine")));
}

TEST_F(EditorRecoveryTest, anotherProcessChangingAnotherCardRaisesNothing)
{
    open();
    runWriter({QStringLiteral("update"), QStringLiteral("CARD-2"), QStringLiteral("Someone else")});
    runEventsFor(1500);
    EXPECT_FALSE(alertTitled(PvBaseEditor::UpdatedAlertTitle));
}

TEST_F(EditorRecoveryTest, cardDeletedElsewhereIsSavedAsANewCardInAFolderThatExists)
{
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" Kept."));
    runWriter({QStringLiteral("delete"), CardId, FolderId});
    ASSERT_TRUE(save(editor));
    context()->refreshAllObjects();
    EXPECT_EQ(countOf<ProjectItem>(QStringLiteral("uniqueIdentifier == %@"), {CardId}), 0);
    ASSERT_EQ(added.size(), 1);
    EXPECT_NE(added.first()->uniqueIdentifier(), CardId);
    EXPECT_EQ(added.first()->parentItemId(), ItemIds::Top);
    EXPECT_EQ(added.first()->summary(), CardText + QStringLiteral(" Kept."));
    EXPECT_EQ(countOf<ProjectItemDocument>(QStringLiteral("parentItemId == %@"), {added.first()->uniqueIdentifier()}),
              1);
}

} // namespace
