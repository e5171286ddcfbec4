#include "ItemOperationsFixture.h"

#include "core/SettingsHelper.h"
#include "dialogs/CardInfo.h"
#include "dialogs/FolderCreate.h"
#include "dialogs/ProjectCreate.h"
#include "dialogs/RelativeDateFormatter.h"

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

class CardInfoTest : public ItemOperationsFixture {
protected:
    void SetUp() override
    {
        ItemOperationsFixture::SetUp();
        m_savedLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override
    {
        QLocale::setDefault(m_savedLocale);
        ItemOperationsFixture::TearDown();
    }

    ProjectItem* addStory(const QString& parentId, const QString& title, qint64 words, qint64 characters)
    {
        ProjectItem* card = addItem(parentId, ProjectItemTypes::Story, title);
        card->setWordCount(words);
        card->setCharCount(characters);
        return card;
    }

    QLocale m_savedLocale;
};

TEST_F(CardInfoTest, folderTextCountsCardsPagesWordsAndDates)
{
    ProjectItem* folder = addFolder(ItemIds::Top, QStringLiteral("Act"));
    const QString folderId = folder->uniqueIdentifier();
    addStory(folderId, QStringLiteral("One"), 500, 2600);
    ProjectItem* sub = addFolder(folderId, QStringLiteral("Scene"));
    addStory(sub->uniqueIdentifier(), QStringLiteral("Two"), 200, 1100);
    addItem(folderId, ProjectItemTypes::Idea, QStringLiteral("Idea"));
    save();

    const QDateTime now(QDate(2024, 3, 15), QTime(12, 0));
    const QDateTime modified(QDate(2024, 3, 12), QTime(15, 4));
    const QString text = CardInfo::create(presenter(), context())
                             ->infoText(projectId(), folderId, ProjectItemTypes::Folder, 0, 0, modified, now);
    EXPECT_EQ(text, QStringLiteral("Total cards: 3\r\n\r\n"
                                   "Story cards: 2\r\n"
                                   "Total pages: 3\r\n"
                                   "Total words: 700\r\n"
                                   "Total characters: 3700\r\n\r\n"
                                   "Last modified:\r\nMar 12, 2024, 3:04 PM (2 days ago)"));
}

TEST_F(CardInfoTest, emptyFolderShowsCountAndDateOnly)
{
    ProjectItem* folder = addFolder(ItemIds::Top, QStringLiteral("Empty"));
    save();
    const QDateTime now(QDate(2024, 3, 15), QTime(12, 0));
    const QString text = CardInfo::create(presenter(), context())
                             ->infoText(projectId(), folder->uniqueIdentifier(), ProjectItemTypes::Folder, 0, 0,
                                        now.addSecs(-3 * 3600), now);
    EXPECT_EQ(text, QStringLiteral("Total cards: 0\r\n\r\nLast modified:\r\nMar 15, 2024, 9:00 AM (3 hours ago)"));
}

TEST_F(CardInfoTest, storyCardPagesComeFromItsOwnWordsAndRoundUp)
{
    auto info = CardInfo::create(presenter(), context());
    const QString id = Uuid::uuidString();
    const auto pagesLine = [&](qint64 words) {
        return info->infoText(projectId(), id, ProjectItemTypes::Story, words, 10, std::nullopt, QDateTime())
            .section(QStringLiteral("\r\n"), 0, 0);
    };
    EXPECT_EQ(pagesLine(330), QStringLiteral("Total pages: 1"));
    EXPECT_EQ(pagesLine(331), QStringLiteral("Total pages: 2"));
    EXPECT_EQ(pagesLine(0), QStringLiteral("Total pages: 0"));
    EXPECT_EQ(info->infoText(projectId(), id, ProjectItemTypes::Idea, 900, 10, std::nullopt, QDateTime()), QString());
}

TEST_F(CardInfoTest, wordsPerPageBelowOneCountsAsTheDefault)
{
    ASSERT_TRUE(SettingsHelper::setValue(context(), projectId(), SettingsHelper::WordsPerPageKey, QStringLiteral("0")));
    auto info = CardInfo::create(presenter(), context());
    const QString text =
        info->infoText(projectId(), Uuid::uuidString(), ProjectItemTypes::Story, 661, 10, std::nullopt, QDateTime());
    EXPECT_TRUE(text.startsWith(QStringLiteral("Total pages: 3\r\n")));
    EXPECT_EQ(CardInfo::pageCount(661, -5), 3);
    EXPECT_EQ(CardInfo::pageCount(500, 250), 2);
}

TEST_F(CardInfoTest, showInfoPresentsTheItemTitleAndText)
{
    ProjectItem* card = addStory(ItemIds::Top, QStringLiteral("Harbour Lights"), 10, 50);
    save();
    CardInfo::create(presenter(), context())->showInfo(card);
    DialogInfoController* dialog = infoDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->title(), QStringLiteral("Harbour Lights"));
    EXPECT_TRUE(dialog->text().startsWith(QStringLiteral("Total pages: 1\r\nTotal words: 10\r\n")));
    EXPECT_TRUE(dialog->text().contains(QStringLiteral("Last modified:\r\n")));
    dialog->done();
}

