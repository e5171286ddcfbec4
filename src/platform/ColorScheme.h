#pragma once

#include <QColor>
#include <QObject>
#include <QPalette>

// Tells whether the application looks dark (its palette's window colour is dark) and signals when that changes.
class ColorScheme : public QObject {
    Q_OBJECT

public:
    static ColorScheme* instance();
    static bool isDark();
    // The colour the platform draws role in for a disabled control, in the scheme in force.
    static QColor disabledColor(QPalette::ColorRole role = QPalette::ButtonText);
    // Gives role the colour tint in palette, except for a disabled control, which keeps the platform's disabled
    // colour so that the writer sees it cannot be used.
    static void setTint(QPalette& palette, QPalette::ColorRole role, const QColor& tint);

signals:
    void changed(bool dark);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ColorScheme();

    bool m_dark = false;
};
