#include "platform/ActivationReturn.h"
#include "TestWait.h"
#include "platform/Alert.h"
#include "platform/FormSheetDialog.h"
#include "platform/ViewController.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// A main window whose text field has the keyboard, a sheet presented over it, and an alert over the sheet, as a
// card's Discard Changes sits over its popup. The platform reports each activation some time after it was asked
// for, as a window system does; the tests close dialogs in the same call, before any report comes in.
class ActivationReturnTest : public ::testing::Test {
protected:
    ActivationReturnTest()
    {
        root = new ViewController;
        text = new QLineEdit(root);
        (new QVBoxLayout(root))->addWidget(text);
        window.setCentralWidget(root);
        window.resize(900, 700);
        window.show();
        ViewController::transitionAppearance(root, true, false);
        window.activateWindow();
        EXPECT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
        text->setFocus();
    }
    ~ActivationReturnTest() override
    {
        for (Alert* alert : Alert::presented())
            alert->done(0);
        if (root->presentedViewController())
            root->dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A sheet over the window, with the keyboard.
    QWidget* presentSheet()
    {
        sheet = new ViewController;
        auto* field = new QLineEdit(sheet);
        (new QVBoxLayout(sheet))->addWidget(field);
        root->present(sheet, false, {}, PresentationStyle::FormSheet);
        QWidget* shown = sheet->window();
        EXPECT_NE(qobject_cast<FormSheetDialog*>(shown), nullptr);
        EXPECT_TRUE(waitFor([&] { return QApplication::activeWindow() == shown; }));
        field->setFocus();
        return shown;
    }
    // An alert over the sheet, with the keyboard; its one button runs handler.
    Alert* presentAlert(std::function<void()> handler)
    {
        auto* alert = new Alert(QStringLiteral("Discard Changes"), QStringLiteral("Sure?"));
        alert->addAction(QStringLiteral("Discard"), AlertActionStyle::Destructive, std::move(handler));
        alert->present(sheet);
        EXPECT_TRUE(waitFor([&] { return QApplication::activeWindow() == alert; }));
        return alert;
    }
    // Types as the keyboard does: into whichever window the platform last made the focus window.
    static void typeOnTheKeyboard(const QString& letters)
    {
        QWindow* focus = QGuiApplication::focusWindow();
        ASSERT_NE(focus, nullptr) << "no window takes the keys";
        for (const QChar letter : letters)
            QTest::keyClick(focus, letter.toLatin1());
    }
    // The window under every dialog has the keyboard back, in the field it had it in.
    void expectTheKeysInTheWindow()
    {
        EXPECT_TRUE(waitFor([&] { return QGuiApplication::focusWindow() == window.windowHandle(); }));
        EXPECT_EQ(QApplication::activeWindow(), &window);
        ASSERT_NO_FATAL_FAILURE(typeOnTheKeyboard(QStringLiteral("gull")));
        EXPECT_EQ(text->text(), QStringLiteral("gull"));
    }

    QMainWindow window;
    ViewController* root = nullptr;
    QLineEdit* text = nullptr;
    ViewController* sheet = nullptr;
};

TEST_F(ActivationReturnTest, anAlertThatClosesItsSheetGivesTheKeysToTheWindowUnderBoth)
{
    QPointer<QWidget> sheetWindow = presentSheet();
    Alert* alert = presentAlert([this] { root->dismiss(true); });
    QTest::mouseClick(alert->findChild<QPushButton*>(QStringLiteral("alertAction0")), Qt::LeftButton);
    ASSERT_FALSE(sheetWindow && sheetWindow->isVisible());
    expectTheKeysInTheWindow();
}

TEST_F(ActivationReturnTest, aSheetClosedUnderItsAlertGivesTheKeysToTheWindowAndTheAlertLeavesThemThere)
{
    presentSheet();
    Alert* alert = presentAlert({});
    root->dismiss(true);
    alert->trigger(0);
    expectTheKeysInTheWindow();
}

TEST_F(ActivationReturnTest, aSheetClosedLaterStillPassesTheKeysItWasGivenButNeverReportedToHave)
{
    presentSheet();
    Alert* alert = presentAlert({});
    alert->trigger(0);
    // The alert is gone before the platform has told the sheet it is active; then the sheet closes.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    root->dismiss(true);
    expectTheKeysInTheWindow();
}

TEST_F(ActivationReturnTest, aSheetClosingWhileAnotherWindowHasTheKeysLeavesThemThere)
{
    QWidget elsewhere;
    elsewhere.show();
    // A window outside the sheet's chain has the keyboard: the sheet closes behind its back.
    presentSheet();
    elsewhere.activateWindow();
    ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == &elsewhere; }));
    root->dismiss(true);
    runEventsFor(50);
    EXPECT_EQ(QApplication::activeWindow(), &elsewhere) << "a sheet without the keyboard took it from elsewhere";

    // A sheet handed the keyboard once, which then went elsewhere and with that window away: no window is active,
    // and the sheet closing later has nothing to hand on.
    presentSheet();
    presentAlert({})->trigger(0);
    ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == sheet->window(); }));
    elsewhere.activateWindow();
    ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == &elsewhere; }));
    elsewhere.hide();
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    root->dismiss(true);
    runEventsFor(50);
    EXPECT_NE(QApplication::activeWindow(), &window) << "a sheet that had no keyboard took it from elsewhere";
}

} // namespace
