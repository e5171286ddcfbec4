#include "ZWDocxWriter.h"

#include "DocxNamespaces.h"
#include "ExportPictures.h"
#include "GDataXMLDocument.h"
#include "XmlText.h"
#include "richtext/CheckboxAttachment.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <cmath>

namespace {

using Element = std::unique_ptr<GDataXMLElement>;

constexpr char16_t ObjectReplacement = 0xFFFC;
constexpr char16_t LineSeparator = 0x2028;
constexpr char16_t ParagraphSeparator = 0x2029;
const QString Zero8 = QStringLiteral("00000000");

Element element(const char* name)
{
    return GDataXMLNode::elementWithName(QString::fromLatin1(name));
}

Element element(const char* name, std::initializer_list<std::pair<const char*, QString>> attributes)
{
    Element e = element(name);
    for (const auto& [attribute, value] : attributes)
        e->addAttribute(QString::fromLatin1(attribute), value);
    return e;
}

Element valueElement(const char* name, const QString& value)
{
    return element(name, {{"w:val", value}});
}

QByteArray serialised(Element root)
{
    return GDataXMLDocument(std::move(root)).XMLData();
}

QString alignmentValue(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter)
        return QStringLiteral("center");
    if (alignment & Qt::AlignJustify)
        return QStringLiteral("both");
    if (alignment & Qt::AlignRight)
        return QStringLiteral("right");
    return QStringLiteral("left");
}

} // namespace

ZWDocxWriter::ZWDocxWriter(const QTextDocument& document) : m_document(document)
{
}

long long ZWDocxWriter::pointsToEmus(double points)
{
    return (long long)(points)*EmusPerPoint;
}

QByteArray ZWDocxWriter::buildDocument()
{
    m_media.clear();
    Element root = buildRootElement();
    Element body = element("w:body");
    QTextBlock last = m_document.lastBlock();
    // The empty text after a final line break forms no paragraph.
    if (last.length() <= 1 && last != m_document.firstBlock())
        last = last.previous();
    for (QTextBlock block = m_document.firstBlock(); block.isValid(); block = block.next()) {
        body->addChild(buildParagraph(block));
        if (block == last)
            break;
    }
    body->addChild(buildSectPrElement());
    root->addChild(std::move(body));
    return serialised(std::move(root));
}

Element ZWDocxWriter::buildRootElement() const
{
    Element root = element("w:document");
    for (const auto& declaration : DocxNamespaces::DocumentDeclarations)
        root->addAttribute(QString::fromLatin1(declaration.name), declaration.uri);
    root->addAttribute(QStringLiteral("mc:Ignorable"), QStringLiteral("w14 w15 wp14"));
    return root;
}

Element ZWDocxWriter::buildParagraph(const QTextBlock& block)
{
    Element paragraph = element("w:p", {{"w:rsidR", Zero8}, {"w:rsidRDefault", Zero8}, {"w:rsidP", Zero8}});
    paragraph->addChild(buildParagraphProperties(block));
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat()) {
            // Neighbouring pictures of one format share a fragment: one drawing per character.
            const RtfWriter::Picture picture = ExportPictures::pictureFor(format.toImageFormat(), m_document);
            for (int i = 0; i < fragment.length(); ++i)
                appendPictureRun(*paragraph, picture, format);
        } else if (CheckboxAttachment::isCheckboxFormat(format)) {
            appendCheckboxRuns(*paragraph, fragment.text(), format);
        } else {
            appendTextRun(*paragraph, fragment.text(), format);
        }
    }
    return paragraph;
}

void ZWDocxWriter::appendCheckboxRuns(GDataXMLElement& paragraph, const QString& text, const QTextCharFormat& format)
{
    // A word processor has no checkbox of ours: each box goes in as the picture the text shows for it.
    const RtfWriter::Picture box = ExportPictures::checkboxPictureFor(format, m_document);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text.at(i).unicode() != ObjectReplacement)
            continue;
        if (i > start)
            appendTextRun(paragraph, text.mid(start, i - start), format);
        if (i < text.size())
            appendPictureRun(paragraph, box, format);
        start = i + 1;
    }
}

Element ZWDocxWriter::buildParagraphProperties(const QTextBlock& block) const
{
    Element properties = element("w:pPr");
    properties->addChild(getTabstopElement());
    bool hasContent = false;
    for (auto it = block.begin(); !it.atEnd() && !hasContent; ++it)
        hasContent = it.fragment().length() > 0;
    if (hasContent)
        properties->addChild(valueElement("w:jc", alignmentValue(block.blockFormat().alignment())));
    return properties;
}

