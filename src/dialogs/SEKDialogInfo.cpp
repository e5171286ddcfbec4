#include "SEKDialogInfo.h"

#include "core/HexColor.h"
#include "dialogs/FloatingEntry.h"
#include "dialogs/SEKDialogInfoController.h"

FloatingEntryAttributes SEKDialogInfo::attributes()
{
    return FloatingEntryAttributes::dialog(EntrySize);
}

void SEKDialogInfo::show(const QString& title, const QString& text) const
{
    FloatingEntry::display(new SEKDialogInfoController(title, text), attributes(), false, FloatingEntry::mainWindow());
}

const QColor& SEKDialogInfo::kEditorForeground()
{
    static const QColor color = HexColor::colorWithHexString(QStringLiteral("#000000"));
    return color;
}

const QColor& SEKDialogInfo::kEditorDarkForeground()
{
    static const QColor color = HexColor::colorWithHexString(QStringLiteral("#DEDEDF"));
    return color;
}

const QColor& SEKDialogInfo::kEditorBackground()
{
    static const QColor color = HexColor::colorWithHexString(QStringLiteral("#FFFFFF"));
    return color;
}

const QColor& SEKDialogInfo::kEditorDarkBackground()
{
    static const QColor color = HexColor::colorWithHexString(QStringLiteral("#252524"));
    return color;
}
