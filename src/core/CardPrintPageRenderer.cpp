#include "CardPrintPageRenderer.h"

#include "AlignedTextDrawing.h"
#include "Fonts.h"
#include "Helpers.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

namespace {

QFont headerFont()
{
    QFont font = Fonts::getDefaultFontWithSize(CardPrintPageRenderer::HeaderFontSize);
    font.setItalic(true);
    font.setWeight(QFont::Light);
    return font;
}

} // namespace

CardPrintPageRenderer::CardPrintPageRenderer(const QString& title, const QString& htmlContent)
    : m_cardTitle(title), m_cardHTML(htmlContent), m_pageNumberAttributes(headerFont()), m_nameAttributes(headerFont())
{
}

QString CardPrintPageRenderer::titleToFit(qreal paperWidth) const
{
    // Measured with one pixel standing for one point, so the width is the paper's in points on any device.
    QFont measured = m_nameAttributes;
    measured.setPixelSize(qRound(m_nameAttributes.pointSizeF()));
    return Helpers::trimStringToWidth(m_cardTitle, paperWidth * TitleWidthShare, measured, true);
}

void CardPrintPageRenderer::drawHeaderForPageAtIndex(QPainter& painter, int index, const QRectF& headerRect,
                                                     const QRectF& paperRect)
{
    const qreal unit = painter.device() ? painter.device()->logicalDpiX() / 72.0 : 1.0;
    if (m_trimmedTitle.isNull())
        m_trimmedTitle = titleToFit(paperRect.width() / unit);
    const QRectF line(paperRect.left() + PageMargin * unit, headerRect.top(), paperRect.width() - 2 * PageMargin * unit,
                      headerRect.height());
    AlignedTextDrawing::drawAtPointInRect(painter, m_trimmedTitle, line, m_nameAttributes, TitleAlignment);
    AlignedTextDrawing::drawAtPointInRect(painter, QString::number(index + 1), line, m_pageNumberAttributes,
                                          PageNumberAlignment);
}

std::optional<QString> CardPrintPageRenderer::print(QPrinter* printer)
{
    QTextDocument body;
    body.setDefaultFont(Fonts::getDefaultFontWithSize(HeaderFontSize + 1));
    body.setHtml(m_cardHTML);
    return printPages(printer, body, [this](QPainter& painter, int page, const QRectF& header, const QRectF& paper) {
        drawHeaderForPageAtIndex(painter, page, header, paper);
    });
}

std::optional<QString> CardPrintPageRenderer::printPages(QPrinter* printer, QTextDocument& body,
                                                         const HeaderPainter& header)
{
    printer->setFullPage(true);
    QPainter painter;
    if (!painter.begin(printer))
        return QStringLiteral("the printer could not start the job");
    // Laid out and drawn in the printer's own pixels, as its fonts measure them.
    const qreal unit = printer->logicalDpiY() / 72.0;
    const QRectF paper(QPointF(0, 0), QSizeF(printer->pageLayout().fullRectPoints().size()) * unit);
    const qreal margin = PageMargin * unit;
    const QRectF content = paper.adjusted(margin, margin, -margin, -margin);
    const QRectF band(paper.left(), paper.top(), paper.width(), margin);
    body.documentLayout()->setPaintDevice(printer);
    body.setDocumentMargin(0);
    body.setPageSize(content.size());
    const int pages = qMax(1, body.pageCount());
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer->newPage())
            return QStringLiteral("the printer refused a new page");
        if (header)
            header(painter, page, band, paper);
        painter.save();
        painter.translate(content.left(), content.top() - page * content.height());
        const QRectF visible(0, page * content.height(), content.width(), content.height());
        painter.setClipRect(visible);
        QAbstractTextDocumentLayout::PaintContext context;
        // The next page's first line starts exactly on this page's bottom edge, which the layout counts as
        // inside: left to the painter's clip alone it would be hidden on paper but still written to the file,
        // where a search or a copy finds it twice. A line that starts in the last device pixel is not this page's.
        context.clip = visible.adjusted(0, 0, 0, -1);
        body.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end() || printer->printerState() == QPrinter::Error)
        return QStringLiteral("the job could not be completed");
    return std::nullopt;
}
