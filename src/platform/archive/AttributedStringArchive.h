#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <memory>

class QTextDocument;

// A card body as a keyed archive of an NSMutableAttributedString, read into and written from a QTextDocument.
// Attachments follow platform/text/TextAttachment.h; fonts map to family, point size, bold and italic; colours to
// the foreground; paragraph styles to block alignment, indents and spacing.
class AttributedStringArchive {
public:
    static QByteArray encode(const QTextDocument& document);
    // nullptr when the bytes are not a keyed archive, use a class outside allowedClasses, or the root is not an
    // attributed string. The classes an attributed string is made of (strings, dictionaries, arrays, data,
    // fonts, colours, paragraph styles, NSTextAttachment and its file wrapper) are allowed whenever
    // "NSAttributedString" or "NSMutableAttributedString" is; attachment subclasses must be named.
    static std::unique_ptr<QTextDocument> decode(const QByteArray& bytes, const QSet<QString>& allowedClasses);
    // Every class a stored card body may hold, our attachment classes included.
    static QSet<QString> cardBodyClasses();
    // True when bytes begin like a binary property list (a cheap test before a full decode).
    static bool looksLikeArchive(const QByteArray& bytes);

private:
    // The classes an attributed string is built from, allowed along with it.
    static QSet<QString> partClasses();
};
