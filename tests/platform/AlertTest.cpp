#include "platform/Alert.h"
#include "TestWait.h"
#include "platform/ColorScheme.h"
#include "platform/FormSheetDialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <limits>

namespace {

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(AlertTest, presentReturnsAtOnceAndTheAlertCanBeFound)
{
    QWidget window;
    window.show();
    auto* alert = new Alert(QStringLiteral("Title"), QStringLiteral("Message"));
    alert->addAction(QStringLiteral("Cancel"), AlertActionStyle::Cancel);
    alert->addAction(QStringLiteral("Delete"), AlertActionStyle::Destructive);
    alert->present(&window);

    EXPECT_EQ(Alert::topmost(), alert);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->windowModality(), Qt::WindowModal);
    EXPECT_EQ(alert->actionTitles(), QStringList({"Cancel", "Delete"}));
    EXPECT_EQ(alert->findChild<QLabel*>(QStringLiteral("alertMessage"))->text(), QStringLiteral("Message"));
    EXPECT_TRUE(alert->findChild<QLabel*>(QStringLiteral("alertTitle"))->isVisible());
    EXPECT_EQ(alert->actionStyle(1), AlertActionStyle::Destructive);
    // Out of range, far or near, is the default style.
    for (const int outside : {-1, 2, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()})
        EXPECT_EQ(alert->actionStyle(outside), AlertActionStyle::Default) << outside;
    // A dialog of the window, kept above it, with no frame of a window manager's to minimize the program from.
    EXPECT_EQ(alert->windowType(), Qt::Dialog);
    EXPECT_TRUE(alert->windowFlags().testFlag(Qt::FramelessWindowHint));
    ASSERT_NE(alert->windowHandle(), nullptr);
    EXPECT_EQ(alert->windowHandle()->transientParent(), window.windowHandle());
    // It draws its edge itself, as a sheet does.
    EXPECT_EQ(alert->grab().toImage().pixelColor(0, alert->height() / 2),
              FormSheetDialog::borderColor(ColorScheme::isDark()));
    alert->activateWindow();
    ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == alert; }));
    alert->trigger(0);
    // Closed, it hands the keyboard back to the window under it, whether or not a window manager would.
    EXPECT_TRUE(waitFor([&] { return QApplication::activeWindow() == &window; }));
    flushDeletes();
}

// The application counts a moment without a focus window as going to the background, and saves everything pending
// then: neither showing an alert nor closing it may pass through one.
TEST(AlertTest, showingAndClosingNeverLeavesTheApplicationWithoutAFocusWindow)
{
    QWidget window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(waitFor([&] { return QGuiApplication::focusWindow() == window.windowHandle(); }));
    int withoutFocus = 0;
    const QMetaObject::Connection watch = QObject::connect(qApp, &QGuiApplication::focusWindowChanged,
                                                           [&withoutFocus](QWindow* focus) { withoutFocus += !focus; });
    auto* alert = new Alert(QStringLiteral("Unsaved Changes"), QStringLiteral("Please save first."));
    alert->addAction(QStringLiteral("OK"));
    alert->present(&window);
    ASSERT_TRUE(waitFor([&] { return QGuiApplication::focusWindow() == alert->windowHandle(); }));
    alert->trigger(0);
    EXPECT_TRUE(waitFor([&] { return QGuiApplication::focusWindow() == window.windowHandle(); }));
    flushDeletes();
    runEventsFor(20);
    QObject::disconnect(watch);
    EXPECT_EQ(withoutFocus, 0);
}

TEST(AlertTest, pressingAButtonClosesFirstThenRunsItsHandlerOnce)
{
    QPointer<Alert> alert = new Alert(QStringLiteral("T"), QStringLiteral("M"));
    int runs = 0;
    bool stillPresented = true;
    alert->addAction(QStringLiteral("Keep"), AlertActionStyle::Cancel, [&] { ++runs; });
    alert->addAction(QStringLiteral("Go"), AlertActionStyle::Default, [&] {
        ++runs;
        stillPresented = Alert::presented().contains(alert.data());
    });
    alert->present(nullptr);
    // On its own, with the keyboard and no window under it.
    alert->activateWindow();
    ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == alert; }));

    QTest::mouseClick(alert->findChild<QPushButton*>(QStringLiteral("alertAction1")), Qt::LeftButton);
    alert->trigger(0);
    alert->trigger(1);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(stillPresented);
    EXPECT_EQ(Alert::topmost(), nullptr);
    flushDeletes();
    EXPECT_TRUE(alert.isNull());
}

