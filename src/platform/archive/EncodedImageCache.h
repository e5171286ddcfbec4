#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>

// PNG encodings of the pictures of rich text, kept by image identity. A card is archived again on every save
// and every snapshot while its pictures stay the same; compressing each of them again would take most of the
// time. Bounded in bytes, shared by every thread.
class EncodedImageCache {
public:
    // The image as PNG, encoded now or taken from an earlier encoding of the same image.
    static QByteArray png(const QImage& image);
    // The PNG bytes kept for the image, without encoding it when there are none.
    static std::optional<QByteArray> known(const QImage& image);
    // Keeps bytes a picture was just read from as its encoding, when they are PNG: saving the text again
    // then stores the very bytes it was read from.
    static void remember(const QImage& image, const QByteArray& pngBytes);
    // Encodings kept at most, in bytes.
    static constexpr qsizetype MaxBytes = qsizetype(64) * 1024 * 1024;

private:
    static QByteArray encode(const QImage& image);
};
