#include "ReadablePlaceholders.h"

#include "ColorScheme.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>

ReadablePlaceholders::ReadablePlaceholders(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* field = qobject_cast<QLineEdit*>(widget))
            apply(field);
    }
}

void ReadablePlaceholders::apply(QLineEdit* field)
{
    // Only the placeholder becomes the field's own: its base and text go on following its parent and the desktop.
    QPalette palette = field->palette();
    bool changed = false;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor base = palette.color(group, QPalette::Base);
        const QColor placeholder = ColorScheme::over(palette.color(group, QPalette::PlaceholderText), base);
        if (ColorScheme::contrastRatio(placeholder, base) >= MinimumContrast)
            continue;
        palette.setColor(group, QPalette::PlaceholderText,
                         ColorScheme::inkAtContrast(palette.color(group, QPalette::Text), base, MinimumContrast));
        changed = true;
    }
    if (changed)
        field->setPalette(palette);
}

bool ReadablePlaceholders::eventFilter(QObject* watched, QEvent* event)
{
    // A field is looked at when it is first shown and whenever its colours change; setting a readable colour
    // changes them once more, and then there is nothing left to do.
    if (event->type() == QEvent::Polish || event->type() == QEvent::PaletteChange) {
        if (auto* field = qobject_cast<QLineEdit*>(watched))
            apply(field);
    }
    return QObject::eventFilter(watched, event);
}
