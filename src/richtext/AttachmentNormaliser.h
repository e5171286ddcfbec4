#pragma once

#include <QTextCharFormat>
#include <optional>

class QTextDocument;

// Brings every attachment of a text to the three kinds a stored document may hold: checkboxes are made afresh
// (so their image follows the current appearance), and any other attachment becomes an image attachment that
// keeps only its image. An attachment with no image to keep is dropped; its U+FFFC stays as plain text.
class AttachmentNormaliser {
public:
    static void normalise(QTextDocument& document, bool dark, int from = 0, int to = -1);

    // Whether the format stands for an attachment of any kind.
    static bool isAttachment(const QTextFormat& format);
    // The format with every attachment property removed: what is left of a run whose attachment is dropped.
    static QTextCharFormat withoutAttachment(QTextCharFormat format);

private:
    // The normalised format of an attachment run, or nullopt to leave the run as it is.
    static std::optional<QTextCharFormat> normalised(QTextDocument& document, const QTextCharFormat& format, bool dark);
    static std::optional<QTextCharFormat> normalisedImage(QTextDocument& document, const QTextCharFormat& format);
};
