#include "platform/archive/EncodedImageCache.h"

#include <QBuffer>
#include <QCache>
#include <QMutex>
#include <QMutexLocker>

namespace {

struct Cache {
    QMutex mutex;
    // Cost in KiB, so that one large picture cannot overflow the cost type.
    QCache<qint64, QByteArray> encodings{int(EncodedImageCache::MaxBytes / 1024)};
};

Cache& cache()
{
    static Cache shared;
    return shared;
}

} // namespace

QByteArray EncodedImageCache::encode(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Middle quality trades a little size for much faster saving of large pictures.
    image.save(&buffer, "PNG", 50);
    return bytes;
}

std::optional<QByteArray> EncodedImageCache::known(const QImage& image)
{
    if (image.isNull())
        return std::nullopt;
    // The key names the pixels: a changed image gets a new key, so a stale encoding is never handed out.
    QMutexLocker lock(&cache().mutex);
    if (const QByteArray* bytes = cache().encodings.object(image.cacheKey()))
        return *bytes;
    return std::nullopt;
}

QByteArray EncodedImageCache::png(const QImage& image)
{
    if (image.isNull())
        return encode(image);
    if (std::optional<QByteArray> bytes = known(image))
        return *bytes;
    const QByteArray bytes = encode(image);
    remember(image, bytes);
    return bytes;
}

void EncodedImageCache::remember(const QImage& image, const QByteArray& pngBytes)
{
    if (image.isNull() || !pngBytes.startsWith("\x89PNG"))
        return;
    QMutexLocker lock(&cache().mutex);
    cache().encodings.insert(image.cacheKey(), new QByteArray(pngBytes),
                             int(std::max<qsizetype>(1, pngBytes.size() / 1024)));
}
