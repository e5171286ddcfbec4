#include "CardSummaryLines.h"

#include <QFontMetrics>
#include <QTextLayout>

int CardSummaryLines::lineStep(const QFont& font)
{
    return QFontMetrics(font).lineSpacing();
}

QStringList CardSummaryLines::visibleLines(const QString& text, const QFont& font, int width, int height)
{
    const int fitting = lineStep(font) > 0 ? height / lineStep(font) : 0;
    if (fitting <= 0 || width <= 0 || text.isEmpty())
        return {};
    // Paragraph breaks end a line as in the editor; the layout wants them as line separators.
    QString flowing = text;
    flowing.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(flowing, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() == fitting - 1) {
            // The last line that fits takes everything left and shows that it was cut.
            QString rest = flowing.mid(line.textStart());
            const bool more = line.textStart() + line.textLength() < flowing.size();
            rest.replace(QChar::LineSeparator, QLatin1Char(' '));
            if (more) {
                const QFontMetrics metrics(font);
                rest = rest.trimmed();
                QString shown = metrics.elidedText(rest, Qt::ElideRight, width);
                // The whole rest may fit on one line once its breaks are gone; it still goes on past the box.
                if (!shown.endsWith(Ellipsis))
                    shown = metrics.elidedText(rest + Ellipsis, Qt::ElideRight, width);
                lines.append(shown);
            } else {
                lines.append(rest.trimmed());
            }
            break;
        }
        lines.append(flowing.mid(line.textStart(), line.textLength()).remove(QChar::LineSeparator).trimmed());
    }
    layout.endLayout();
    return lines;
}
