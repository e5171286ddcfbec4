#include "EmptyStateButton.h"

#include "platform/SymbolIcons.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QUrl>
#include <cmath>
#include <memory>

EmptyStateButton::EmptyStateButton(QWidget* parent) : EmptyStateButton(ActionText, CloudNote, parent)
{
}

EmptyStateButton::EmptyStateButton(QString actionText, QString note, QWidget* parent)
    : QAbstractButton(parent), m_actionText(std::move(actionText)), m_note(std::move(note))
{
    setObjectName(QStringLiteral("emptyStateButton"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(LeadText + m_actionText);
    buildTitle();
}

void EmptyStateButton::buildTitle()
{
    m_title.clear();
    // The line is as tall as its text: a one-line title fits the line its owner gives it.
    m_title.setDocumentMargin(0);
    QFont font = this->font();
    // At 17 pixels, unscaled, as an empty board's "No cards match" line is: the call reads at the same size.
    font.setPixelSize(FontSize);
    m_title.setDefaultFont(font);
    // A little taller than the letters, and no more, so that the line stays as tall as its owner makes it.
    const int iconSize = int(font.pixelSize() * 1.2);
    m_symbolSide = iconSize;
    // The symbol is tinted like the text (a template image), so it reads in both schemes. Drawn at the screen's
    // own pixel size: the text lays images out unsmoothed, and a larger one shrunk that way breaks thin lines.
    const QSize pixels = QSize(iconSize, iconSize) * devicePixelRatioF();
    QImage symbol(pixels, QImage::Format_ARGB32_Premultiplied);
    symbol.fill(Qt::transparent);
    {
        QPainter painter(&symbol);
        painter.drawPixmap(0, 0, SymbolIcons::icon(SymbolName).pixmap(pixels));
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(symbol.rect(), palette().color(QPalette::WindowText));
    }
    const QUrl symbolUrl(QStringLiteral("symbol://") + SymbolName);
    m_title.addResource(QTextDocument::ImageResource, symbolUrl, symbol);

    QTextCursor cursor(&m_title);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    QTextCharFormat text;
    text.setForeground(palette().color(QPalette::WindowText));
    cursor.setBlockFormat(centred);
    cursor.insertText(LeadText, text);
    QTextImageFormat image;
    image.setName(symbolUrl.toString());
    image.setWidth(iconSize);
    image.setHeight(iconSize);
    image.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    cursor.insertImage(image);
    cursor.insertText(m_actionText, text);
    if (!m_note.isEmpty()) {
        cursor.insertBlock(centred);
        cursor.insertBlock(centred);
        cursor.insertText(m_note, text);
    }
    m_title.setTextWidth(width());
}

QString EmptyStateButton::titleText() const
{
    const QString call = LeadText + QChar(QChar::ObjectReplacementCharacter) + m_actionText;
    return m_note.isEmpty() ? call : call + QStringLiteral("\r\n\r\n") + m_note;
}

int EmptyStateButton::heightForWidth(int width) const
{
    const std::unique_ptr<QTextDocument> wrapped(m_title.clone());
    wrapped->setTextWidth(width);
    return int(std::ceil(wrapped->size().height()));
}

qreal EmptyStateButton::titleTop() const
{
    return std::max(0.0, (height() - m_title.size().height()) / 2);
}

QRect EmptyStateButton::symbolRect() const
{
    // The symbol is the character after the lead text in the first paragraph; it stands centred on its line.
    const QTextBlock first = m_title.begin();
    const QTextLayout* layout = first.layout();
    const int position = int(LeadText.size());
    const QTextLine line = layout ? layout->lineForTextPosition(position) : QTextLine();
    if (!line.isValid())
        return {};
    const QPointF origin = layout->position() + QPointF(line.cursorToX(position), line.y());
    const qreal top = origin.y() + titleTop() + (line.height() - m_symbolSide) / 2;
    // The symbol's own size: a rectangle rounded outwards would claim a pixel more than the symbol takes.
    return QRect(QPointF(origin.x(), top).toPoint(), QSize(m_symbolSide, m_symbolSide));
}

void EmptyStateButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (isDown()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        QColor pressed = palette().color(QPalette::WindowText);
        pressed.setAlpha(25);
        painter.setBrush(pressed);
        painter.drawRoundedRect(rect(), 10, 10);
    }
    painter.translate(0, titleTop());
    m_title.drawContents(&painter);
}

void EmptyStateButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        buildTitle();
    QAbstractButton::changeEvent(event);
}

void EmptyStateButton::resizeEvent(QResizeEvent* event)
{
    m_title.setTextWidth(width());
    QAbstractButton::resizeEvent(event);
}
