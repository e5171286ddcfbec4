#pragma once

#include <QTextFormat>

// How an attachment standing on U+FFFC is carried in a QTextDocument, shared by the archive codec, the
// RTF reader and the rich-text view.
//
// - An image: a QTextImageFormat whose name() is a document image resource (QTextDocument::ImageResource,
//   a QImage); ClassName tells its archived class.
// - A checkbox or any other attachment: a character format with objectType() == ObjectType, drawn by the
//   view's QTextObjectInterface; ClassName tells which, FileContents/FileType keep what it carried.
namespace TextAttachment {

inline constexpr int ObjectType = QTextFormat::UserObject + 1;

enum Property {
    // QString: the archived class ("QJTextAttachment", "QJCheckboxAttachment", "QJUncheckedCheckboxAttachment",
    // "NSTextAttachment").
    ClassName = QTextFormat::UserProperty + 100,
    // QByteArray: the file wrapper's regular file contents.
    FileContents,
    // QString: the uniform type identifier of the contents, e.g. "public.png".
    FileType,
    // double: vertical offset below the baseline (checkboxes: -4.0).
    Descender,
};

inline const char* const ImageClass = "QJTextAttachment";
inline const char* const CheckedClass = "QJCheckboxAttachment";
inline const char* const UncheckedClass = "QJUncheckedCheckboxAttachment";
inline const char* const PlainClass = "NSTextAttachment";

}  // namespace TextAttachment