TEST(AlertTest, escapePressesCancelAndIsIgnoredWithoutOne)
{
    bool cancelled = false;
    auto* cancellable = new Alert(QStringLiteral("T"), {});
    cancellable->addAction(QStringLiteral("OK"));
    cancellable->addAction(QStringLiteral("Cancel"), AlertActionStyle::Cancel, [&] { cancelled = true; });
    cancellable->present(nullptr);
    QTest::keyClick(cancellable, Qt::Key_Escape);
    EXPECT_TRUE(cancelled);

    auto* choice = new Alert(QStringLiteral("T"), {});
    choice->addAction(QStringLiteral("A"));
    choice->addAction(QStringLiteral("B"));
    choice->present(nullptr);
    QTest::keyClick(choice, Qt::Key_Escape);
    EXPECT_EQ(Alert::topmost(), choice);
    choice->trigger(5);
    EXPECT_EQ(Alert::topmost(), choice);
    choice->trigger(1);
    EXPECT_TRUE(Alert::presented().isEmpty());
    flushDeletes();
}

} // namespace

namespace {

TEST(AlertTest, textFieldsAreReadableInTheHandlerAndReturnConfirmsRatherThanCancels)
{
    QWidget window;
    window.show();
    auto* alert = new Alert(QStringLiteral("New Folder"), {});
    alert->addTextField([](QLineEdit* field) { field->setPlaceholderText(QStringLiteral("Title")); });
    QString typed;
    bool cancelled = false;
    alert->addAction(QStringLiteral("Cancel"), AlertActionStyle::Cancel, [&] { cancelled = true; });
    alert->addAction(QStringLiteral("Create"), AlertActionStyle::Default,
                     [&] { typed = alert->textFields().first()->text(); });
    alert->present(&window);

    ASSERT_EQ(alert->textFields().size(), 1);
    QLineEdit* field = alert->findChild<QLineEdit*>(QStringLiteral("alertTextField0"));
    ASSERT_EQ(field, alert->textFields().first());
    EXPECT_EQ(field->placeholderText(), QStringLiteral("Title"));
    QTest::keyClicks(field, QStringLiteral("Act One"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(typed, QStringLiteral("Act One"));
    EXPECT_EQ(Alert::topmost(), nullptr);
    flushDeletes();
}

TEST(AlertTest, actionSheetStacksButtonsWithCancelLastAndTakesNoTextField)
{
    auto* sheet = new Alert({}, {}, AlertStyle::ActionSheet);
    sheet->addAction(QStringLiteral("Cancel"), AlertActionStyle::Cancel);
    bool exported = false;
    sheet->addAction(QStringLiteral("Export"), AlertActionStyle::Default, [&] { exported = true; });
    sheet->addTextField();
    sheet->present(nullptr);

    EXPECT_EQ(sheet->style(), AlertStyle::ActionSheet);
    // Without a title or a message, neither takes room above the buttons.
    EXPECT_FALSE(sheet->findChild<QLabel*>(QStringLiteral("alertTitle"))->isVisible());
    EXPECT_FALSE(sheet->findChild<QLabel*>(QStringLiteral("alertMessage"))->isVisible());
    EXPECT_TRUE(sheet->textFields().isEmpty());
    auto* cancel = sheet->findChild<QPushButton*>(QStringLiteral("alertAction0"));
    auto* exportButton = sheet->findChild<QPushButton*>(QStringLiteral("alertAction1"));
    EXPECT_LT(exportButton->geometry().top(), cancel->geometry().top());
    QTest::mouseClick(exportButton, Qt::LeftButton);
    EXPECT_TRUE(exported);
    flushDeletes();
}

} // namespace
