#include "platform/NavigationController.h"
#include "ScreenRecorder.h"
#include "platform/BarButtonItem.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationItem.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Hook logs compare as one readable line, so a failure shows the order that went wrong.
std::string list(std::initializer_list<const char*> entries)
{
    QStringList result;
    for (const char* entry : entries)
        result.append(QString::fromUtf8(entry));
    return result.join(u' ').toStdString();
}

std::string line(const QStringList& log)
{
    return log.join(u' ').toStdString();
}

QString shownTitle(const NavigationController& navigation)
{
    return navigation.findChild<QLabel*>(QStringLiteral("navigationTitle"))->text();
}

TEST(NavigationControllerTest, pushAndBackButtonMoveAppearanceBetweenTopScreens)
{
    QStringList log;
    auto* list1 = new ScreenRecorder(QStringLiteral("list"), &log);
    NavigationController navigation(list1);
    navigation.resize(500, 400);
    navigation.show();
    ViewController::transitionAppearance(&navigation, true, false);
    EXPECT_EQ(line(log), list({"list:load", "list:willAppear", "list:didAppear"}));
    EXPECT_EQ(list1->navigationController(), &navigation);

    log.clear();
    QPointer<ScreenRecorder> detail = new ScreenRecorder(QStringLiteral("detail"), &log);
    navigation.pushViewController(detail, true);
    EXPECT_EQ(line(log), list({"list:willDisappear", "detail:load", "detail:willAppear", "list:didDisappear",
                               "detail:didAppear"}));
    EXPECT_EQ(navigation.topViewController(), detail);
    EXPECT_EQ(shownTitle(navigation), QStringLiteral("detail"));
    QToolButton* back = navigation.navigationBar()->backButton();
    EXPECT_TRUE(back->isVisible());
    EXPECT_EQ(back->text(), QStringLiteral("list"));
    // The bar runs edge to edge along the top and the top screen fills the rest.
    const QRect bar = navigation.navigationBar()->geometry();
    EXPECT_EQ(bar.topLeft(), QPoint(0, 0));
    EXPECT_EQ(bar.width(), 500);
    ASSERT_TRUE(detail->isVisible());
    EXPECT_EQ(QRect(detail->mapTo(&navigation, QPoint(0, 0)), detail->size()),
              QRect(0, bar.height(), 500, 400 - bar.height()));

    log.clear();
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(line(log), list({"detail:willDisappear", "list:willAppear", "detail:didDisappear", "list:didAppear"}));
    EXPECT_EQ(navigation.viewControllers(), QList<ViewController*>{list1});
    EXPECT_FALSE(back->isVisible());
    EXPECT_EQ(navigation.popViewController(false), nullptr);
    flushDeletes();
    EXPECT_TRUE(detail.isNull());
}

TEST(NavigationControllerTest, stackOffScreenLoadsOnlyTheTopWhenItAppears)
{
    QStringList log;
    auto* bottom = new ScreenRecorder(QStringLiteral("bottom"), &log);
    NavigationController navigation(bottom);
    navigation.pushViewController(new ScreenRecorder(QStringLiteral("top"), &log), false);
    EXPECT_TRUE(log.isEmpty());
    ViewController::transitionAppearance(&navigation, true, false);
    EXPECT_EQ(line(log), list({"top:load", "top:willAppear", "top:didAppear"}));
    EXPECT_FALSE(bottom->isViewLoaded());

    log.clear();
    ViewController::transitionAppearance(&navigation, false, false);
    EXPECT_EQ(line(log), list({"top:willDisappear", "top:didDisappear"}));
}

TEST(NavigationControllerTest, setViewControllersReleasesOnlyScreensItDrops)
{
    QStringList log;
    QPointer<ScreenRecorder> kept = new ScreenRecorder(QStringLiteral("kept"), &log);
    QPointer<ScreenRecorder> dropped = new ScreenRecorder(QStringLiteral("dropped"), &log);
    NavigationController navigation(kept);
    navigation.pushViewController(dropped, false);
    auto* added = new ScreenRecorder(QStringLiteral("added"), &log);
    navigation.setViewControllers({kept, added}, false);
    flushDeletes();
    EXPECT_FALSE(kept.isNull());
    EXPECT_TRUE(dropped.isNull());
    EXPECT_EQ(navigation.topViewController(), added);
    EXPECT_EQ(added->navigationController(), &navigation);
    EXPECT_EQ(shownTitle(navigation), QStringLiteral("added"));

    // A screen named twice, or a null one, is not stacked again.
    navigation.setViewControllers({kept, nullptr, added, kept}, false);
    EXPECT_EQ(navigation.viewControllers(), (QList<ViewController*>{kept, added}));
}

