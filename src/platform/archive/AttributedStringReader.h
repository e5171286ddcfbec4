#pragma once

#include "platform/archive/ArchiveObject.h"

#include <memory>

class QTextDocument;

// Turns an unarchived attributed string (its "NSString", "NSAttributes" and "NSAttributeInfo") into a
// QTextDocument whose positions match the string's UTF-16 indexes.
class AttributedStringReader {
public:
    // nullptr when root is not an attributed string or its runs do not fit its text.
    static std::unique_ptr<QTextDocument> read(const ArchiveObject& root);
};
