// libFuzzer entry for the RTF reader: every input must return, without a crash, a hang or a sanitizer report, and
// every input that begins as RTF must give a document. That beginning is spelled here, not asked of the reader, so
// a reader that wrongly refused RTF could not excuse itself.
#include "platform/rtf/RtfReader.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    // Broken pictures make the image plug-ins warn on nearly every input.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto document = RtfReader::read(input);
    if (input.startsWith("{\\rtf") && !document)
        __builtin_trap();
    return 0;
}
