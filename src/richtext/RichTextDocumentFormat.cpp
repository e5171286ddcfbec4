#include "RichTextDocumentFormat.h"

#include "AttachmentNormaliser.h"
#include "DisplayLineSpacing.h"
#include "TextRuns.h"
#include "core/Fonts.h"
#include "core/TextDecoder.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/rtf/RtfReader.h"

#include <QTextDocument>

std::unique_ptr<QTextDocument> RichTextDocumentFormat::storedCopy(const QTextDocument& text,
                                                                  std::optional<double> scale)
{
    std::unique_ptr<QTextDocument> copy(text.clone());
    // Spacing a view shows is not part of the text.
    DisplayLineSpacing::strip(*copy);
    // In one pass over the runs, as a long card has thousands: the sizes the view zoomed, no search highlight, and
    // black text whatever the scheme it was written in (readers give it their own colour).
    const QFont base = Fonts::getDefaultFontWithSize(TextRuns::BaseFontSize);
    TextRuns::apply(*copy, [&](QTextCharFormat& format) {
        if (scale)
            TextRuns::scaleFont(format, base, *scale, true);
        format.clearBackground();
        format.setForeground(QColor(Qt::black));
        return true;
    });
    return copy;
}

std::optional<QByteArray> RichTextDocumentFormat::getData(const QTextDocument& text, std::optional<double> scale)
{
    const std::unique_ptr<QTextDocument> copy = storedCopy(text, scale);
    QByteArray bytes = AttributedStringArchive::encode(*copy);
    if (bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

RichTextDocumentFormat::LoadResult RichTextDocumentFormat::loadFrom(const QByteArray& data, const LoadOptions& options)
{
    if (data.isEmpty())
        return emptyText();
    std::unique_ptr<QTextDocument> document = TextDecoder::textFromData(data);
    if (!document)
        return {LoadStatus::Unreadable, nullptr};
    return prepared(std::move(document), options);
}

RichTextDocumentFormat::LoadResult RichTextDocumentFormat::loadFromDataForPrint(const QByteArray& data,
                                                                                const std::optional<QColor>& fgColor)
{
    LoadOptions options;
    options.adjustFonts = false;
    options.fontSize = PrintFontSize;
    options.fixedFontSize = PrintFixedFontSize;
    options.fgColor = fgColor;
    return loadFrom(data, options);
}

RichTextDocumentFormat::LoadResult RichTextDocumentFormat::loadFromRTFData(const QByteArray& data,
                                                                           const LoadOptions& options)
{
    // Nothing to lose in an empty body; anything else that does not read as RTF must stay as it is.
    if (data.isEmpty())
        return emptyText();
    std::unique_ptr<QTextDocument> document = RtfReader::read(data);
    if (!document)
        return {LoadStatus::Unreadable, nullptr};
    return prepared(std::move(document), options);
}

RichTextDocumentFormat::LoadResult RichTextDocumentFormat::emptyText()
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(Fonts::getDefaultFontWithSize(TextRuns::BaseFontSize));
    return {LoadStatus::Empty, std::move(document)};
}

RichTextDocumentFormat::LoadResult RichTextDocumentFormat::prepared(std::unique_ptr<QTextDocument> document,
                                                                    const LoadOptions& options)
{
    // Runs that name no font are at the base size, whoever decoded them.
    document->setDefaultFont(Fonts::getDefaultFontWithSize(TextRuns::BaseFontSize));
    TextRuns::setForeground(*document, options.fgColor);
    AttachmentNormaliser::normalise(*document, options.darkMode);
    if (options.adjustFonts) {
        if (options.fixedFontSize > 0)
            TextRuns::setFontSize(*document, options.fixedFontSize);
        else
            TextRuns::scaleFonts(*document, options.fontSize, false);
    }
    return {LoadStatus::Loaded, std::move(document)};
}