TEST_F(CardInfoTest, relativePhrasesUseTheLargestWholeUnit)
{
    const QDateTime now(QDate(2024, 3, 15), QTime(12, 0));
    EXPECT_EQ(RelativeDateFormatter::localizedString(now.addSecs(-1), now), QStringLiteral("1 second ago"));
    EXPECT_EQ(RelativeDateFormatter::localizedString(now.addSecs(-125), now), QStringLiteral("2 minutes ago"));
    EXPECT_EQ(RelativeDateFormatter::localizedString(now.addDays(-8), now), QStringLiteral("1 week ago"));
    EXPECT_EQ(RelativeDateFormatter::localizedString(now.addMonths(-2), now), QStringLiteral("2 months ago"));
    EXPECT_EQ(RelativeDateFormatter::localizedString(now.addYears(-3), now), QStringLiteral("3 years ago"));
    EXPECT_EQ(RelativeDateFormatter::localizedString(now.addDays(1), now), QStringLiteral("in 1 day"));
}

TEST_F(CardInfoTest, mediumTimeKeepsTheSecondsAndDropsTheZoneInEveryLocale)
{
    const QTime time(9, 5, 7);
    EXPECT_EQ(RelativeDateFormatter::mediumTime(time), QStringLiteral("9:05:07 AM"));
    EXPECT_EQ(RelativeDateFormatter::mediumTime(time, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("09:05:07"));
    const QDateTime moment(QDate(2024, 1, 5), QTime(15, 4, 5));
    EXPECT_EQ(RelativeDateFormatter::mediumDateMediumTime(moment), QStringLiteral("Jan 5, 2024, 3:04:05 PM"));
}

class CreateOperationsTest : public ItemOperationsFixture {};

TEST_F(CreateOperationsTest, folderCreateHandsBackTrimmedTitleAndCancelCallsNothing)
{
    QStringList titles;
    FolderCreate::create()->createFolder(presenter(), [&titles](const QString& title) { titles.append(title); });
    DialogInputController* dialog = inputDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->dialogTitle(), QStringLiteral("New Folder"));
    EXPECT_EQ(dialog->dialogLabel(), QStringLiteral("Enter the title for the folder."));
    EXPECT_EQ(dialog->dialogPlaceholder(), QStringLiteral("Folder Title"));
    EXPECT_TRUE(dialog->inputField()->text().isEmpty());
    QTest::mouseClick(dialog->cancelButtonView(), Qt::LeftButton);
    EXPECT_TRUE(titles.isEmpty());

    FolderCreate::create()->createFolder(presenter(), [&titles](const QString& title) { titles.append(title); });
    dialog = inputDialog();
    ASSERT_TRUE(dialog);
    QTest::keyClicks(dialog->inputField(), QStringLiteral("  Act Three \t"));
    QTest::mouseClick(dialog->okButtonView(), Qt::LeftButton);
    EXPECT_EQ(titles, QStringList({"Act Three"}));
}

TEST_F(CreateOperationsTest, projectCreateReportsCancelOnlyThroughCancelled)
{
    int cancels = 0;
    QStringList titles;
    const auto ask = [&] {
        ProjectCreate::create()->createProject(
            presenter(), [&titles](const QString& title) { titles.append(title); }, [&cancels] { ++cancels; });
    };
    ask();
    DialogInputController* dialog = inputDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->dialogTitle(), QStringLiteral("New Project"));
    EXPECT_EQ(dialog->dialogLabel(), QStringLiteral("Enter the title for the project."));
    EXPECT_EQ(dialog->dialogPlaceholder(), QStringLiteral("Project Title"));
    QTest::mouseClick(dialog->cancelButtonView(), Qt::LeftButton);
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(titles.isEmpty());

    ask();
    dialog = inputDialog();
    ASSERT_TRUE(dialog);
    QTest::keyClicks(dialog->inputField(), QStringLiteral(" Lighthouse "));
    QTest::mouseClick(dialog->okButtonView(), Qt::LeftButton);
    EXPECT_EQ(titles, QStringList({"Lighthouse"}));
    EXPECT_EQ(cancels, 1);
}
