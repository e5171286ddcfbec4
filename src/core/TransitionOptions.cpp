#include "TransitionOptions.h"

TransitionOptions::TransitionOptions(Direction direction, Curve style) : direction(direction), style(style)
{
}

QEasingCurve TransitionOptions::easingCurve() const
{
    switch (style) {
    case Curve::easeIn:
        return QEasingCurve::InQuad;
    case Curve::easeOut:
        return QEasingCurve::OutQuad;
    case Curve::easeInOut:
        return QEasingCurve::InOutQuad;
    case Curve::linear:
        break;
    }
    return QEasingCurve::Linear;
}

void TransitionOptions::animationDidStop(bool finished) const
{
    if (completionBlock)
        completionBlock(finished);
}
