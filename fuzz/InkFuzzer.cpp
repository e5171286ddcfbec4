// libFuzzer entry for the drawing reader: every input must return without a crash, a hang or a sanitizer
// report; whatever it accepts must write back to the very same bytes and render within the pixel cap.
#include "platform/ink/InkReader.h"
#include "platform/ink/InkRenderer.h"
#include "platform/ink/InkWriter.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QtEndian>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

namespace {

// Random mutations almost never keep a CRC right, so each input is also tried with its trailer recomputed: that
// carries the fuzzer past the checksum into the records behind it.
QByteArray resealed(QByteArrayView input)
{
    QByteArray bytes = input.toByteArray();
    if (bytes.size() >= InkFormat::HeaderSize + InkFormat::TrailerSize) {
        const qsizetype body = bytes.size() - InkFormat::TrailerSize;
        qToLittleEndian(InkFormat::checksum(QByteArrayView(bytes).first(body)), bytes.data() + body);
    }
    return bytes;
}

void check(QByteArrayView input)
{
    const InkDecodeResult result = InkReader::decode(input);
    if (result.ok() == (result.error != InkDecodeError::None))
        __builtin_trap();
    if (!result.ok())
        return;
    const std::optional<QByteArray> written = InkWriter::encode(*result.drawing);
    if (!written || QByteArrayView(*written) != input)
        __builtin_trap();
    // A small cap keeps each run fast; the cap itself is what must hold.
    InkRenderer::Options options;
    options.maxPixels = 256 * 256;
    const QImage image = InkRenderer::image(*result.drawing, result.drawing->bounds(), 3.0, options);
    if (qint64(image.width()) * image.height() > options.maxPixels)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char*>(data), qsizetype(size));
    check(input);
    check(resealed(input));
    return 0;
}
