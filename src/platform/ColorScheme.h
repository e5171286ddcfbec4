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
    // How opaque a disabled control's text and glyphs are, against its enabled look.
    static constexpr float DisabledOpacity = 0.5f;
    // A disabled control's ink: its own tint, half seen. Whatever the area's colour, it stays visible on it and
    // clearly fainter than the enabled ink, where one grey for all would vanish on some colours.
    static QColor dimmed(QColor tint);
    // Gives role the colour tint in palette, dimmed for a disabled control, so that the writer sees it cannot be
    // used.
    static void setTint(QPalette& palette, QPalette::ColorRole role, const QColor& tint);
    // How far apart two opaque colours read, as the web's contrast rules count it: from 1 (alike) to 21 (black on
    // white).
    static double contrastRatio(const QColor& ink, const QColor& ground);
    // ink as seen on ground: its transparency laid over it.
    static QColor over(const QColor& ink, const QColor& ground);
    // The colour on the way from ground to ink that stands ratio apart from ground, so that a faint text stays
    // readable; ink itself (laid over ground) when it stands no further apart than that.
    static QColor inkAtContrast(const QColor& ink, const QColor& ground, double ratio);

signals:
    void changed(bool dark);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ColorScheme();

    bool m_dark = false;
};
