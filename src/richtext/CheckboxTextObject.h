#pragma once

#include <QObject>
#include <QTextObjectInterface>

// Lays out and draws the checkboxes of a text: the box sits `descender` points below the baseline and never
// grows taller than 90 % of its line.
class CheckboxTextObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    explicit CheckboxTextObject(QObject* parent = nullptr);

    QSizeF intrinsicSize(QTextDocument* document, int posInDocument, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int posInDocument,
                    const QTextFormat& format) override;
};
