#include "platform/FormSheetDialog.h"
#include "TestWait.h"
#include "platform/FormSheetBackdrop.h"
#include "platform/ViewController.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A screen that counts the presses that reach it.
class ClickCounter : public ViewController {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        ++presses;
        event->accept();
    }
};

// A main window laid out as the program's: a menu bar, a toolbar and the root screen below them.
class FormSheetDialogTest : public ::testing::Test {
protected:
    FormSheetDialogTest()
    {
        window.setMenuBar(new QMenuBar);
        window.menuBar()->addMenu(QStringLiteral("Window"));
        auto* bar = window.addToolBar(QStringLiteral("main"));
        bar->addAction(QStringLiteral("New"));
        root = new ClickCounter;
        window.setCentralWidget(root);
    }
    ~FormSheetDialogTest() override
    {
        if (root->presentedViewController())
            root->dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void showAt(const QSize& size)
    {
        window.resize(size);
        window.show();
        ViewController::transitionAppearance(root, true, false);
        ASSERT_TRUE(waitFor([&] { return root->isVisible() && root->size().height() > 0; }));
    }
    FormSheetDialog* presentSheet(const QSize& preferred)
    {
        auto* content = new ViewController;
        content->setPreferredContentSize(preferred);
        root->present(content, false, {}, PresentationStyle::FormSheet);
        return qobject_cast<FormSheetDialog*>(content->window());
    }
    // Quits as the program is quit: the Quit arrives while the application's event loop runs, and ends it. Sent
    // outside that loop, an accepted Quit leaves the thread marked as quitting, so that every event loop a later
    // test starts (a signal spy's wait, a menu's) returns at once. A refused Quit ends the loop too.
    static bool quitTheApplication()
    {
        QEvent quit(QEvent::Quit);
        QTimer::singleShot(0, QCoreApplication::instance(), [&quit] {
            QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
            if (!quit.isAccepted())
                QCoreApplication::exit(1);
        });
        QCoreApplication::exec();
        return quit.isAccepted();
    }
    QRect contentArea() const { return {root->mapToGlobal(QPoint(0, 0)), root->size()}; }
    QRect globalRect(const QWidget* widget) const { return {widget->mapToGlobal(QPoint(0, 0)), widget->size()}; }

    QMainWindow window;
    ClickCounter* root = nullptr;
};

TEST_F(FormSheetDialogTest, sheetSitsCentredBelowTheToolbarAtItsOwnSize)
{
    showAt(QSize(1600, 1000));
    FormSheetDialog* sheet = presentSheet(QSize(540, 620));
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->size(), QSize(540, 620));
    EXPECT_TRUE(contentArea().contains(sheet->frameGeometry()));
    EXPECT_GE(sheet->frameGeometry().top(), globalRect(window.menuBar()).bottom());
    EXPECT_GE(sheet->frameGeometry().top(), globalRect(window.findChild<QToolBar*>()).bottom());
    EXPECT_LE(std::abs(sheet->frameGeometry().center().x() - contentArea().center().x()), 1);
    EXPECT_LE(std::abs(sheet->frameGeometry().center().y() - contentArea().center().y()), 1);
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
}

// The sheet is the screen's window: it shows the screen, even one hidden before, under the screen's title.
TEST_F(FormSheetDialogTest, sheetShowsItsScreenUnderTheScreensTitle)
{
    showAt(QSize(1024, 768));
    auto* content = new ViewController;
    content->setTitle(QStringLiteral("Card Notes"));
    content->hide();
    root->present(content, false, {}, PresentationStyle::FormSheet);
    auto* sheet = qobject_cast<FormSheetDialog*>(content->window());
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(content->isVisible());
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Card Notes"));
    content->setTitle(QStringLiteral("Notes"));
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Notes"));
}

// A sheet with no window to sit in stands on its own at the size asked for.
TEST(FormSheetDialogAlone, withoutAWindowItShowsAtItsOwnSize)
{
    FormSheetDialog sheet(new ViewController, nullptr);
    sheet.resize(300, 146);
    sheet.show();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.anchorWindow(), nullptr);
    EXPECT_EQ(sheet.size(), QSize(300, 146));
    sheet.release();
}

TEST_F(FormSheetDialogTest, tallSheetShrinksToTheSmallestWindowAndGrowsBackWithIt)
{
    showAt(QSize(1024, 768));
    FormSheetDialog* sheet = presentSheet(QSize(620, 900));
    ASSERT_NE(sheet, nullptr);
    const QRect room = contentArea().adjusted(FormSheetDialog::Margin, FormSheetDialog::Margin,
                                              -FormSheetDialog::Margin, -FormSheetDialog::Margin);
    EXPECT_EQ(sheet->frameGeometry().height(), room.height()) << "exactly as high as the room, no higher";
    EXPECT_EQ(sheet->width(), 620);
    EXPECT_TRUE(room.contains(sheet->frameGeometry()));

    // The size asked for comes back once the window can hold it.
    window.resize(1600, 1100);
    ASSERT_TRUE(waitFor([&] { return sheet->height() == 900; }));
    EXPECT_TRUE(contentArea().contains(sheet->frameGeometry()));
}

