#pragma once

#include <QString>

// The identifiers of the standard menus, by which a menu builder finds, removes and replaces them.
struct MenuIdentifier {
    static inline const QString Application = QStringLiteral("menu.application");
    static inline const QString About = QStringLiteral("menu.about");
    static inline const QString Preferences = QStringLiteral("menu.preferences");
    static inline const QString Hide = QStringLiteral("menu.hide");
    static inline const QString Quit = QStringLiteral("menu.quit");
    static inline const QString File = QStringLiteral("menu.file");
    static inline const QString Close = QStringLiteral("menu.close");
    static inline const QString Edit = QStringLiteral("menu.edit");
    static inline const QString UndoRedo = QStringLiteral("menu.undoRedo");
    static inline const QString StandardEdit = QStringLiteral("menu.standardEdit");
    static inline const QString Find = QStringLiteral("menu.find");
    static inline const QString Spelling = QStringLiteral("menu.spelling");
    static inline const QString SpellingOptions = QStringLiteral("menu.spellingOptions");
    static inline const QString Format = QStringLiteral("menu.format");
    static inline const QString Font = QStringLiteral("menu.font");
    static inline const QString TextColor = QStringLiteral("menu.textColor");
    static inline const QString TextStyle = QStringLiteral("menu.textStyle");
    static inline const QString Text = QStringLiteral("menu.text");
    static inline const QString View = QStringLiteral("menu.view");
    static inline const QString Toolbar = QStringLiteral("menu.toolbar");
    static inline const QString Fullscreen = QStringLiteral("menu.fullscreen");
    static inline const QString Window = QStringLiteral("menu.window");
    static inline const QString MinimizeAndZoom = QStringLiteral("menu.minimizeAndZoom");
    static inline const QString BringAllToFront = QStringLiteral("menu.bringAllToFront");
    static inline const QString Help = QStringLiteral("menu.help");
};
