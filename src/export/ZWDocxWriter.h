#pragma once

#include "GDataXMLElement.h"
#include "platform/rtf/RtfWriter.h"

#include <QByteArray>
#include <QFuture>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>
#include <memory>

class QTextBlock;
class QTextCharFormat;
class QTextDocument;

// Turns a document into the XML parts of a minimal WordprocessingML package: one paragraph per block, one run
// per fragment, each picture and each checkbox a drawing in a run of its own. Pictures are numbered while the fragments
// are walked, so the n-th drawing always names relationship n and media file n, whatever the text says and however many
// pictures share one image.
class ZWDocxWriter {
public:
    // One picture of the text, in text order: relationship "rId" + number, file "media/" + fileName.
    struct Media {
        int number = 0;
        QString fileName;
        QImage image;
        // Its PNG bytes, encoded on the thread pool while the rest of the text is written.
        QFuture<QByteArray> png;
    };

    static constexpr int EmusPerPoint = 12700;
    static inline const QString DocumentPart = QStringLiteral("word/document.xml");
    static inline const QString ContentTypesPart = QStringLiteral("[Content_Types].xml");
    static inline const QString RelationshipsPart = QStringLiteral("_rels/.rels");
    static inline const QString DocumentRelationshipsPart = QStringLiteral("word/_rels/document.xml.rels");
    static inline const QString MediaFolder = QStringLiteral("word/media/");

    explicit ZWDocxWriter(const QTextDocument& document);

    // "word/document.xml"; the pictures it meets are listed in media() afterwards.
    QByteArray buildDocument();
    QByteArray buildContentTypes() const;
    QByteArray buildRelationships() const;
    // "word/_rels/document.xml.rels": one image relationship per picture.
    QByteArray buildDocRelationships() const;
    const QList<Media>& media() const { return m_media; }

    static long long pointsToEmus(double points);

private:
    std::unique_ptr<GDataXMLElement> buildRootElement() const;
    std::unique_ptr<GDataXMLElement> buildParagraph(const QTextBlock& block);
    std::unique_ptr<GDataXMLElement> buildParagraphProperties(const QTextBlock& block) const;
    std::unique_ptr<GDataXMLElement> buildRunProperties(const QTextCharFormat& format) const;
    void appendTextRun(GDataXMLElement& paragraph, const QString& text, const QTextCharFormat& format) const;
    void appendPictureRun(GDataXMLElement& paragraph, const RtfWriter::Picture& picture, const QTextCharFormat& format);
    void appendCheckboxRuns(GDataXMLElement& paragraph, const QString& text, const QTextCharFormat& format);
    std::unique_ptr<GDataXMLElement> buildImage(const Media& media, const QSizeF& size) const;
    static std::unique_ptr<GDataXMLElement> buildSectPrElement();
    static std::unique_ptr<GDataXMLElement> getTabstopElement();
    static QString fontFamilyNameForFont(const QTextCharFormat& format, const QTextDocument& document);
    static bool isBold(const QTextCharFormat& format, const QString& family);
    static bool isItalic(const QTextCharFormat& format, const QString& family);

    const QTextDocument& m_document;
    QList<Media> m_media;
};
