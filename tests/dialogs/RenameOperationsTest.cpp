#include "ItemOperationsFixture.h"

#include "dialogs/CardRename.h"
#include "dialogs/MacCardRename.h"
#include "dialogs/MacProjectRename.h"
#include "dialogs/ProjectRename.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <optional>

namespace {

QPushButton* okButton(Alert* alert)
{
    return alert ? alert->findChild<QPushButton*>(QStringLiteral("alertAction0")) : nullptr;
}

void typeInto(Alert* alert, const QString& text)
{
    ASSERT_TRUE(alert);
    ASSERT_FALSE(alert->textFields().isEmpty());
    alert->textFields().first()->setText(text);
}

struct Reported {
    int calls = 0;
    QString title;
    QString itemId;
};

} // namespace

class RenameOperationsTest : public ItemOperationsFixture {};

TEST_F(RenameOperationsTest, alertOkStaysDisabledForBlankOrUnchangedTitle)
{
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Storm"));
    ASSERT_NO_FATAL_FAILURE(save());
    MacCardRename::create(presenter(), context())->renameCard(card, false);

    Alert* alert = Alert::topmost();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), MacCardRename::CardTitle);
    EXPECT_EQ(alert->message(), MacCardRename::CardMessage);
    EXPECT_EQ(alert->actionTitles(), QStringList({"OK", "Cancel"}));
    EXPECT_EQ(alert->textFields().first()->placeholderText(), QStringLiteral("Card Title"));
    EXPECT_EQ(alert->textFields().first()->text(), QStringLiteral("Storm"));
    EXPECT_FALSE(okButton(alert)->isEnabled());

    ASSERT_NO_FATAL_FAILURE(typeInto(alert, QStringLiteral(" \t ")));
    EXPECT_FALSE(okButton(alert)->isEnabled());
    ASSERT_NO_FATAL_FAILURE(typeInto(alert, QStringLiteral("Storms")));
    EXPECT_TRUE(okButton(alert)->isEnabled());
    ASSERT_NO_FATAL_FAILURE(typeInto(alert, QStringLiteral("Storm")));
    EXPECT_FALSE(okButton(alert)->isEnabled());
    // Differs only by a blank: enabled, and saved with the blank.
    ASSERT_NO_FATAL_FAILURE(typeInto(alert, QStringLiteral("Storm ")));
    EXPECT_TRUE(okButton(alert)->isEnabled());
    QTest::mouseClick(okButton(alert), Qt::LeftButton);
    EXPECT_EQ(card->title(), QStringLiteral("Storm "));
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(RenameOperationsTest, enablingRuleKeepsLineBreaksAndComparesExactly)
{
    EXPECT_TRUE(MacCardRename::acceptsTitle(QStringLiteral("\n"), QStringLiteral("Storm")));
    EXPECT_TRUE(MacCardRename::acceptsTitle(QStringLiteral("storm"), QStringLiteral("Storm")));
    EXPECT_FALSE(MacCardRename::acceptsTitle(QString(), QString()));
}

TEST_F(RenameOperationsTest, folderAndUntypedItemGetTheirOwnWording)
{
    ProjectItem* folder = addFolder(ItemIds::Top, QStringLiteral("Act One"));
    ProjectItem* untyped = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Loose"));
    untyped->setValue(ProjectItem::ItemTypeKey, QVariant());
    ASSERT_NO_FATAL_FAILURE(save());

    MacCardRename::create(presenter(), context())->renameCard(folder, false);
    ASSERT_TRUE(Alert::topmost());
    EXPECT_EQ(Alert::topmost()->title(), QStringLiteral("Folder Title"));
    EXPECT_EQ(Alert::topmost()->message(), QStringLiteral("Enter the title for this folder."));
    EXPECT_EQ(Alert::topmost()->textFields().first()->placeholderText(), QStringLiteral("Folder Title"));
    Alert::topmost()->trigger(1);

    MacCardRename::create(presenter(), context())->renameCard(untyped, false);
    ASSERT_TRUE(Alert::topmost());
    EXPECT_EQ(Alert::topmost()->title(), QStringLiteral("Card Title"));
    Alert::topmost()->trigger(1);
}

