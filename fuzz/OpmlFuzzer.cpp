// Reads arbitrary bytes as an outline file; every outline the reader reports must sit inside its parent, and
// crashes or sanitizer reports are the findings.
#include "export/OpmlReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("input.opml"));
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    OpmlReader::Limits limits;
    limits.maxDepth = 64;
    limits.maxOutlines = 10000;
    OpmlStackItem root;
    root.itemId = QStringLiteral("_top");
    qint64 started = 0;
    qint64 ended = 0;
    const auto start = [&](const QXmlStreamAttributes& attributes, const OpmlStackItem& parent) {
        ++started;
        OpmlStackItem item;
        item.parentItemId = parent.itemId;
        item.itemId = QString::number(started);
        item.displayOrder = parent.nextChildDisplayOrder();
        item.title = attributes.value(QStringLiteral("text")).toString();
        return item;
    };
    const auto end = [&](const OpmlStackItem& item) {
        if (item.itemId.isEmpty() || item.displayOrder < 1)
            std::abort();
        ++ended;
        return true;
    };
    const bool whole = !OpmlReader(limits).read(input, root, start, end).has_value();
    if (ended > started || (whole && ended != started))
        std::abort();
    return 0;
}
