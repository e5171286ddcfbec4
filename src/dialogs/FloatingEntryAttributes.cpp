#include "FloatingEntryAttributes.h"

#include "platform/ColorScheme.h"

namespace {

constexpr int EntranceMs = 400;
constexpr int ExitMs = 350;
constexpr double EntranceScaleFrom = 0.6;
constexpr double EntranceFadeFrom = 0.8;
constexpr double ShadowOpacity = 0.3;
constexpr double ShadowRadius = 6;
constexpr int CornerRadius = 10;

} // namespace

FloatingEntryAttributes FloatingEntryAttributes::centerFloat()
{
    FloatingEntryAttributes attributes;
    attributes.infiniteDuration = false;
    attributes.screenInteraction = ScreenInteraction::AbsorbTouches;
    attributes.entrance.slideMs = 300;
    attributes.exit.slideMs = 300;
    attributes.pop.slideMs = 300;
    return attributes;
}

FloatingEntryAttributes FloatingEntryAttributes::dialog(const QSize& size)
{
    FloatingEntryAttributes attributes = centerFloat();
    attributes.infiniteDuration = true;
    attributes.size = size;
    attributes.screenInteraction = ScreenInteraction::Dismiss;
    attributes.entryAbsorbsTouches = true;
    attributes.entryBackground = Qt::transparent;
    // Chosen once, when the entry is built; a later style change leaves the dimming as it is.
    attributes.screenBackground =
        ColorScheme::isDark() ? QColor::fromRgbF(0, 0, 0, 0.5) : QColor::fromRgbF(0.5, 0.5, 0.5, 0.5);
    attributes.shadowColor = Qt::black;
    attributes.shadowOpacity = ShadowOpacity;
    attributes.shadowRadius = ShadowRadius;
    attributes.cornerRadius = CornerRadius;
    attributes.entrance =
        Animation{EntranceMs, 1.0, 0.0, EntranceMs, EntranceScaleFrom, 1.0, EntranceMs, EntranceFadeFrom, 1.0};
    attributes.exit = Animation{};
    attributes.exit.slideMs = ExitMs;
    attributes.pop = Animation{};
    attributes.pop.slideMs = ExitMs;
    return attributes;
}