Element ZWDocxWriter::getTabstopElement()
{
    Element tabs = element("w:tabs");
    tabs->addChild(element("w:tab", {{"w:val", QStringLiteral("left")}, {"w:pos", QStringLiteral("360")}}));
    return tabs;
}

QString ZWDocxWriter::fontFamilyNameForFont(const QTextCharFormat& format, const QTextDocument& document)
{
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? document.defaultFont().family() : families.first();
}

bool ZWDocxWriter::isBold(const QTextCharFormat& format, const QString& family)
{
    return format.fontWeight() >= QFont::Bold || family.contains(QLatin1String("bold"), Qt::CaseInsensitive);
}

bool ZWDocxWriter::isItalic(const QTextCharFormat& format, const QString& family)
{
    return format.fontItalic() || family.contains(QLatin1String("italic"), Qt::CaseInsensitive) ||
           family.contains(QLatin1String("oblique"), Qt::CaseInsensitive);
}

Element ZWDocxWriter::buildRunProperties(const QTextCharFormat& format) const
{
    Element properties = element("w:rPr");
    const QString family = fontFamilyNameForFont(format, m_document);
    properties->addChild(
        element("w:rFonts", {{"w:cs", family}, {"w:ascii", family}, {"w:hAnsi", family}, {"w:eastAsia", family}}));
    const double size =
        format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : m_document.defaultFont().pointSizeF();
    // Half-points are rounded: 17.5 points is 35, not 34.
    const long halfPoints = std::lround(size * 2.0);
    if (halfPoints > 0)
        properties->addChild(valueElement("w:sz", QString::number(halfPoints)));
    if (isBold(format, family))
        properties->addChild(valueElement("w:b", QStringLiteral("1")));
    if (isItalic(format, family))
        properties->addChild(valueElement("w:i", QStringLiteral("1")));
    if (format.fontUnderline())
        properties->addChild(valueElement("w:u", QStringLiteral("single")));
    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
        const QColor color = format.foreground().color();
        properties->addChild(
            valueElement("w:color", QString::asprintf("%02X%02X%02X", color.red(), color.green(), color.blue())));
    }
    return properties;
}

void ZWDocxWriter::appendTextRun(GDataXMLElement& paragraph, const QString& text, const QTextCharFormat& format) const
{
    Element run = element("w:r", {{"w:rsidR", Zero8}});
    run->addChild(buildRunProperties(format));
    bool hasContent = false;
    QString pending;
    auto flush = [&] {
        if (pending.isEmpty())
            return;
        Element t = GDataXMLNode::elementWithName(QStringLiteral("w:t"), pending);
        t->addAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        run->addChild(std::move(t));
        pending.clear();
        hasContent = true;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\t')) {
            flush();
            run->addChild(element("w:tab"));
            hasContent = true;
        } else if (c == LineSeparator || c == ParagraphSeparator || c == QLatin1Char('\n') || c == QLatin1Char('\r') ||
                   c == QLatin1Char('\v')) {
            flush();
            run->addChild(element("w:br"));
            hasContent = true;
        } else if (c.unicode() != ObjectReplacement) {
            // An attachment character with nothing to show in a word processor.
            pending.append(c);
        }
    }
    // Forbidden characters go here, so one of them never empties the rest of the run.
    pending = XmlText::sanitized(pending);
    flush();
    if (hasContent)
        paragraph.addChild(std::move(run));
}

void ZWDocxWriter::appendPictureRun(GDataXMLElement& paragraph, const RtfWriter::Picture& picture,
                                    const QTextCharFormat& format)
{
    if (picture.image.isNull())
        return;
    Media media;
    media.number = int(m_media.size()) + 1;
    media.fileName = QStringLiteral("image%1.png").arg(media.number);
    media.image = picture.image;
    media.png = RtfWriter::pngDataLater(picture.image);
    Element run = element("w:r", {{"w:rsidR", Zero8}});
    run->addChild(buildRunProperties(format));
    run->addChild(buildImage(media, picture.size));
    paragraph.addChild(std::move(run));
    m_media.append(media);
}

