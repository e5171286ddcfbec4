#pragma once

#include "platform/rtf/RtfWriter.h"

class QTextDocument;
class QTextImageFormat;

// The picture an image attachment of a document shows, at the size it is shown in points: the format's own
// width and height when it has them, else the image's.
class ExportPictures {
public:
    static RtfWriter::Picture pictureFor(const QTextImageFormat& format, const QTextDocument& document);
    static RtfWriter::PictureLookup lookupIn(const QTextDocument& document);
};