TEST_F(RenameOperationsTest, renameRebuildsTermsAndStampsTheFolderChain)
{
    ProjectItem* outer = addFolder(ItemIds::Top, QStringLiteral("Outer"));
    ProjectItem* inner = addFolder(outer->uniqueIdentifier(), QStringLiteral("Inner"));
    ProjectItem* card = addItem(inner->uniqueIdentifier(), ProjectItemTypes::Story, QStringLiteral("Old"));
    addDocument(card, QByteArrayLiteral("Moonlit harbour"));
    ASSERT_NO_FATAL_FAILURE(save());

    Reported reported;
    MacCardRename::create(presenter(), context())
        ->renameCard(card, false, [&reported](const QString& title, const QString& itemId) {
            ++reported.calls;
            reported.title = title;
            reported.itemId = itemId;
        });
    ASSERT_NO_FATAL_FAILURE(typeInto(Alert::topmost(), QStringLiteral("Storm Warning")));
    Alert::topmost()->trigger(0);

    EXPECT_EQ(reported.calls, 1);
    EXPECT_EQ(reported.title, QStringLiteral("Storm Warning"));
    EXPECT_EQ(reported.itemId, card->uniqueIdentifier());
    for (const char* term : {" storm", " warning", " moonlit", " harbour"})
        EXPECT_TRUE(card->terms().contains(QLatin1String(term))) << term << " in " << card->terms().toStdString();
    EXPECT_FALSE(card->terms().contains(QStringLiteral(" old")));
    EXPECT_TRUE(isRecent(card->lastModified()));
    EXPECT_TRUE(isRecent(inner->lastModified()));
    EXPECT_TRUE(isRecent(outer->lastModified()));
    EXPECT_TRUE(isRecent(m_project->lastModified()));
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(RenameOperationsTest, deferSaveChangesNothingButStillReportsTheTitle)
{
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Old"));
    card->setTerms(QStringLiteral(" old"));
    ASSERT_NO_FATAL_FAILURE(save());

    Reported reported;
    auto rename = MacCardRename::create(presenter(), context());
    rename->renameCard(card, true, [&reported](const QString& title, const QString&) {
        ++reported.calls;
        reported.title = title;
    });
    EXPECT_TRUE(rename->deferSave());
    ASSERT_NO_FATAL_FAILURE(typeInto(Alert::topmost(), QStringLiteral("New")));
    Alert::topmost()->trigger(0);

    EXPECT_EQ(reported.calls, 1);
    EXPECT_EQ(reported.title, QStringLiteral("New"));
    EXPECT_EQ(card->title(), QStringLiteral("Old"));
    EXPECT_EQ(card->terms(), QStringLiteral(" old"));
    EXPECT_FALSE(context()->hasChanges());

    // The shared write needs both a store and an item: either missing, nothing is written.
    MacCardRename::writeTitle(nullptr, card, QStringLiteral("Newer"), presenter());
    EXPECT_EQ(card->title(), QStringLiteral("Old"));
    MacCardRename::writeTitle(context(), nullptr, QStringLiteral("Newer"), presenter());
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(RenameOperationsTest, cancelNeverCallsTheCompletion)
{
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Old"));
    ASSERT_NO_FATAL_FAILURE(save());
    int calls = 0;
    {
        // The caller drops its reference at once; the alert keeps the operation alive.
        MacCardRename::create(presenter(), context())
            ->renameCard(card, false, [&calls](const QString&, const QString&) { ++calls; });
    }
    ASSERT_NO_FATAL_FAILURE(typeInto(Alert::topmost(), QStringLiteral("New")));
    Alert::topmost()->trigger(1);

    CardRename::create(presenter(), context())->renameCard(card, false, [&calls](const QString&, const QString&) {
        ++calls;
    });
    DialogInputController* dialog = inputDialog();
    ASSERT_TRUE(dialog);
    dialog->inputField()->setText(QStringLiteral("Newer"));
    QTest::mouseClick(dialog->cancelButtonView(), Qt::LeftButton);

    EXPECT_EQ(calls, 0);
    EXPECT_EQ(card->title(), QStringLiteral("Old"));
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(RenameOperationsTest, inputDialogRenameSavesTrimmedTitleAndReportsTheItem)
{
    ProjectItem* folder = addFolder(ItemIds::Top, QStringLiteral("Act One"));
    ASSERT_NO_FATAL_FAILURE(save());
    Reported reported;
    CardRename::create(presenter(), context())
        ->renameCard(folder, false, [&reported](const QString& title, const QString& itemId) {
            ++reported.calls;
            reported.title = title;
            reported.itemId = itemId;
        });
    DialogInputController* dialog = inputDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->dialogTitle(), QStringLiteral("Folder Title"));
    EXPECT_EQ(dialog->dialogLabel(), QStringLiteral("Enter the title for this folder."));
    EXPECT_EQ(dialog->inputField()->text(), QStringLiteral("Act One"));

    dialog->inputField()->clear();
    QTest::keyClicks(dialog->inputField(), QStringLiteral("  Act Two  "));
    ASSERT_TRUE(dialog->okButtonView()->isEnabled());
    QTest::mouseClick(dialog->okButtonView(), Qt::LeftButton);

    EXPECT_EQ(reported.calls, 1);
    EXPECT_EQ(reported.title, QStringLiteral("Act Two"));
    EXPECT_EQ(reported.itemId, folder->uniqueIdentifier());
    EXPECT_EQ(folder->title(), QStringLiteral("Act Two"));
    EXPECT_TRUE(folder->terms().contains(QStringLiteral(" two")));
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(RenameOperationsTest, failedSaveShowsWarningAndKeepsTheNewTitle)
{
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Old"));
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(refuseItemUpdates());
    int calls = 0;
    MacCardRename::create(presenter(), context())->renameCard(card, false, [&calls](const QString&, const QString&) {
        ++calls;
    });
    ASSERT_NO_FATAL_FAILURE(typeInto(Alert::topmost(), QStringLiteral("New")));
    Alert::topmost()->trigger(0);

    ASSERT_TRUE(Alert::topmost());
    EXPECT_EQ(Alert::topmost()->title(), QStringLiteral("Warning"));
    EXPECT_EQ(card->title(), QStringLiteral("New"));
    EXPECT_TRUE(context()->hasChanges());
    EXPECT_EQ(calls, 1);
}

TEST_F(RenameOperationsTest, projectRenamesWriteTitleAndDate)
{
    ASSERT_NO_FATAL_FAILURE(save());
    MacProjectRename::create(presenter(), context())->renameProject(m_project);
    Alert* alert = Alert::topmost();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), QStringLiteral("Project Title"));
    EXPECT_EQ(alert->message(), QStringLiteral("Enter the title for this project"));
    EXPECT_FALSE(okButton(alert)->isEnabled());
    ASSERT_NO_FATAL_FAILURE(typeInto(alert, QStringLiteral("Lighthouse")));
    EXPECT_TRUE(okButton(alert)->isEnabled());
    alert->trigger(0);
    EXPECT_EQ(m_project->projectTitle(), QStringLiteral("Lighthouse"));
    EXPECT_TRUE(isRecent(m_project->lastModified()));

    QString reported;
    ProjectRename::create(presenter(), context())
        ->renameProject(m_project, false, [&reported](const QString& title, const QString&) { reported = title; });
    DialogInputController* dialog = inputDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->dialogLabel(), QStringLiteral("Enter the title for this project."));
    QTest::keyClicks(dialog->inputField(), QStringLiteral(" Keeper"));
    QTest::mouseClick(dialog->okButtonView(), Qt::LeftButton);
    EXPECT_EQ(reported, QStringLiteral("Lighthouse Keeper"));
    EXPECT_EQ(m_project->projectTitle(), QStringLiteral("Lighthouse Keeper"));
    EXPECT_FALSE(context()->hasChanges());
}
