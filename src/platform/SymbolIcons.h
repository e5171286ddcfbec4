#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// The system symbol names the screens use, mapped to icons of the freedesktop theme "breeze". A name the
// theme cannot answer, or one not in the table, gets a drawn icon, so an icon is never empty.
class SymbolIcons {
public:
    static QIcon icon(const QString& symbolName);
    // The freedesktop icon name for symbolName; empty for a name not in the table.
    static QString themeName(const QString& symbolName);
    static QStringList symbolNames();
    // Chooses the icon theme once for the process; later calls do nothing.
    static void ensureTheme();

private:
    static QIcon drawnIcon(const QString& symbolName);
};
