#include "TestWait.h"
#include "core/AppDelegate.h"
#include "core/AppKitBridge.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/BlockedWindowClose.h"
#include "platform/MenuBarStandIn.h"
#include "platform/MenuBuilder.h"
#include "platform/MenuIdentifier.h"
#include "platform/StandardMenus.h"
#include "platform/ViewController.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A plug-in object that ends the application its own way.
class TerminatingPlugin : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void terminateApplication(QObject* sender)
    {
        ++terminations;
        lastSender = sender;
    }
    Q_INVOKABLE void showAbout(QObject*) { ++abouts; }
    int terminations = 0;
    int abouts = 0;
    QObject* lastSender = nullptr;
};

void closeAlerts()
{
    while (Alert* alert = Alert::topmost())
        alert->trigger(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A window manager's close request as X11 delivers it: a client message naming the protocol and the request.
struct CloseRequest {
    quint8 responseType = 33 | 0x80;
    quint8 format = 32;
    quint16 sequence = 0;
    quint32 window = 0;
    quint32 type = ProtocolsAtom;
    quint32 data[5] = {DeleteAtom, 0, 0, 0, 0};

    static constexpr quint32 ProtocolsAtom = 301;
    static constexpr quint32 DeleteAtom = 302;
};

// Hands the request to the application's native event filters, as the X11 platform does; true when one took it.
bool sendCloseRequest(QWidget* window, CloseRequest request, bool atomsKnown = true,
                      const QByteArray& eventType = QByteArrayLiteral("xcb_generic_event_t"))
{
    auto* watch = window->findChild<BlockedWindowClose*>();
    if (!watch)
        return false;
    // Unknown atoms are asked of an X server, and there is none offscreen.
    watch->setCloseAtoms(atomsKnown ? CloseRequest::ProtocolsAtom : 0, atomsKnown ? CloseRequest::DeleteAtom : 0);
    if (!request.window)
        request.window = quint32(window->winId());
    qintptr result = 0;
    return QAbstractEventDispatcher::instance()->filterNativeEvent(eventType, &request, &result);
}

QStringList titles(const QList<QAction*>& actions)
{
    QStringList result;
    for (QAction* action : actions)
        result << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}

class MenuTest : public ::testing::Test {
protected:
    MenuTest()
        : app(std::make_unique<AppDelegate>(dir.filePath(QStringLiteral("CardStore.sqlite")))),
          running(*qobject_cast<QApplication*>(QCoreApplication::instance()), *app)
    {
        app->didFinishLaunching();
        app->setQuitHandler([this] { ++quits; });
    }
    ~MenuTest() override { closeAlerts(); }

    QMenu* topMenu(const QString& title) const
    {
        for (QAction* action : app->window()->menuBar()->actions()) {
            if (action->menu() && action->text() == title)
                return action->menu();
        }
        return nullptr;
    }
    QAction* command(QMenu* menu, const QString& title) const
    {
        for (QAction* action : menu->actions()) {
            if (action->text() == title)
                return action;
        }
        return nullptr;
    }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> app;
    Application running;
    int quits = 0;
};

TEST_F(MenuTest, menuBarHoldsOnlyTheSupportedMenus)
{
    QStringList menus;
    for (QAction* action : app->window()->menuBar()->actions())
        menus << action->text();
    EXPECT_EQ(menus, QStringList({"Plotvane", "Edit", "View", "Window"}));
    QMenu* edit = topMenu(QStringLiteral("Edit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(command(edit, QStringLiteral("Find")), nullptr);
    EXPECT_EQ(command(edit, QStringLiteral("Spelling and Grammar")), nullptr);
    EXPECT_NE(command(edit, QStringLiteral("Paste")), nullptr);
}

TEST_F(MenuTest, checkForUpdatesFollowsAboutAndQuitKeepsItsTitleAndKey)
{
    QMenu* application = topMenu(QStringLiteral("Plotvane"));
    ASSERT_NE(application, nullptr);
    QStringList items = titles(application->actions());
    items.removeAll(QStringLiteral("-"));
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items.at(0), QStringLiteral("About Plotvane"));
    EXPECT_EQ(items.at(1), QStringLiteral("Check for Updates"));
    QAction* quit = command(application, QStringLiteral("Quit Plotvane"));
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_FALSE(application->actions().last()->isSeparator());
}

TEST_F(MenuTest, quitWithoutThePluginStillQuits)
{
    ASSERT_EQ(AppKitBridge::appKitController(), nullptr);
    command(topMenu(QStringLiteral("Plotvane")), QStringLiteral("Quit Plotvane"))->trigger();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(Alert::topmost(), nullptr);
}

TEST_F(MenuTest, quitWithThePluginEndsThroughItOnly)
{
    TerminatingPlugin plugin;
    AppKitBridge::setAppKitController(&plugin);
    app->confirmQuit();
    EXPECT_EQ(plugin.terminations, 1);
    EXPECT_EQ(plugin.lastSender, app.get());
    EXPECT_EQ(quits, 0);
}

TEST_F(MenuTest, pluginWithoutTerminationFallsBackToQuitting)
{
    QObject bare;
    AppKitBridge::setAppKitController(&bare);
    ASSERT_EQ(AppKitBridge::appKitController(), &bare);
    app->confirmQuit();
    EXPECT_EQ(quits, 1);
}

TEST_F(MenuTest, eitherEditFlagRefusesQuitWithTheAlertOnTheMainWindow)
{
    for (bool primary : {true, false}) {
        app->hasPrimaryCardEdits = primary;
        app->hasSecondaryCardEdits = !primary;
        app->confirmQuit();
        Alert* alert = Alert::topmost();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->title(), QStringLiteral("Unsaved Changes"));
        EXPECT_EQ(alert->message(),
                  QStringLiteral("Please save or discard your unsaved card changes before quitting Plotvane."));
        EXPECT_EQ(alert->actionTitles(), QStringList({"OK"}));
        EXPECT_EQ(alert->parentWidget(), app->window());
        EXPECT_EQ(quits, 0);
        // A second Quit while the alert is up does not stack another one.
        app->confirmQuit();
        EXPECT_EQ(Alert::presented().size(), 1);
        closeAlerts();
    }
    // Once the editor saved, Quit goes through.
    app->hasSecondaryCardEdits = false;
    app->hasPrimaryCardEdits = false;
    app->confirmQuit();
    EXPECT_EQ(quits, 1);
}

TEST_F(MenuTest, quitUnderASheetRefusesOverTheSheetWhileEditsWaitAndQuitsWithout)
{
    auto* root = new ViewController;
    app->window()->setCentralWidget(root);
    auto* sheet = new ViewController;
    auto* field = new QLineEdit(sheet);
    (new QVBoxLayout(sheet))->addWidget(field);
    root->present(sheet, false, {}, PresentationStyle::FormSheet);
    sheet->window()->activateWindow();
    ASSERT_TRUE(waitFor([&] { return sheet->window()->isActiveWindow(); }));
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("harbour lights"));
    app->hasSecondaryCardEdits = true;

    // The sheet blocks the window that holds the menu bar, yet its key still reaches the guard.
    QTest::keyClick(field, Qt::Key_Q, Qt::ControlModifier);
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->title(), AppDelegate::UnsavedChangesTitle);
    EXPECT_EQ(Alert::topmost()->parentWidget()->window(), sheet->window());
    // The close button asks the same guard, which does not stack a second alert.
    EXPECT_FALSE(app->window()->close());
    EXPECT_EQ(Alert::presented().size(), 1);
    EXPECT_EQ(quits, 0);
    closeAlerts();

    // The window manager's close button: the platform drops its request to a blocked window, so it is caught
    // on the way in; anything else addressed to the window is left alone.
    for (auto other : {&CloseRequest::format, &CloseRequest::responseType}) {
        CloseRequest request;
        request.*other = 8;
        EXPECT_FALSE(sendCloseRequest(app->window(), request));
    }
    CloseRequest focus;
    focus.data[0] = CloseRequest::DeleteAtom + 1;
    EXPECT_FALSE(sendCloseRequest(app->window(), focus));
    CloseRequest property;
    property.type = CloseRequest::ProtocolsAtom + 1;
    EXPECT_FALSE(sendCloseRequest(app->window(), property));
    EXPECT_FALSE(sendCloseRequest(app->window(), CloseRequest(), true, QByteArrayLiteral("windows_generic_MSG")));
    CloseRequest nameless;
    nameless.type = 0;
    nameless.data[0] = 0;
    EXPECT_FALSE(sendCloseRequest(app->window(), nameless, false));
    CloseRequest unmarked;
    unmarked.responseType = 33;
    CloseRequest elsewhere = unmarked;
    elsewhere.window = quint32(sheet->window()->winId());
    EXPECT_FALSE(sendCloseRequest(app->window(), elsewhere));
    EXPECT_EQ(Alert::topmost(), nullptr);
    EXPECT_TRUE(sendCloseRequest(app->window(), unmarked));
    ASSERT_TRUE(waitFor([] { return Alert::topmost() != nullptr; }));
    EXPECT_EQ(Alert::topmost()->title(), AppDelegate::UnsavedChangesTitle);
    EXPECT_EQ(quits, 0);
    closeAlerts();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(field->text(), QStringLiteral("harbour lights"));
    EXPECT_TRUE(app->window()->isVisible());

    app->hasSecondaryCardEdits = false;
    sheet->window()->activateWindow();
    ASSERT_TRUE(waitFor([&] { return sheet->window()->isActiveWindow(); }));
    QTest::keyClick(field, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(Alert::topmost(), nullptr);
    root->dismiss(false);
    // With nothing over it the window's close requests are the platform's own business.
    EXPECT_FALSE(sendCloseRequest(app->window(), CloseRequest()));
}

TEST_F(MenuTest, menuBarUnderASheetOffersOnlyTheApplicationCommands)
{
    TerminatingPlugin plugin;
    AppKitBridge::setAppKitController(&plugin);
    QMenuBar* bar = app->window()->menuBar();
    MenuBarStandIn* standIn = MenuBarStandIn::of(bar);
    QMenu* application = topMenu(QStringLiteral("Plotvane"));
    QMenu* edit = topMenu(QStringLiteral("Edit"));
    ASSERT_NE(application, nullptr);
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(standIn->isVisible());

    auto* root = new ViewController;
    app->window()->setCentralWidget(root);
    auto* sheet = new ViewController;
    root->present(sheet, false, {}, PresentationStyle::FormSheet);
    ASSERT_TRUE(waitFor([&] { return standIn->isVisible(); }));
    EXPECT_EQ(standIn->geometry(), QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size()));
    const int narrow = bar->width();
    app->window()->resize(narrow + 76, app->window()->height());
    ASSERT_TRUE(waitFor([&] { return bar->width() == narrow + 76 && standIn->width() == bar->width(); }));
    app->window()->move(app->window()->pos() + QPoint(40, 30));
    ASSERT_TRUE(waitFor([&] { return standIn->pos() == bar->mapToGlobal(QPoint(0, 0)); }));
    // A window of its own, with no part in what the bar's window holds: its dialogs get no commands.
    QDialog apart;
    apart.show();
    EXPECT_TRUE(apart.actions().isEmpty());
    EXPECT_FALSE(sheet->window()->actions().isEmpty());
    // Nor does a menu of the sheet's own, which would list them as items.
    auto* context = new QMenu(sheet->window());
    context->addAction(QStringLiteral("Copy"));
    context->popup(sheet->window()->mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(waitFor([&] { return context->isVisible(); }));
    EXPECT_EQ(context->actions().size(), 1);
    context->close();
    // Commands of the covered screen stay out of reach; the application's own do not.
    EXPECT_FALSE(edit->menuAction()->isEnabled());
    EXPECT_FALSE(command(application, QStringLiteral("Hide Plotvane"))->isEnabled());
    EXPECT_TRUE(command(application, QStringLiteral("Check for Updates"))->isEnabled());

    // A press on the stand-in opens the menu under it, when that menu holds an application command.
    const QPoint title = bar->actionGeometry(application->menuAction()).center();
    QTest::mouseClick(standIn, Qt::LeftButton, {}, bar->actionGeometry(edit->menuAction()).center());
    EXPECT_FALSE(edit->isVisible());
    QTest::mouseClick(standIn, Qt::LeftButton, {}, QPoint(standIn->width() - 2, standIn->height() / 2));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    const qsizetype items = application->actions().size();
    QTest::mouseClick(standIn, Qt::LeftButton, {}, title);
    ASSERT_TRUE(waitFor([&] { return application->isVisible(); }));
    EXPECT_FALSE(standIn->isVisible());
    // The menu is a window over the blocked one too, but no dialog: it gains no items.
    EXPECT_EQ(application->actions().size(), items);
    QAction* about = command(application, QStringLiteral("About Plotvane"));
    QTest::mouseClick(application, Qt::LeftButton, {}, application->actionGeometry(about).center());
    EXPECT_EQ(plugin.abouts, 1);
    ASSERT_TRUE(waitFor([&] { return standIn->isVisible(); }));

    // The bar's Quit with edits waiting: the alert, over the sheet, and nothing ends.
    app->hasPrimaryCardEdits = true;
    QTest::mouseClick(standIn, Qt::LeftButton, {}, title);
    ASSERT_TRUE(waitFor([&] { return application->isVisible(); }));
    QAction* quit = command(application, QStringLiteral("Quit Plotvane"));
    QTest::mouseClick(application, Qt::LeftButton, {}, application->actionGeometry(quit).center());
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->title(), AppDelegate::UnsavedChangesTitle);
    EXPECT_EQ(Alert::topmost()->parentWidget()->window(), sheet->window());
    EXPECT_EQ(plugin.terminations, 0);
    closeAlerts();

    root->dismiss(false);
    ASSERT_TRUE(waitFor([&] { return !standIn->isVisible(); }));
    EXPECT_TRUE(edit->menuAction()->isEnabled());
    QAction* hide = command(application, QStringLiteral("Hide Plotvane"));
    EXPECT_TRUE(hide->isEnabled());

    // What was disabled before a sheet came stays so after it went, the next time too.
    hide->setEnabled(false);
    root->present(new ViewController, false, {}, PresentationStyle::FormSheet);
    ASSERT_TRUE(waitFor([&] { return standIn->isVisible(); }));
    root->dismiss(false);
    ASSERT_TRUE(waitFor([&] { return !standIn->isVisible(); }));
    EXPECT_FALSE(hide->isEnabled());
    EXPECT_TRUE(edit->menuAction()->isEnabled());

    // The stand-in goes with its bar.
    QPointer<MenuBarStandIn> gone(MenuBarStandIn::of(new QMenuBar));
    ASSERT_FALSE(gone.isNull());
    delete gone->bar();
    ASSERT_TRUE(waitFor([&] { return gone.isNull(); }));
}

