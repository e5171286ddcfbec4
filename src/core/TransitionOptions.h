#pragma once

#include <QColor>
#include <QEasingCurve>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <variant>

// How the window's root screen is replaced: a reveal from one side (or a fade), its length and curve,
// and what to call when it ends. It also remembers, weakly, the screen it replaced.
class TransitionOptions {
public:
    enum class Direction { fade, toTop, toBottom, toLeft, toRight };
    enum class Curve { linear, easeIn, easeOut, easeInOut };

    struct SolidColor {
        QColor color;
    };
    struct CustomView {
        QPointer<QWidget> view;
    };
    struct Snapshot {};
    // A backdrop choice; replacing the root does not read it.
    using Background = std::variant<SolidColor, CustomView, Snapshot>;

    static constexpr double DefaultDuration = 0.3;

    TransitionOptions(Direction direction, Curve style);

    double duration = DefaultDuration;
    Direction direction;
    Curve style;
    std::optional<Background> background;
    std::function<void(bool finished)> completionBlock;
    QPointer<QWidget> previousViewController;

    QEasingCurve easingCurve() const;
    // Calls the completion, when one is set, with finished.
    void animationDidStop(bool finished) const;
};
