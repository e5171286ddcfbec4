#include "stats/AchievementViewController.h"
#include "Required.h"
#include "SheetTestSupport.h"
#include "StatsFixture.h"
#include "TestWait.h"
#include "core/HexColor.h"
#include "platform/Alert.h"
#include "platform/NavigationController.h"
#include "stats/AchievementsManager.h"
#include "stats/BadgeArt.h"

#include <QApplication>
#include <QClipboard>
#include <QImageReader>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

class AchievementViewControllerTest : public StatsFixture {
protected:
    void SetUp() override
    {
        StatsFixture::SetUp();
        manager = std::make_unique<AchievementsManager>(context(), projectId);
        root.resize(900, 700);
        root.show();
        ViewController::transitionAppearance(&root, true, false);
    }
    void TearDown() override
    {
        AchievementViewController::setSaveLocationChooser({});
        closeSheetsOver(root);
        StatsFixture::TearDown();
    }

    AchievementViewController* open(const QString& tagWord, const std::optional<QString>& title, bool existing)
    {
        const Achievement* achievement =
            required(manager->getAchievementForTag(AchievementsManager::TagPrefix + tagWord),
                     "the achievement " + tagWord.toStdString());
        return AchievementViewController::present(&root, *achievement, title, existing);
    }

    std::unique_ptr<AchievementsManager> manager;
    ViewController root;
};

TEST_F(AchievementViewControllerTest, newlyEarnedStreakAnnouncesItselfAndKeepsTheTip)
{
    AchievementViewController* screen = open(QStringLiteral("days.in.row.7"), QStringLiteral("Salt"), false);
    EXPECT_EQ(screen->header()->text(), QStringLiteral("New Achievement"));
    EXPECT_EQ(screen->title(), QStringLiteral("New Achievement"));
    EXPECT_EQ(screen->text()->text(), QStringLiteral("You've earned the 7 Day Streak achievement!"));
    ASSERT_NE(screen->tip(), nullptr);
    EXPECT_FALSE(screen->tip()->text().isEmpty());
    EXPECT_FALSE(screen->imageView()->pixmap().isNull());
}

TEST_F(AchievementViewControllerTest, openedAgainItIsAnAchievementWithoutTheTip)
{
    AchievementViewController* screen = open(QStringLiteral("novel.length"), QStringLiteral("Salt"), true);
    EXPECT_EQ(screen->header()->text(), QStringLiteral("Achievement"));
    EXPECT_EQ(screen->title(), QStringLiteral("Achievement"));
    EXPECT_EQ(screen->tip(), nullptr);
}

TEST_F(AchievementViewControllerTest, sentenceStandsOutFromTheTipAndTheHeaderFromTheSentence)
{
    AchievementViewController* screen = open(QStringLiteral("days.in.row.14"), QStringLiteral("Salt"), false);
    ASSERT_NE(screen->tip(), nullptr);
    EXPECT_GT(screen->text()->font().pointSizeF(), screen->tip()->font().pointSizeF());
    EXPECT_GT(screen->header()->font().pointSizeF(), screen->text()->font().pointSizeF());
    EXPECT_TRUE(screen->header()->font().bold());
}

TEST_F(AchievementViewControllerTest, shareButtonSitsCentredUnderTheTip)
{
    AchievementViewController* screen = open(QStringLiteral("days.in.row.7"), QStringLiteral("Salt"), false);
    QLabel* tip = screen->tip();
    ASSERT_NE(tip, nullptr);
    QPushButton* share = screen->shareButton();
    // Laid out once the sentence stands under the header.
    ASSERT_TRUE(waitFor([&] { return screen->text()->y() > screen->header()->geometry().bottom(); }));
    EXPECT_GT(share->y(), tip->geometry().bottom());
    EXPECT_LE(std::abs(share->x() + share->width() / 2 - screen->width() / 2), 1);
    EXPECT_TRUE(share->isVisibleTo(screen));
}

