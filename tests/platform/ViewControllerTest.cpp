#include "ScreenRecorder.h"
#include "platform/FormSheetDialog.h"
#include "platform/NavigationController.h"
#include "platform/Storyboard.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
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

TEST(ViewControllerTest, hooksRunLoadThenWillThenDidAppearAndNeverTwice)
{
    QStringList log;
    ScreenRecorder screen(QStringLiteral("a"), &log);
    EXPECT_FALSE(screen.isViewLoaded());
    ViewController::beginAppearance(&screen, true, false);
    EXPECT_EQ(screen.appearance(), ViewController::Appearance::Appearing);
    ViewController::endAppearance(&screen);
    ViewController::transitionAppearance(&screen, true, false);
    EXPECT_EQ(line(log), list({"a:load", "a:willAppear", "a:didAppear"}));

    ViewController::transitionAppearance(&screen, false, false);
    ViewController::transitionAppearance(&screen, false, false);
    ViewController::transitionAppearance(&screen, true, false);
    EXPECT_EQ(line(log.mid(3)), list({"a:willDisappear", "a:didDisappear", "a:willAppear", "a:didAppear"}));
}

TEST(ViewControllerTest, minimisingOrHidingTheWindowRunsNoDisappearHook)
{
    QStringList log;
    ScreenRecorder screen(QStringLiteral("a"), &log);
    screen.show();
    ViewController::transitionAppearance(&screen, true, false);
    log.clear();
    screen.showMinimized();
    QApplication::processEvents();
    screen.hide();
    QApplication::processEvents();
    screen.showNormal();
    QApplication::processEvents();
    EXPECT_TRUE(log.isEmpty()) << log.join(u' ').toStdString();
    EXPECT_EQ(screen.appearance(), ViewController::Appearance::Appeared);
}

TEST(ViewControllerTest, fullScreenCoversThePresenterAndDismissBringsItBack)
{
    QStringList log;
    ScreenRecorder root(QStringLiteral("root"), &log);
    root.resize(800, 600);
    root.show();
    ViewController::transitionAppearance(&root, true, false);
    log.clear();

    QPointer<ScreenRecorder> cover = new ScreenRecorder(QStringLiteral("cover"), &log);
    bool presented = false;
    root.present(cover, true, [&] { presented = true; });
    EXPECT_TRUE(presented);
    EXPECT_EQ(line(log),
              list({"cover:load", "root:willDisappear", "cover:willAppear", "root:didDisappear", "cover:didAppear"}));
    EXPECT_EQ(root.presentedViewController(), cover);
    EXPECT_EQ(cover->presentingViewController(), &root);
    EXPECT_TRUE(cover->isVisible());
    EXPECT_EQ(cover->geometry(), root.rect());
    root.resize(1024, 768);
    QApplication::processEvents();
    EXPECT_EQ(cover->geometry(), root.rect());

    log.clear();
    QStringList atCompletion;
    cover->dismiss(true, [&] { atCompletion = log; });
    const std::string expected =
        list({"cover:willDisappear", "root:willAppear", "cover:didDisappear", "root:didAppear"});
    EXPECT_EQ(line(log), expected);
    EXPECT_EQ(line(atCompletion), expected);
    EXPECT_EQ(root.presentedViewController(), nullptr);
    flushDeletes();
    EXPECT_TRUE(cover.isNull());

    // With nothing presented and no presenter, a dismiss still runs its completion.
    bool completed = false;
    root.dismiss(false, [&] { completed = true; });
    EXPECT_TRUE(completed);
    EXPECT_EQ(root.appearance(), ViewController::Appearance::Appeared);
}

TEST(ViewControllerTest, formSheetIsWindowModalDoesNotBlockAndKeepsPresenterOnScreen)
{
    QStringList log;
    ScreenRecorder root(QStringLiteral("root"), &log);
    root.show();
    ViewController::transitionAppearance(&root, true, false);
    log.clear();

    auto* sheet = new ScreenRecorder(QStringLiteral("sheet"), &log);
    sheet->setPreferredContentSize(QSize(300, 146));
    root.present(sheet, true, {}, PresentationStyle::FormSheet);
    // Reaching this line with the sheet on screen is the non-blocking part.
    auto* dialog = qobject_cast<FormSheetDialog*>(sheet->window());
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->parentWidget(), &root);
    EXPECT_EQ(dialog->size(), QSize(300, 146));
    EXPECT_EQ(sheet->modalPresentationStyle(), PresentationStyle::FormSheet);
    EXPECT_EQ(line(log), list({"sheet:load", "sheet:willAppear", "sheet:didAppear"}));

    log.clear();
    sheet->setModalInPresentation(true);
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(log.isEmpty());

    sheet->setModalInPresentation(false);
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(line(log), list({"sheet:willDisappear", "sheet:didDisappear"}));
    EXPECT_EQ(root.appearance(), ViewController::Appearance::Appeared);
    flushDeletes();
}

