#pragma once

#include "KUVDocFormat.h"

#include <QAbstractButton>

// A tile of the document-type picker: the picture on top, a footer with the title and description, and the
// framed selected background while it is pressed.
class KUVDocFormatCollectionViewCell : public QAbstractButton {
    Q_OBJECT

public:
    static inline const QString ReuseIdentifier = QStringLiteral("docFormatCellID");
    static inline const QString DarkBackground = QStringLiteral("#515153");
    static inline const QString LightBackground = QStringLiteral("#fbfbfb");

    KUVDocFormatCollectionViewCell(const KUVDocFormat& format, QWidget* parent = nullptr);

    QString formatTitle() const { return m_format.formatTitle; }
    QString formatDescription() const { return m_format.formatDescription; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintPage(QPainter& painter, const QRectF& area) const;

    KUVDocFormat m_format;
};