TEST_F(AchievementViewControllerTest, storyWithoutTitleIsSharedAsUntitled)
{
    AchievementViewController* screen = open(QStringLiteral("first.1000.words"), std::nullopt, false);
    EXPECT_EQ(screen->shareText(),
              QStringLiteral("I earned the First 1000 Words achievement for my story \"Untitled\"!"));
    screen->setProjectTitle(QString());
    EXPECT_TRUE(screen->shareText().endsWith(QStringLiteral("\"Untitled\"!")));
}

TEST_F(AchievementViewControllerTest, copyPutsTheSentenceAndThePictureOnTheClipboard)
{
    AchievementViewController* screen = open(QStringLiteral("word.average.300"), QStringLiteral("Salt"), false);
    screen->copyToClipboard();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral("I earned the 300 Words/Day Average achievement for my story \"Salt\"!"));
    ASSERT_TRUE(data->hasImage());
    const QImage image = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(image.size(), QSize(BadgeArt::ShareWidth, BadgeArt::ShareHeight));
}

TEST_F(AchievementViewControllerTest, saveImageWritesAPngWhereTheWriterChose)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("badge.png"));
    QString suggested;
    AchievementViewController::setSaveLocationChooser([&](QWidget*, const QString& proposal) {
        suggested = proposal;
        return path;
    });
    AchievementViewController* screen = open(QStringLiteral("word.average.200"), QStringLiteral("Salt"), false);
    ASSERT_TRUE(screen->saveImage());
    // A label with a slash never names a folder.
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("200 Words-Day Average.png")));
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray("png"));
    EXPECT_EQ(reader.size(), QSize(BadgeArt::ShareWidth, BadgeArt::ShareHeight));
}

TEST_F(AchievementViewControllerTest, cancelledOrFailedSaveWritesNothingAndSaysWhy)
{
    AchievementViewController* screen = open(QStringLiteral("novella.length"), QStringLiteral("Salt"), false);
    AchievementViewController::setSaveLocationChooser([](QWidget*, const QString&) { return QString(); });
    EXPECT_FALSE(screen->saveImage());
    EXPECT_EQ(Alert::topmost(), nullptr);

    AchievementViewController::setSaveLocationChooser(
        [](QWidget*, const QString&) { return QStringLiteral("/nonexistent-folder/badge.png"); });
    EXPECT_FALSE(screen->saveImage());
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->title(), AchievementViewController::SaveFailedTitle);
}

TEST_F(AchievementViewControllerTest, backgroundFollowsTheAppearance)
{
    AchievementViewController* screen = open(QStringLiteral("first.1000.words"), QStringLiteral("Salt"), false);
    EXPECT_EQ(screen->palette().color(QPalette::Window), HexColor::colorWithHexString(QStringLiteral("#F1F1F1")));
    const QPalette light = switchScheme(true);
    const bool followed = waitFor([&] {
        return screen->palette().color(QPalette::Window) == HexColor::colorWithHexString(QStringLiteral("#333334"));
    });
    QApplication::setPalette(light);
    EXPECT_TRUE(followed);
}

TEST_F(AchievementViewControllerTest, everyAchievementHasItsBadgePlaceholderAndSharePicture)
{
    int count = 0;
    for (const QString& group : manager->badgeKeys()) {
        for (const Achievement* achievement : manager->achievements(group)) {
            SCOPED_TRACE(achievement->tag().toStdString());
            EXPECT_FALSE(BadgeArt::image(achievement->image(), 64).isNull());
            EXPECT_FALSE(BadgeArt::image(achievement->placeholder(), 64).isNull());
            EXPECT_FALSE(BadgeArt::image(achievement->shareImage()).isNull());
            // The placeholder is no copy of the earned badge.
            EXPECT_NE(BadgeArt::image(achievement->image(), 64), BadgeArt::image(achievement->placeholder(), 64));
            ++count;
        }
    }
    EXPECT_EQ(count, 13);
    EXPECT_TRUE(BadgeArt::image(QStringLiteral("unknown.png")).isNull());
}

} // namespace
