#pragma once

#include "Menu.h"

#include <QList>
#include <QString>
#include <memory>

// The menus every desktop window starts with, before an application trims them: the application
// menu (About, Preferences, Hide, Quit), File, Edit (with Find and Spelling), Format, View, Window
// and Help. Editing commands go to the focused widget, window commands to the active window.
class StandardMenus {
public:
    static QList<std::shared_ptr<Menu>> menuBar(const QString& appName);

    // Sent along the responder chain by About; the application delegate answers it.
    static inline const QByteArray AboutAction = QByteArrayLiteral("orderFrontStandardAboutPanel");

private:
    static std::shared_ptr<Menu> applicationMenu(const QString& appName);
    static std::shared_ptr<Menu> fileMenu();
    static std::shared_ptr<Menu> editMenu();
    static std::shared_ptr<Menu> formatMenu();
    static std::shared_ptr<Menu> viewMenu();
    static std::shared_ptr<Menu> windowMenu();
    static std::shared_ptr<Menu> helpMenu(const QString& appName);
};
