#pragma once

#include <QString>

// The published identifiers of Office Open XML (ECMA-376) and of Word's extension schemas that a minimal
// WordprocessingML package declares.
namespace DocxNamespaces {

inline const QString Ecma = QStringLiteral("http://schemas.openxmlformats.org/");
inline const QString Word = QStringLiteral("http://schemas.microsoft.com/");

inline const QString ContentTypes = Ecma + QStringLiteral("package/2006/content-types");
inline const QString Relationships = Ecma + QStringLiteral("package/2006/relationships");
inline const QString OfficeDocumentType = Ecma + QStringLiteral("officeDocument/2006/relationships/officeDocument");
inline const QString ImageType = Ecma + QStringLiteral("officeDocument/2006/relationships/image");
inline const QString DrawingMain = Ecma + QStringLiteral("drawingml/2006/main");
inline const QString Picture = Ecma + QStringLiteral("drawingml/2006/picture");

// The namespace attributes of "w:document", in the order they are written.
struct Declaration {
    const char* name;
    QString uri;
};
inline const Declaration DocumentDeclarations[] = {
    {"xmlns:wpc", Word + QStringLiteral("office/word/2010/wordprocessingCanvas")},
    {"xmlns:mc", Ecma + QStringLiteral("markup-compatibility/2006")},
    {"xmlns:o", QStringLiteral("urn:schemas-microsoft-com:office:office")},
    {"xmlns:r", Ecma + QStringLiteral("officeDocument/2006/relationships")},
    {"xmlns:m", Ecma + QStringLiteral("officeDocument/2006/math")},
    {"xmlns:v", QStringLiteral("urn:schemas-microsoft-com:vml")},
    {"xmlns:wp14", Word + QStringLiteral("office/word/2010/wordprocessingDrawing")},
    {"xmlns:wp", Ecma + QStringLiteral("drawingml/2006/wordprocessingDrawing")},
    {"xmlns:wp10", QStringLiteral("urn:schemas-microsoft-com:office:word")},
    {"xmlns:w", Ecma + QStringLiteral("wordprocessingml/2006/main")},
    {"xmlns:w14", Word + QStringLiteral("office/word/2010/wordml")},
    {"xmlns:w15", Word + QStringLiteral("office/word/2012/wordml")},
    {"xmlns:wpg", Word + QStringLiteral("office/word/2010/wordprocessingGroup")},
    {"xmlns:wpi", Word + QStringLiteral("office/word/2010/wordprocessingInk")},
    {"xmlns:wne", Word + QStringLiteral("office/word/2006/wordml")},
    {"xmlns:wps", Word + QStringLiteral("office/word/2010/wordprocessingShape")},
};

inline const QString RelationshipsContentType =
    QStringLiteral("application/vnd.openxmlformats-package.relationships+xml");
inline const QString DocumentContentType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
inline const QString PngContentType = QStringLiteral("image/png");

} // namespace DocxNamespaces