TEST(ViewControllerTest, childOfPresentedNavigationDismissesTheWholeSheet)
{
    QStringList log;
    ScreenRecorder root(QStringLiteral("root"), &log);
    root.show();
    ViewController::transitionAppearance(&root, true, false);
    auto* dialogScreen = new ScreenRecorder(QStringLiteral("dialog"), &log);
    dialogScreen->setPreferredContentSize(QSize(300, 146));
    QPointer<NavigationController> navigation = new NavigationController(dialogScreen);
    root.present(navigation, false, {}, PresentationStyle::FormSheet);
    EXPECT_EQ(navigation->window()->size(), QSize(300, 146));
    EXPECT_EQ(dialogScreen->appearance(), ViewController::Appearance::Appeared);
    EXPECT_EQ(dialogScreen->presentingViewController(), &root);

    log.clear();
    bool done = false;
    dialogScreen->dismiss(false, [&] { done = true; });
    EXPECT_TRUE(done);
    EXPECT_EQ(line(log), list({"dialog:willDisappear", "dialog:didDisappear"}));
    EXPECT_EQ(root.presentedViewController(), nullptr);
    flushDeletes();
    EXPECT_TRUE(navigation.isNull());
}

TEST(ViewControllerTest, presentingFromAChildIsSeenFromTheRootAndNestedDismissGoesTopFirst)
{
    QStringList log;
    ScreenRecorder root(QStringLiteral("root"), &log);
    auto* child = new ScreenRecorder(QStringLiteral("child"), &log);
    child->setParent(&root);
    root.addChildViewController(child);
    root.show();
    ViewController::transitionAppearance(&root, true, false);
    EXPECT_EQ(child->appearance(), ViewController::Appearance::Appeared);

    auto* first = new ScreenRecorder(QStringLiteral("first"), &log);
    child->present(first, false, {}, PresentationStyle::FormSheet);
    auto* second = new ScreenRecorder(QStringLiteral("second"), &log);
    first->present(second, false);
    EXPECT_EQ(root.presentedViewController(), first);
    EXPECT_EQ(child->presentedViewController(), first);
    EXPECT_EQ(ViewController::topmostPresented(&root), second);

    // A second presentation from a busy presenter is refused rather than stacked out of sight.
    QPointer<ScreenRecorder> refused = new ScreenRecorder(QStringLiteral("refused"), &log);
    root.present(refused, false);
    EXPECT_EQ(root.presentedViewController(), first);

    log.clear();
    root.dismiss(false);
    // first left the screen when second covered it, so it does not come back just to leave again.
    EXPECT_EQ(line(log), list({"second:willDisappear", "second:didDisappear"}));
    EXPECT_EQ(ViewController::topmostPresented(&root), &root);
    flushDeletes();
    EXPECT_TRUE(refused.isNull());
}

TEST(ViewControllerTest, deletingAPresenterTakesItsFormSheetAlong)
{
    QWidget window;
    window.show();
    auto* presenter = new ViewController(&window);
    QPointer<ViewController> sheet = new ViewController;
    presenter->present(sheet, false, {}, PresentationStyle::FormSheet);
    QPointer<QWidget> dialog = sheet->window();
    delete presenter;
    flushDeletes();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(sheet.isNull());
}

TEST(StoryboardTest, unknownIdentifierGivesNullAndRegisteredOnesGiveFreshScreens)
{
    Storyboard::reset();
    EXPECT_EQ(Storyboard::instantiate(QStringLiteral("editView")), nullptr);
    Storyboard::registerFactory(QStringLiteral("editView"), [] { return new ViewController; });
    std::unique_ptr<ViewController> first(Storyboard::instantiate(QStringLiteral("editView")));
    std::unique_ptr<ViewController> second(Storyboard::instantiate(QStringLiteral("editView")));
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(Storyboard::instantiate(QStringLiteral("editview")), nullptr);
    Storyboard::reset();
    EXPECT_FALSE(Storyboard::contains(QStringLiteral("editView")));
}

} // namespace
