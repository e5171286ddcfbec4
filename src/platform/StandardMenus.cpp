#include "StandardMenus.h"

#include "MenuIdentifier.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QToolBar>
#include <QWidget>

namespace {

// Text widgets carry these as slots without arguments (undo, redo, cut, copy, paste, selectAll).
std::function<void()> toFocusWidget(const char* slot)
{
    return [slot] {
        if (QWidget* focus = QApplication::focusWidget())
            QMetaObject::invokeMethod(focus, slot);
    };
}

std::function<void()> keyToFocusWidget(Qt::Key key)
{
    return [key] {
        if (QWidget* focus = QApplication::focusWidget()) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(focus, &press);
        }
    };
}

std::function<void()> toActiveWindow(std::function<void(QWidget*)> fn)
{
    return [fn = std::move(fn)] {
        if (QWidget* window = QApplication::activeWindow())
            fn(window);
    };
}

MenuCommand command(const QString& title, std::function<void()> handler, const QString& input = {},
                    Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
{
    MenuCommand result;
    result.title = title;
    result.handler = std::move(handler);
    result.input = input;
    result.modifiers = input.isEmpty() ? Qt::NoModifier : modifiers;
    return result;
}

std::shared_ptr<Menu> group(const QString& identifier, QList<Menu::Element> children)
{
    return Menu::make(QString(), identifier, std::move(children), true);
}

void toggleToolbars(QWidget* window)
{
    const QList<QToolBar*> bars = window->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly);
    for (QToolBar* bar : bars)
        bar->setVisible(!bar->isVisible());
}

} // namespace

QList<std::shared_ptr<Menu>> StandardMenus::menuBar(const QString& appName)
{
    return {applicationMenu(appName), fileMenu(), editMenu(), formatMenu(), viewMenu(), windowMenu(),
            helpMenu(appName)};
}

std::shared_ptr<Menu> StandardMenus::applicationMenu(const QString& appName)
{
    MenuCommand about;
    about.title = QStringLiteral("About %1").arg(appName);
    about.action = AboutAction;
    about.applicationWide = true;
    return Menu::make(appName, MenuIdentifier::Application,
                      {group(MenuIdentifier::About, {about}), group(MenuIdentifier::Preferences, {}),
                       group(MenuIdentifier::Hide, {command(QStringLiteral("Hide %1").arg(appName),
                                                            toActiveWindow([](QWidget* w) { w->showMinimized(); }))}),
                       group(MenuIdentifier::Quit, {command(
                                                       QStringLiteral("Quit %1").arg(appName),
                                                       [] { QCoreApplication::quit(); }, QStringLiteral("q"))})});
}

std::shared_ptr<Menu> StandardMenus::fileMenu()
{
    return Menu::make(
        QStringLiteral("File"), MenuIdentifier::File,
        {group(MenuIdentifier::Close, {command(QStringLiteral("Close"), toActiveWindow([](QWidget* w) { w->close(); }),
                                               QStringLiteral("w"))})});
}

std::shared_ptr<Menu> StandardMenus::editMenu()
{
    const Qt::KeyboardModifiers shifted = Qt::ControlModifier | Qt::ShiftModifier;
    return Menu::make(
        QStringLiteral("Edit"), MenuIdentifier::Edit,
        {group(MenuIdentifier::UndoRedo,
               {command(QStringLiteral("Undo"), toFocusWidget("undo"), QStringLiteral("z")),
                command(QStringLiteral("Redo"), toFocusWidget("redo"), QStringLiteral("z"), shifted)}),
         group(MenuIdentifier::StandardEdit,
               {command(QStringLiteral("Cut"), toFocusWidget("cut"), QStringLiteral("x")),
                command(QStringLiteral("Copy"), toFocusWidget("copy"), QStringLiteral("c")),
                command(QStringLiteral("Paste"), toFocusWidget("paste"), QStringLiteral("v")),
                command(QStringLiteral("Delete"), keyToFocusWidget(Qt::Key_Delete)),
                command(QStringLiteral("Select All"), toFocusWidget("selectAll"), QStringLiteral("a"))}),
         Menu::make(QStringLiteral("Find"), MenuIdentifier::Find,
                    {command(QStringLiteral("Find…"), keyToFocusWidget(Qt::Key_Find), QStringLiteral("f"))}),
         Menu::make(QStringLiteral("Spelling and Grammar"), MenuIdentifier::Spelling,
                    {Menu::make(QStringLiteral("Spelling Options"), MenuIdentifier::SpellingOptions, {})})});
}

std::shared_ptr<Menu> StandardMenus::formatMenu()
{
    return Menu::make(QStringLiteral("Format"), MenuIdentifier::Format,
                      {Menu::make(QStringLiteral("Font"), MenuIdentifier::Font,
                                  {Menu::make(QStringLiteral("Text Style"), MenuIdentifier::TextStyle, {}),
                                   Menu::make(QStringLiteral("Text Color"), MenuIdentifier::TextColor, {})}),
                       Menu::make(QStringLiteral("Text"), MenuIdentifier::Text, {})});
}

std::shared_ptr<Menu> StandardMenus::viewMenu()
{
    return Menu::make(
        QStringLiteral("View"), MenuIdentifier::View,
        {group(MenuIdentifier::Toolbar, {command(QStringLiteral("Show or Hide Toolbar"), toActiveWindow(toggleToolbars),
                                                 QStringLiteral("t"), Qt::ControlModifier | Qt::AltModifier)}),
         group(MenuIdentifier::Fullscreen, {command(QStringLiteral("Enter Full Screen"), toActiveWindow([](QWidget* w) {
                                                        w->setWindowState(w->windowState() ^ Qt::WindowFullScreen);
                                                    }),
                                                    QStringLiteral("F11"), Qt::NoModifier)})});
}

std::shared_ptr<Menu> StandardMenus::windowMenu()
{
    return Menu::make(
        QStringLiteral("Window"), MenuIdentifier::Window,
        {group(MenuIdentifier::MinimizeAndZoom,
               {command(QStringLiteral("Minimize"), toActiveWindow([](QWidget* w) { w->showMinimized(); }),
                        QStringLiteral("m")),
                command(QStringLiteral("Zoom"),
                        toActiveWindow([](QWidget* w) { w->isMaximized() ? w->showNormal() : w->showMaximized(); }))}),
         group(MenuIdentifier::BringAllToFront,
               {command(QStringLiteral("Bring All to Front"), toActiveWindow([](QWidget* w) { w->raise(); }))})});
}

std::shared_ptr<Menu> StandardMenus::helpMenu(const QString& appName)
{
    return Menu::make(QStringLiteral("Help"), MenuIdentifier::Help,
                      {command(QStringLiteral("%1 Help").arg(appName), {})});
}
