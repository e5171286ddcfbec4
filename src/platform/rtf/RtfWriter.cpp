#include "RtfWriter.h"

#include "platform/archive/EncodedImageCache.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

namespace {

constexpr char16_t ObjectReplacement = 0xFFFC;
constexpr char16_t LineSeparator = 0x2028;
constexpr char16_t ParagraphSeparator = 0x2029;
constexpr int TwipsPerPoint = 20;
// Quick PNG compression: the packages deflate the bytes again, and large manuscripts must export fast.
constexpr int PngQuality = 80;

void appendNumber(QByteArray& out, long long value)
{
    out.append(QByteArray::number(value));
}

const char* alignmentWord(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter)
        return "\\qc";
    if (alignment & Qt::AlignJustify)
        return "\\qj";
    if ((alignment & Qt::AlignRight) || ((alignment & Qt::AlignTrailing) && !(alignment & Qt::AlignAbsolute)))
        return "\\qr";
    return "\\ql";
}

} // namespace

RtfWriter::RtfWriter(Pictures pictures, PictureLookup lookup) : m_pictures(pictures), m_lookup(std::move(lookup))
{
}

int RtfWriter::halfPoints(double points)
{
    return int(std::lround(points * 2.0));
}

QByteArray RtfWriter::pngData(const QImage& image)
{
    if (std::optional<QByteArray> stored = EncodedImageCache::known(image))
        return *stored;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(PngQuality);
    writer.write(image);
    return bytes;
}

QByteArray RtfWriter::escapedText(const QString& text)
{
    QByteArray out;
    appendEscaped(out, text);
    return out;
}

void RtfWriter::appendEscaped(QByteArray& out, QStringView text)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out.append('\\');
            out.append(char(c));
        } else if (c == u'\t') {
            out.append("\\tab ");
        } else if (c == LineSeparator || c == u'\n' || c == u'\v' || c == ParagraphSeparator) {
            out.append("\\line ");
        } else if (c >= 0x20 && c < 0x7F) {
            out.append(char(c));
        } else if (c < 0x20 || c == 0x7F || c == ObjectReplacement || c == 0xFFFE || c == 0xFFFF) {
            // Control characters and attachment characters without a picture carry nothing a reader can show.
        } else {
            // \uN takes a signed 16-bit number; surrogates arrive one unit at a time and so form the pair. The
            // "?" fallback is written as \'3f: some readers take a literal one as part of the next character.
            out.append("\\u");
            appendNumber(out, c > 0x7FFF ? int(c) - 0x10000 : int(c));
            out.append("\\'3f");
        }
    }
}

QString RtfWriter::familyOf(const QTextCharFormat& format) const
{
    const QStringList families = format.fontFamilies().toStringList();
    QString family = families.isEmpty() ? m_defaultFamily : families.first();
    // The font table ends each name at ";".
    family.remove(QLatin1Char(';'));
    return family.isEmpty() ? QStringLiteral("Helvetica") : family;
}

double RtfWriter::sizeOf(const QTextCharFormat& format) const
{
    const double size = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : m_defaultSize;
    return size > 0 ? size : m_defaultSize;
}

void RtfWriter::collectTables(const QTextDocument& document)
{
    m_defaultFamily = document.defaultFont().family();
    if (document.defaultFont().pointSizeF() > 0)
        m_defaultSize = document.defaultFont().pointSizeF();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QString family = familyOf(format);
            if (!m_fontIndex.contains(family)) {
                m_fontIndex.insert(family, int(m_fonts.size()));
                m_fonts.append(family);
            }
            if (format.hasProperty(QTextFormat::ForegroundBrush)) {
                const QRgb rgb = format.foreground().color().rgb() & 0xFFFFFF;
                if (!m_colorIndex.contains(rgb)) {
                    m_colors.append(QColor::fromRgb(rgb));
                    m_colorIndex.insert(rgb, int(m_colors.size()));
                }
            }
        }
    }
    if (m_fonts.isEmpty()) {
        m_fontIndex.insert(familyOf(QTextCharFormat()), 0);
        m_fonts.append(familyOf(QTextCharFormat()));
    }
}

void RtfWriter::writeHeader(QByteArray& out) const
{
    out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl");
    for (int i = 0; i < m_fonts.size(); ++i) {
        out.append("{\\f");
        appendNumber(out, i);
        out.append("\\fnil\\fcharset0 ");
        appendEscaped(out, m_fonts.at(i));
        out.append(";}");
    }
    out.append("}\n{\\colortbl;");
    for (const QColor& color : m_colors) {
        out.append("\\red");
        appendNumber(out, color.red());
        out.append("\\green");
        appendNumber(out, color.green());
        out.append("\\blue");
        appendNumber(out, color.blue());
        out.append(';');
    }
    out.append("}\n");
}

