#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// The system symbol names the screens use, mapped to icons of the freedesktop theme "breeze", or drawn by us
// where no theme has the glyph (the numbered discs, the Question and Done tags' glyphs, the circled plus, the
// warning triangle, the text-size letters and the chevrons). A name
// the theme cannot answer, or one not in the table, gets a ring with its initial, so an icon is never empty. A
// disabled control shows every glyph, the theme's and ours alike, at the same reduced opacity.
class SymbolIcons {
public:
    static QIcon icon(const QString& symbolName);
    // The freedesktop icon name for symbolName; empty for a name not in the table or drawn by us.
    static QString themeName(const QString& symbolName);
    // Whether symbolName is one of the symbols drawn by us rather than taken from the theme.
    static bool isDrawn(const QString& symbolName);
    static QStringList symbolNames();
    // Chooses the icon theme once for the process; later calls do nothing.
    static void ensureTheme();

private:
    static QIcon themedIcon(const QString& symbolName);
    static QIcon drawnIcon(const QString& symbolName);
};
