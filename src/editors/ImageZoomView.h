#pragma once

#include <QImage>
#include <QWidget>

// Paints one image scaled to the widget's size, only the part that is exposed, so that a large image zoomed
// to 100 % never needs a second full-size copy.
class ImageZoomView : public QWidget {
    Q_OBJECT

public:
    explicit ImageZoomView(const QImage& image, QWidget* parent = nullptr);

    const QImage& image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};
