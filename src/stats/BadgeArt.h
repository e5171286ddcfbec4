#pragma once

#include <QImage>
#include <QString>

// The achievement badges, drawn here rather than shipped as files: each of the thirteen achievements has a badge,
// a grey placeholder shown while it is not earned, and a wide picture for sharing. Images are asked for by the
// names the achievements carry ("novel-length.png", "novel-length-placeholder.png", "novel-length-share.png").
class BadgeArt {
public:
    static constexpr int ShareWidth = 1200;
    static constexpr int ShareHeight = 630;

    // The image of that name: a square badge of side pixels, or the share picture at its own size. A name of no
    // achievement gives a null image.
    static QImage image(const QString& name, int side = 256);
    static bool isKnown(const QString& name);

private:
    struct Design;
    static const Design* designFor(const QString& stem);
    static QImage badge(const Design& design, bool placeholder, int side);
    static QImage share(const Design& design);
};