TEST_F(FormSheetDialogTest, resizeAskedWhileShownIsFittedAndCentred)
{
    showAt(QSize(1024, 768));
    FormSheetDialog* sheet = presentSheet(QSize(300, 146));
    ASSERT_NE(sheet, nullptr);
    // As a zoom asks for the whole screen.
    sheet->resize(3000, 3000);
    ASSERT_TRUE(waitFor([&] { return sheet->width() < 3000; }));
    const QRect room = contentArea().adjusted(FormSheetDialog::Margin, FormSheetDialog::Margin,
                                              -FormSheetDialog::Margin, -FormSheetDialog::Margin);
    EXPECT_EQ(sheet->frameGeometry(), room);
}

TEST_F(FormSheetDialogTest, placementAtTheLimitKeepsTheSizeAndOnePixelMoreIsCut)
{
    const QRect area(100, 50, 800, 600);
    const QSize room(800 - 2 * FormSheetDialog::Margin, 600 - 2 * FormSheetDialog::Margin);
    EXPECT_EQ(FormSheetDialog::placement(room, area).size(), room);
    EXPECT_EQ(FormSheetDialog::placement(room + QSize(1, 1), area).size(), room);
    const QRect small = FormSheetDialog::placement(QSize(200, 100), area);
    EXPECT_EQ(small, QRect(400, 300, 200, 100));
}

TEST_F(FormSheetDialogTest, backdropCoversTheWindowAndSwallowsClicks)
{
    showAt(QSize(1024, 768));
    FormSheetDialog* sheet = presentSheet(QSize(300, 146));
    ASSERT_NE(sheet, nullptr);
    FormSheetBackdrop* backdrop = sheet->backdrop();
    ASSERT_NE(backdrop, nullptr);
    EXPECT_EQ(backdrop->parentWidget(), &window);
    EXPECT_TRUE(backdrop->isVisible());
    EXPECT_EQ(backdrop->geometry(), window.rect());
    // Nothing the window holds sits above it.
    EXPECT_EQ(window.childAt(root->geometry().topLeft() + QPoint(5, 5)), backdrop);
    EXPECT_EQ(window.childAt(window.menuBar()->geometry().center()), backdrop);

    // A press straight on the backdrop stays there.
    const QPoint onRoot = backdrop->mapFromGlobal(root->mapToGlobal(QPoint(10, 10)));
    QMouseEvent press(QEvent::MouseButtonPress, onRoot, backdrop->mapToGlobal(onRoot), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(backdrop, &press);
    EXPECT_TRUE(press.isAccepted());
    // And a click on the window, where the screen shows, does not reach the screen.
    const QPoint inWindow = window.mapFromGlobal(root->mapToGlobal(QPoint(10, 10)));
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, inWindow);
    QCoreApplication::processEvents();
    EXPECT_EQ(root->presses, 0);

    window.resize(1300, 900);
    ASSERT_TRUE(waitFor([&] { return backdrop->geometry() == window.rect(); }));

    root->dismiss(false);
    EXPECT_FALSE(backdrop->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.findChildren<FormSheetBackdrop*>().isEmpty()) << "the backdrop goes with its sheet";
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, inWindow);
    ASSERT_TRUE(waitFor([&] { return root->presses == 1; })) << "the window takes clicks again";
}

