#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <functional>
#include <optional>

class QPainter;
class QPrinter;
class QTextDocument;

// Prints one card given as a title and an HTML body: the body laid out on pages with 72-point margins, and on
// every page a header line with the title on the left and the page number on the right. The header sits in
// the middle of the top margin, where every printer reaches.
class CardPrintPageRenderer {
public:
    static constexpr qreal PageMargin = 72.0;
    static constexpr qreal HeaderFontSize = 11.0;
    static constexpr qreal TitleWidthShare = 0.6;
    static constexpr int TitleAlignment = 3;
    static constexpr int PageNumberAlignment = 5;

    CardPrintPageRenderer(const QString& title, const QString& htmlContent);

    QString cardTitle() const { return m_cardTitle; }
    QString cardHTML() const { return m_cardHTML; }
    // Worked out on the first header drawn and kept for the whole job.
    QString trimmedTitle() const { return m_trimmedTitle; }
    QFont nameAttributes() const { return m_nameAttributes; }
    QFont pageNumberAttributes() const { return m_pageNumberAttributes; }

    // The title cut with "..." to 0.6 of the paper width.
    QString titleToFit(qreal paperWidth) const;
    // Draws the header of page index (from 0) in headerRect of a page of paperRect, all in points.
    void drawHeaderForPageAtIndex(QPainter& painter, int index, const QRectF& headerRect, const QRectF& paperRect);
    // Prints the whole card; answers an error text when the job failed.
    std::optional<QString> print(QPrinter* printer);

    // Draws a header on a page: page index from 0, the top margin band and the paper, in points.
    using HeaderPainter = std::function<void(QPainter&, int page, const QRectF& header, const QRectF& paper)>;
    // Lays body out on the printer's pages inside 72-point margins and prints it, with header (when given) on
    // every page; answers an error text when the job failed.
    static std::optional<QString> printPages(QPrinter* printer, QTextDocument& body, const HeaderPainter& header);

private:
    QString m_cardTitle;
    QString m_trimmedTitle;
    QString m_cardHTML;
    QFont m_pageNumberAttributes;
    QFont m_nameAttributes;
};