TEST(NavigationControllerTest, barButtonsTriggerTheirItemsAndFollowItemChanges)
{
    QStringList log;
    auto* screen = new ScreenRecorder(QStringLiteral("screen"), &log);
    NavigationController navigation(screen);
    navigation.show();
    ViewController::transitionAppearance(&navigation, true, false);

    auto* done = new BarButtonItem(QStringLiteral("Done"));
    done->setObjectName(QStringLiteral("doneButton"));
    int pressed = 0;
    QObject::connect(done, &QAction::triggered, [&] { ++pressed; });
    screen->navigationItem()->setRightBarButtonItem(done);
    EXPECT_EQ(done->parent(), screen->navigationItem());

    auto* button = navigation.findChild<QToolButton*>(QStringLiteral("doneButton"));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(pressed, 1);

    done->setEnabled(false);
    QApplication::processEvents();
    button = navigation.findChild<QToolButton*>(QStringLiteral("doneButton"));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(pressed, 1);

    screen->setTitle(QStringLiteral("Renamed"));
    EXPECT_EQ(shownTitle(navigation), QStringLiteral("Renamed"));
    auto* title = new QLabel(QStringLiteral("custom"));
    screen->navigationItem()->setTitleView(title);
    EXPECT_TRUE(title->isVisible());
    EXPECT_FALSE(navigation.findChild<QLabel*>(QStringLiteral("navigationTitle"))->isVisible());

    // An item its owner deletes leaves the bar instead of leaving a dangling button behind.
    delete done;
    flushDeletes();
    EXPECT_EQ(navigation.findChild<QToolButton*>(QStringLiteral("doneButton")), nullptr);
    EXPECT_TRUE(screen->navigationItem()->rightBarButtonItems().isEmpty());
}

TEST(NavigationControllerTest, leftItemsReplaceTheBackButton)
{
    NavigationController navigation(new ViewController);
    navigation.show();
    auto* second = new ViewController;
    navigation.pushViewController(second, false);
    EXPECT_TRUE(navigation.navigationBar()->backButton()->isVisible());
    second->navigationItem()->setLeftBarButtonItem(new BarButtonItem(QStringLiteral("Close")));
    EXPECT_FALSE(navigation.navigationBar()->backButton()->isVisible());
    second->navigationItem()->setLeftBarButtonItems({});
    second->navigationItem()->setHidesBackButton(true);
    EXPECT_FALSE(navigation.navigationBar()->backButton()->isVisible());
}

// Counts the attempts to close its sheet that it hears of.
class AttemptCounter : public ViewController {
public:
    void presentationDidAttemptToDismiss() override { ++attempts; }
    int attempts = 0;
};

TEST(NavigationControllerTest, modalSheetTellsItsTopScreenOfEscapeAndCloseInsteadOfClosing)
{
    ViewController root;
    root.show();
    ViewController::transitionAppearance(&root, true, false);
    auto* screen = new AttemptCounter;
    auto* navigation = new NavigationController(screen);
    navigation->setModalInPresentation(true);
    root.present(navigation, false, {}, PresentationStyle::FormSheet);
    QWidget* sheet = navigation->window();
    ASSERT_NE(sheet, &root);

    QTest::keyClick(sheet, Qt::Key_Escape);
    EXPECT_EQ(screen->attempts, 1);
    sheet->close();
    EXPECT_EQ(screen->attempts, 2);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(root.presentedViewController(), navigation);

    // Without the modal flag the same keys simply close the sheet.
    navigation->setModalInPresentation(false);
    QTest::keyClick(sheet, Qt::Key_Escape);
    EXPECT_EQ(screen->attempts, 2);
    EXPECT_EQ(root.presentedViewController(), nullptr);
    flushDeletes();
}

} // namespace