TEST_F(FormSheetDialogTest, sheetOverASheetSitsInTheMainWindowAndDimsTheFirst)
{
    showAt(QSize(1024, 768));
    auto* first = new ViewController;
    first->setPreferredContentSize(QSize(620, 760));
    root->present(first, false, {}, PresentationStyle::FormSheet);
    auto* second = new ViewController;
    second->setPreferredContentSize(QSize(460, 560));
    first->present(second, false, {}, PresentationStyle::FormSheet);
    auto* firstSheet = qobject_cast<FormSheetDialog*>(first->window());
    auto* secondSheet = qobject_cast<FormSheetDialog*>(second->window());
    ASSERT_NE(secondSheet, nullptr);
    EXPECT_EQ(secondSheet->anchorWindow(), &window);
    EXPECT_TRUE(contentArea().contains(secondSheet->frameGeometry()));
    EXPECT_EQ(secondSheet->size(), QSize(460, 560));
    ASSERT_NE(secondSheet->backdrop(), nullptr);
    EXPECT_EQ(secondSheet->backdrop()->parentWidget(), firstSheet);
    EXPECT_EQ(secondSheet->backdrop()->geometry(), firstSheet->rect());

    // Quitting closes both sheets and the window behind them, rather than stopping at the first sheet.
    EXPECT_TRUE(quitTheApplication());
    EXPECT_FALSE(secondSheet->isVisible());
    EXPECT_FALSE(firstSheet->isVisible());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(FormSheetDialogTest, onlyTheApplicationsQuitLetsAGuardedSheetClose)
{
    showAt(QSize(1024, 768));
    auto* content = new ViewController;
    content->setPreferredContentSize(QSize(300, 146));
    content->setModalInPresentation(true);
    root->present(content, false, {}, PresentationStyle::FormSheet);
    auto* sheet = qobject_cast<FormSheetDialog*>(content->window());
    ASSERT_NE(sheet, nullptr);

    // Any other event to the application, and a quit addressed to some other object, leave the guard standing.
    QEvent other(QEvent::User);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &other);
    QEvent quitForTheWindow(QEvent::Quit);
    QCoreApplication::sendEvent(&window, &quitForTheWindow);
    sheet->close();
    EXPECT_TRUE(sheet->isVisible()) << "a guarded sheet closed without the application quitting";

    EXPECT_TRUE(quitTheApplication());
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(FormSheetDialogTest, edgeAndDimFollowTheScheme)
{
    EXPECT_NE(FormSheetDialog::borderColor(true), FormSheetDialog::borderColor(false));
    EXPECT_LT(FormSheetDialog::borderColor(true).lightness(), FormSheetDialog::borderColor(false).lightness());
    EXPECT_GT(FormSheetBackdrop::dimColor(true).alpha(), FormSheetBackdrop::dimColor(false).alpha());

    showAt(QSize(1024, 768));
    const QImage plain = window.grab().toImage();
    FormSheetDialog* sheet = presentSheet(QSize(300, 146));
    ASSERT_NE(sheet, nullptr);
    const QImage drawn = sheet->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(0, drawn.height() / 2), FormSheetDialog::borderColor(false));
    EXPECT_EQ(drawn.pixelColor(drawn.width() - 1, drawn.height() / 2), FormSheetDialog::borderColor(false));
    EXPECT_EQ(drawn.pixelColor(drawn.width() / 2, 0), FormSheetDialog::borderColor(false));
    // Far from the sheet the backdrop is the dim colour over the window; next to the sheet the shadow darkens it.
    const QImage behind = window.grab().toImage();
    const QPoint sheetCorner = window.mapFromGlobal(sheet->frameGeometry().bottomLeft());
    const int far = behind.pixelColor(5, behind.height() - 5).lightness();
    const int near = behind.pixelColor(sheetCorner.x() + 20, sheetCorner.y() + 3).lightness();
    EXPECT_LT(near, far);
    EXPECT_LT(far, window.palette().color(QPalette::Window).lightness());
    // The sheet's own place, to its very edge, is left as the window shows it; the row just below is shadow.
    const QRect place(window.mapFromGlobal(sheet->frameGeometry().topLeft()), sheet->frameGeometry().size());
    for (const QPoint inside : {place.center(), place.topLeft(), place.bottomRight(), place.bottomLeft()})
        EXPECT_EQ(behind.pixelColor(inside), plain.pixelColor(inside)) << inside.x() << "," << inside.y();
    const QPoint below = place.bottomLeft() + QPoint(place.width() / 2, 1);
    EXPECT_LT(behind.pixelColor(below).lightness(), plain.pixelColor(below).lightness());
}

// Counts the events of one type that reach the object it watches.
class EventCounter : public QObject {
public:
    EventCounter(QObject* watched, QEvent::Type type) : m_type(type) { watched->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == m_type ? 1 : 0;
        return false;
    }

private:
    QEvent::Type m_type;
};

// A bare window with a backdrop over it, the sheet's place given directly.
class FormSheetBackdropTest : public ::testing::Test {
protected:
    FormSheetBackdropTest()
    {
        window.resize(600, 400);
        window.setAutoFillBackground(true);
        window.show();
        backdrop = new FormSheetBackdrop(&window);
        // A child made after its window was shown stays hidden until shown itself, as the sheet does.
        backdrop->show();
    }

    // The backdrop with the sheet at local, in window coordinates, as the screen shows it.
    QImage shownWith(const QRect& local)
    {
        backdrop->setSheetRect(QRect(window.mapToGlobal(local.topLeft()), local.size()));
        return window.grab().toImage();
    }

    QWidget window;
    FormSheetBackdrop* backdrop = nullptr;
};

