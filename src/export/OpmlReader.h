#pragma once

#include "OpmlStackItem.h"

#include <QList>
#include <QString>
#include <QXmlStreamAttributes>
#include <functional>
#include <optional>

// Walks the outlines of an OPML file with a streaming XML reader, so a large file is never held whole. The
// reader refuses a document type declaration (no entity is ever expanded), a file above the size limit, and
// elements nested deeper or outlines more numerous than the limits allow.
class OpmlReader {
public:
    struct Limits {
        qint64 maxFileBytes = qint64(1) << 30;
        int maxDepth = 256;
        qint64 maxOutlines = 4'000'000;
    };

    static inline const QString UnreadableMessage = QStringLiteral("The outline file cannot be read.");
    static inline const QString DoctypeMessage = QStringLiteral("Outline files with a document type are not read.");
    static inline const QString TooLargeMessage = QStringLiteral("The outline file is too large.");
    static inline const QString TooDeepMessage = QStringLiteral("The outline file is nested too deeply.");
    static inline const QString NotOpmlMessage = QStringLiteral("The file is not an outline (OPML) file.");

    // Makes the stack item of an outline from its attributes, below parent (whose child count it may read).
    using Start = std::function<OpmlStackItem(const QXmlStreamAttributes& attributes, const OpmlStackItem& parent)>;
    // Called when an outline ends, children first; answering false stops the reading with an error.
    using End = std::function<bool(const OpmlStackItem& item)>;

    OpmlReader() = default;
    explicit OpmlReader(const Limits& limits) : m_limits(limits) {}

    // Reads the file below root; nullopt when the whole document was read, else why it was not.
    std::optional<QString> read(const QString& path, const OpmlStackItem& root, const Start& start,
                                const End& end) const;

private:
    Limits m_limits;
};
