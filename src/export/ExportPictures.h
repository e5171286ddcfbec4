#pragma once

#include "platform/rtf/RtfWriter.h"

class QTextDocument;
class QTextFormat;
class QTextImageFormat;

// The picture an image attachment of a document shows, at the size it is shown in points: the format's own
// width and height when it has them, else the image's.
class ExportPictures {
public:
    static RtfWriter::Picture pictureFor(const QTextImageFormat& format, const QTextDocument& document);
    // The box a checkbox format shows, ticked or not, in the appearance it was made in, at the size it takes
    // on its line; a null picture for any other format.
    static RtfWriter::Picture checkboxPictureFor(const QTextFormat& format, const QTextDocument& document);
    static RtfWriter::PictureLookup lookupIn(const QTextDocument& document);
};
