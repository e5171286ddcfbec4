#include "OpmlReader.h"

#include "OpmlLineBreakFilter.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

const QString OutlineElement = QStringLiteral("outline");
const QString RootElement = QStringLiteral("opml");

} // namespace

std::optional<QString> OpmlReader::read(const QString& path, const OpmlStackItem& root, const Start& start,
                                        const End& end) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return UnreadableMessage;
    if (file.size() > m_limits.maxFileBytes)
        return TooLargeMessage;
    OpmlLineBreakFilter filtered(&file);
    QXmlStreamReader xml(&filtered);
    QList<OpmlStackItem> parents{root};
    int depth = 0;
    qint64 outlines = 0;
    bool sawRoot = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            return DoctypeMessage;
        case QXmlStreamReader::StartElement:
            if (++depth > m_limits.maxDepth)
                return TooDeepMessage;
            if (depth == 1) {
                if (xml.name() != RootElement)
                    return NotOpmlMessage;
                sawRoot = true;
            }
            if (xml.name() == OutlineElement) {
                if (++outlines > m_limits.maxOutlines)
                    return TooLargeMessage;
                OpmlStackItem item = start(xml.attributes(), parents.last());
                parents.last().childCount += 1;
                parents.append(std::move(item));
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            if (xml.name() == OutlineElement && parents.size() > 1) {
                if (!end(parents.last()))
                    return UnreadableMessage;
                parents.removeLast();
            }
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        return xml.errorString();
    if (!sawRoot)
        return NotOpmlMessage;
    return std::nullopt;
}