Element ZWDocxWriter::buildImage(const Media& media, const QSizeF& size) const
{
    const QString cx = QString::number(pointsToEmus(size.width()));
    const QString cy = QString::number(pointsToEmus(size.height()));
    const QString id = QString::number(media.number);
    const QString name = media.fileName;
    const QString zero = QStringLiteral("0");

    Element inline_ = element("wp:inline", {{"distT", zero}, {"distB", zero}, {"distL", zero}, {"distR", zero}});
    inline_->addChild(element("wp:extent", {{"cx", cx}, {"cy", cy}}));
    inline_->addChild(element("wp:effectExtent", {{"l", zero}, {"t", zero}, {"r", zero}, {"b", zero}}));
    inline_->addChild(element("wp:docPr", {{"id", id}, {"name", name}}));
    Element frame = element("wp:cNvGraphicFramePr");
    frame->addChild(element("a:graphicFrameLocks",
                            {{"noChangeAspect", QStringLiteral("1")}, {"xmlns:a", DocxNamespaces::DrawingMain}}));
    inline_->addChild(std::move(frame));

    Element nvPicPr = element("pic:nvPicPr");
    nvPicPr->addChild(element("pic:cNvPr", {{"id", id}, {"name", name}}));
    nvPicPr->addChild(element("pic:cNvPicPr"));
    Element blipFill = element("pic:blipFill");
    blipFill->addChild(element("a:blip", {{"r:embed", QStringLiteral("rId%1").arg(media.number)}}));
    Element stretch = element("a:stretch");
    stretch->addChild(element("a:fillRect"));
    blipFill->addChild(std::move(stretch));
    Element xfrm = element("a:xfrm");
    xfrm->addChild(element("a:off", {{"x", zero}, {"y", zero}}));
    xfrm->addChild(element("a:ext", {{"cx", cx}, {"cy", cy}}));
    Element geometry = element("a:prstGeom", {{"prst", QStringLiteral("rect")}});
    geometry->addChild(element("a:avLst"));
    Element spPr = element("pic:spPr");
    spPr->addChild(std::move(xfrm));
    spPr->addChild(std::move(geometry));
    Element pic = element("pic:pic", {{"xmlns:pic", DocxNamespaces::Picture}});
    pic->addChild(std::move(nvPicPr));
    pic->addChild(std::move(blipFill));
    pic->addChild(std::move(spPr));
    Element graphicData = element("a:graphicData", {{"uri", DocxNamespaces::Picture}});
    graphicData->addChild(std::move(pic));
    Element graphic = element("a:graphic", {{"xmlns:a", DocxNamespaces::DrawingMain}});
    graphic->addChild(std::move(graphicData));
    inline_->addChild(std::move(graphic));

    Element drawing = element("w:drawing");
    drawing->addChild(std::move(inline_));
    return drawing;
}

Element ZWDocxWriter::buildSectPrElement()
{
    Element section = element("w:sectPr", {{"w:rsidR", Zero8}, {"w:rsidRPr", Zero8}});
    section->addChild(element("w:pgSz", {{"w:w", QStringLiteral("12240")}, {"w:h", QStringLiteral("15840")}}));
    const QString margin = QStringLiteral("1440");
    const QString edge = QStringLiteral("720");
    section->addChild(element("w:pgMar", {{"w:top", margin},
                                          {"w:right", margin},
                                          {"w:bottom", margin},
                                          {"w:left", margin},
                                          {"w:header", edge},
                                          {"w:footer", edge}}));
    section->addChild(element("w:cols", {{"w:space", edge}}));
    section->addChild(element("w:docGrid", {{"w:linePitch", QStringLiteral("360")}}));
    return section;
}

QByteArray ZWDocxWriter::buildContentTypes() const
{
    Element types = element("Types", {{"xmlns", DocxNamespaces::ContentTypes}});
    types->addChild(element("Override", {{"PartName", QLatin1Char('/') + RelationshipsPart},
                                         {"ContentType", DocxNamespaces::RelationshipsContentType}}));
    if (!m_media.isEmpty())
        types->addChild(element("Override", {{"PartName", QLatin1Char('/') + DocumentRelationshipsPart},
                                             {"ContentType", DocxNamespaces::RelationshipsContentType}}));
    types->addChild(element("Override", {{"PartName", QLatin1Char('/') + DocumentPart},
                                         {"ContentType", DocxNamespaces::DocumentContentType}}));
    types->addChild(
        element("Default", {{"Extension", QStringLiteral("PNG")}, {"ContentType", DocxNamespaces::PngContentType}}));
    return serialised(std::move(types));
}

QByteArray ZWDocxWriter::buildRelationships() const
{
    Element relationships = element("Relationships", {{"xmlns", DocxNamespaces::Relationships}});
    relationships->addChild(element(
        "Relationship",
        {{"Id", QStringLiteral("rId1")}, {"Type", DocxNamespaces::OfficeDocumentType}, {"Target", DocumentPart}}));
    return serialised(std::move(relationships));
}

QByteArray ZWDocxWriter::buildDocRelationships() const
{
    Element relationships = element("Relationships", {{"xmlns", DocxNamespaces::Relationships}});
    for (const Media& media : m_media) {
        relationships->addChild(element("Relationship", {{"Id", QStringLiteral("rId%1").arg(media.number)},
                                                         {"Type", DocxNamespaces::ImageType},
                                                         {"Target", QStringLiteral("media/") + media.fileName}}));
    }
    return serialised(std::move(relationships));
}