TEST_F(FormSheetBackdropTest, shadowFollowsTheSheetWhenItGrows)
{
    backdrop->hide();
    const QImage plain = window.grab().toImage();
    backdrop->show();
    const QImage first = shownWith(QRect(200, 100, 200, 120));
    const QRect grown(150, 80, 300, 200);
    const QImage second = shownWith(grown);
    const int far = second.pixelColor(5, 5).lightness();
    EXPECT_EQ(first.pixelColor(5, 5).lightness(), far);
    // Where the smaller sheet's shadow fell now lies under the sheet itself.
    EXPECT_LT(first.pixelColor(300, 221).lightness(), far);
    EXPECT_EQ(second.pixelColor(300, 221), plain.pixelColor(300, 221));
    // The grown sheet's own edges have their shadow, as far out as its widest ring and no further.
    const int middle = grown.center().y();
    const int across = grown.center().x();
    EXPECT_LT(second.pixelColor(grown.left() - 10, middle).lightness(), far);
    EXPECT_EQ(second.pixelColor(grown.left() - FormSheetBackdrop::ShadowRadius - 1, middle).lightness(), far);
    EXPECT_LT(second.pixelColor(grown.right() + 10, middle).lightness(), far);
    EXPECT_EQ(second.pixelColor(grown.right() + FormSheetBackdrop::ShadowRadius + 1, middle).lightness(), far);
    EXPECT_LT(second.pixelColor(across, grown.bottom() + 12).lightness(), far);
    EXPECT_EQ(second.pixelColor(across, grown.bottom() + 18).lightness(), far);
    EXPECT_LT(second.pixelColor(across, grown.top() - 1).lightness(), far);
    EXPECT_EQ(second.pixelColor(across, grown.top() - 10).lightness(), far);

    // On screen the sheet's new place is painted without anything else asking for it.
    EventCounter paints(backdrop, QEvent::Paint);
    runEventsFor(100);
    paints.count = 0;
    backdrop->setSheetRect(QRect(window.mapToGlobal(QPoint(100, 50)), QSize(200, 120)));
    EXPECT_TRUE(waitFor([&] { return paints.count > 0; }));
}

TEST_F(FormSheetBackdropTest, shadowDarkensWithTheDarkScheme)
{
    const QPalette light = QApplication::palette();
    window.setPalette(light);
    const QRect sheet(200, 100, 200, 120);
    const QPoint near(sheet.center().x(), sheet.bottom() + 2);
    const QPoint far(5, 5);
    const QImage lightShown = shownWith(sheet);
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    QApplication::setPalette(dark);
    const QImage darkShown = shownWith(sheet);
    QApplication::setPalette(light);
    // Over the same window the dark scheme's shadow takes a larger share of the light next to the sheet.
    const double lightShare = double(lightShown.pixelColor(near).lightness()) / lightShown.pixelColor(far).lightness();
    const double darkShare = double(darkShown.pixelColor(near).lightness()) / darkShown.pixelColor(far).lightness();
    EXPECT_LT(darkShare, lightShare - 0.03);
}

TEST_F(FormSheetBackdropTest, shadowReachesFurtherBelowTheSheetThanBesideIt)
{
    const QRect sheet(150, 80, 300, 200);
    const QImage shown = shownWith(sheet);
    const QColor far = shown.pixelColor(5, 5);
    const int middle = sheet.center().y();
    const int across = sheet.center().x();
    const int reach = FormSheetBackdrop::ShadowRadius;
    // Beside the sheet the shadow ends with its widest ring; below, the rings reach a fifth further, and their
    // faint last rows still show.
    EXPECT_NE(shown.pixelColor(sheet.right() + reach, middle), far);
    EXPECT_EQ(shown.pixelColor(sheet.right() + reach + 1, middle), far);
    EXPECT_NE(shown.pixelColor(across, sheet.bottom() + reach + 1), far);
    EXPECT_NE(shown.pixelColor(across, sheet.bottom() + reach + 3), far);
    EXPECT_EQ(shown.pixelColor(across, sheet.bottom() + reach + 4), far);
    // Each ring adds to the ones outside it: the shadow darkens pixel by pixel up to the sheet's edge (the
    // outermost rings are too faint to tell apart in whole steps of lightness).
    for (int out = 1; out < reach - 1; ++out)
        EXPECT_LT(shown.pixelColor(sheet.right() + out, middle).lightness(),
                  shown.pixelColor(sheet.right() + out + 1, middle).lightness())
            << out << " pixels out";
}

TEST_F(FormSheetBackdropTest, widgetTheWindowGainsLaterStaysBelowTheBackdrop)
{
    auto* late = new QWidget(&window);
    // Raised as the child arrives, not on some later event of the window.
    EXPECT_EQ(window.children().constLast(), backdrop);
    late->setGeometry(10, 10, 80, 30);
    late->show();
    EXPECT_EQ(window.childAt(late->geometry().center()), backdrop);
}

} // namespace
