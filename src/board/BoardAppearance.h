#pragma once

#include <QColor>
#include <QString>

class QWidget;
class ViewController;

// The board's colours for the current appearance: its navigation bar, its own toolbar and its background, dark
// grey with white text and controls in the dark scheme, white with black in the light one. The board applies them
// when it is about to appear, when the appearance changes and after every change of filter.
class BoardAppearance {
public:
    static inline const QString BackgroundHex = QStringLiteral("#FFFFFF");
    static inline const QString BackgroundDarkHex = QStringLiteral("#252524");

    static QColor backgroundColor(bool dark);
    static QColor tintColor(bool dark);

    // Colours board (and the navigation bar holding it, and toolbarView when given) for the current scheme, and
    // names the window after title, trimmed as folder titles are, when it is not empty.
    static void apply(ViewController* board, QWidget* toolbarView, const QString& title);
};