void RtfWriter::writeFormat(QByteArray& out, const QTextCharFormat& format) const
{
    out.append("\\f");
    appendNumber(out, m_fontIndex.value(familyOf(format)));
    out.append("\\fs");
    appendNumber(out, halfPoints(sizeOf(format)));
    if (format.fontWeight() >= QFont::Bold)
        out.append("\\b");
    if (format.fontItalic())
        out.append("\\i");
    if (format.fontUnderline())
        out.append("\\ul");
    if (format.fontStrikeOut())
        out.append("\\strike");
    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
        out.append("\\cf");
        appendNumber(out, m_colorIndex.value(format.foreground().color().rgb() & 0xFFFFFF));
    }
    out.append(' ');
}

void RtfWriter::writeRun(QByteArray& out, const QString& text, const QTextCharFormat& format)
{
    out.append('{');
    writeFormat(out, format);
    appendEscaped(out, text);
    out.append('}');
}

void RtfWriter::writePicture(QByteArray& out, const QTextImageFormat& format)
{
    if (m_pictures == Pictures::Omitted || !m_lookup)
        return;
    const Picture picture = m_lookup(format);
    if (picture.image.isNull())
        return;
    const long long width = std::lround(picture.size.width() * TwipsPerPoint);
    const long long height = std::lround(picture.size.height() * TwipsPerPoint);
    if (m_pictures == Pictures::Referenced) {
        const QString name = QStringLiteral("image%1.png").arg(m_result.pictureNames.size() + 1);
        m_result.pictureNames.append(name);
        m_result.pictures.insert(name, picture.image);
        out.append("{{\\NeXTGraphic ");
        out.append(name.toLatin1());
        out.append(" \\width");
        appendNumber(out, width);
        out.append(" \\height");
        appendNumber(out, height);
        out.append("\n}\\'ac}");
        return;
    }
    out.append("{\\*\\shppict{\\pict\\pngblip\\picw");
    appendNumber(out, picture.image.width());
    out.append("\\pich");
    appendNumber(out, picture.image.height());
    out.append("\\picwgoal");
    appendNumber(out, width);
    out.append("\\pichgoal");
    appendNumber(out, height);
    out.append('\n');
    // The picture's bytes are filled in once every picture is known, so that they can be encoded side by side.
    m_chunks.append(std::move(out));
    out = QByteArray();
    m_pending.append(pngDataLater(picture.image));
    out.append("}}");
}

QFuture<QByteArray> RtfWriter::pngDataLater(const QImage& image)
{
    if (std::optional<QByteArray> stored = EncodedImageCache::known(image))
        return QtFuture::makeReadyFuture(*stored);
    return QtConcurrent::run([image] { return pngData(image); });
}

RtfWriter::Result RtfWriter::write(const QTextDocument& document)
{
    m_result = Result();
    m_fonts.clear();
    m_fontIndex.clear();
    m_colors.clear();
    m_colorIndex.clear();
    collectTables(document);
    QByteArray out;
    out.reserve(qsizetype(document.characterCount()) * 2 + 1024);
    writeHeader(out);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out.append("\\pard");
        out.append(alignmentWord(block.blockFormat().alignment()));
        out.append(' ');
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                // Neighbouring pictures of one format share a fragment: one picture per character.
                for (int i = 0; i < fragment.length(); ++i)
                    writePicture(out, format.toImageFormat());
                continue;
            }
            writeRun(out, fragment.text(), format);
        }
        if (block.next().isValid())
            out.append("\\par\n");
    }
    out.append("}\n");
    m_chunks.append(std::move(out));
    QList<QByteArray> pictures;
    for (QFuture<QByteArray>& pending : m_pending)
        pictures.append(pending.result());
    qsizetype size = 0;
    for (const QByteArray& chunk : m_chunks)
        size += chunk.size();
    for (const QByteArray& picture : pictures)
        size += picture.size() * 2;
    m_result.rtf.reserve(size);
    for (qsizetype i = 0; i < m_chunks.size(); ++i) {
        m_result.rtf.append(m_chunks.at(i));
        if (i < pictures.size())
            m_result.rtf.append(pictures.at(i).toHex().toUpper());
    }
    m_chunks.clear();
    m_pending.clear();
    return m_result;
}
