#include "EmptyStateButton.h"

#include "core/Metrics.h"
#include "platform/SymbolIcons.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QPainter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QUrl>

EmptyStateButton::EmptyStateButton(QWidget* parent) : QAbstractButton(parent)
{
    setObjectName(QStringLiteral("emptyStateButton"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(LeadText + ActionText);
    buildTitle();
}

void EmptyStateButton::buildTitle()
{
    m_title.clear();
    QFont font = this->font();
    font.setPixelSize(int(Metrics::scaled(FontSize)));
    m_title.setDefaultFont(font);
    const int iconSize = int(font.pixelSize() * 1.3);
    // The symbol is tinted like the text (a template image), so it reads in both schemes.
    QImage symbol(iconSize * 2, iconSize * 2, QImage::Format_ARGB32_Premultiplied);
    symbol.fill(Qt::transparent);
    {
        QPainter painter(&symbol);
        painter.drawPixmap(0, 0, SymbolIcons::icon(SymbolName).pixmap(iconSize * 2, iconSize * 2));
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
    cursor.insertText(ActionText, text);
    cursor.insertBlock(centred);
    cursor.insertBlock(centred);
    cursor.insertText(CloudNote, text);
    m_title.setTextWidth(width());
}

QString EmptyStateButton::titleText() const
{
    return LeadText + QChar(QChar::ObjectReplacementCharacter) + ActionText + QStringLiteral("\r\n\r\n") + CloudNote;
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
    const qreal top = std::max(0.0, (height() - m_title.size().height()) / 2);
    painter.translate(0, top);
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
