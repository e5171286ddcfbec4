#pragma once

#include "dialogs/FloatingEntryAttributes.h"

#include <QColor>
#include <QSize>
#include <QString>

// Shows the floating information dialog over the main window. Keeps nothing.
class SEKDialogInfo {
public:
    static constexpr QSize EntrySize{300, 300};

    SEKDialogInfo() = default;

    void show(const QString& title, const QString& text) const;
    static FloatingEntryAttributes attributes();

    // The card editors' bar colours, made once for the process: text in the light and dark appearance,
    // background in the light and dark appearance.
    static const QColor& kEditorForeground();
    static const QColor& kEditorDarkForeground();
    static const QColor& kEditorBackground();
    static const QColor& kEditorDarkBackground();
};
