#pragma once

#include <QObject>

// Tells whether the application looks dark (its palette's window colour is dark) and signals when that changes.
class ColorScheme : public QObject {
    Q_OBJECT

public:
    static ColorScheme* instance();
    static bool isDark();

signals:
    void changed(bool dark);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ColorScheme();

    bool m_dark = false;
};