TEST_F(MenuTest, closingTheWindowRunsTheQuitGuard)
{
    app->hasPrimaryCardEdits = true;
    EXPECT_FALSE(app->window()->close());
    EXPECT_TRUE(app->window()->isVisible());
    ASSERT_NE(Alert::topmost(), nullptr);
    closeAlerts();

    app->hasPrimaryCardEdits = false;
    app->window()->close();
    EXPECT_EQ(quits, 1);
}

TEST_F(MenuTest, otherMenuSystemsLoseOnlyTextColorAndSpellingOptions)
{
    auto empty = [](const QString& title, const QString& identifier, QList<Menu::Element> children = {}) {
        return Menu::make(title, identifier, std::move(children));
    };
    MenuBuilder builder({empty(QStringLiteral("Font"), MenuIdentifier::Font,
                               {empty(QStringLiteral("Text Color"), MenuIdentifier::TextColor)}),
                         empty(QStringLiteral("Spelling"), MenuIdentifier::Spelling,
                               {empty(QStringLiteral("Options"), MenuIdentifier::SpellingOptions)})});
    app->buildMenu(builder);
    EXPECT_NE(builder.menuForIdentifier(MenuIdentifier::Font), nullptr);
    EXPECT_NE(builder.menuForIdentifier(MenuIdentifier::Spelling), nullptr);
    EXPECT_EQ(builder.menuForIdentifier(MenuIdentifier::TextColor), nullptr);
    EXPECT_EQ(builder.menuForIdentifier(MenuIdentifier::SpellingOptions), nullptr);
    EXPECT_EQ(builder.menus().size(), 2);
}

TEST_F(MenuTest, textStyleBecomesAnInlineTextMenuWithoutItsFirstCommand)
{
    MenuCommand bold{QStringLiteral("Bold"), {}, [] {}, {}, {}};
    MenuCommand italic{QStringLiteral("Italic"), {}, [] {}, {}, {}};
    MenuBuilder builder({Menu::make(QStringLiteral("Font"), MenuIdentifier::Font,
                                    {Menu::make(QStringLiteral("Style"), MenuIdentifier::TextStyle, {bold, italic})})});
    app->buildMenu(builder);
    EXPECT_EQ(builder.menuForIdentifier(MenuIdentifier::TextStyle), nullptr);
    auto text = builder.menuForIdentifier(MenuIdentifier::Text);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->displaysInline());
    EXPECT_EQ(text->title(), QStringLiteral("Style"));
    ASSERT_EQ(text->children().size(), 1);
    EXPECT_EQ(std::get<MenuCommand>(text->children().first()).title, QStringLiteral("Italic"));
}

} // namespace

#include "MenuTest.moc"
