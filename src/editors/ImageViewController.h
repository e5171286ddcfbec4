#pragma once

#include "platform/BarButtonItem.h"
#include "platform/ViewController.h"

#include <QColor>
#include <QImage>
#include <QMarginsF>
#include <QPointer>
#include <QSizeF>
#include <QVariantMap>
#include <optional>

class ImageZoomView;
class QScrollArea;

// Shows one image of a card in a zoomable, pannable sheet. It opens at the scale that fits the whole image
// and centres it; a double click zooms in by half around the point clicked, a secondary click (a two-finger
// tap on a trackpad) zooms out again, a pinch or Control with the wheel zooms freely and dragging pans. An image that
// cannot be shown (failed to decode, no width or height) is treated as no image: the sheet stays empty, with its Done
// item.
class ImageViewController : public ViewController {
    Q_OBJECT

public:
    static inline const QString StoryboardIdentifier = QStringLiteral("imageViewer");
    static inline const QString Title = QStringLiteral("View Image");
    static inline const QString DoneTitle = QStringLiteral("Done");
    // Keys of titleTextAttributes the bar understands: a QColor and a QFont.
    static inline const QString ForegroundColorAttribute = QStringLiteral("foregroundColor");
    static inline const QString FontAttribute = QStringLiteral("font");
    // The image is never shown larger than its own pixels, unless it is smaller than the sheet.
    static constexpr double MaximumZoomScale = 1.0;
    static constexpr double TapZoomFactor = 1.5;

    explicit ImageViewController(QWidget* parent = nullptr);
    explicit ImageViewController(const QImage& image, QWidget* parent = nullptr);

    static void registerInStoryboard();

    // Set by the opener before the sheet loads.
    QImage image() const { return m_image; }
    void setImage(const QImage& image) { m_image = image; }
    // The opener's bar colours; without a bar tint the bar keeps its default look.
    std::optional<QColor> barTintColor() const { return m_barTintColor; }
    void setBarTintColor(std::optional<QColor> color) { m_barTintColor = color; }
    QVariantMap titleTextAttributes() const { return m_titleTextAttributes; }
    void setTitleTextAttributes(const QVariantMap& attributes) { m_titleTextAttributes = attributes; }
    QColor tintColor() const { return m_tintColor; }
    void setTintColor(const QColor& color) { m_tintColor = color; }

    // True when the image has pixels to show.
    bool hasImage() const;
    QScrollArea* imageScrollView() const { return m_imageScrollView; }
    // The zoomed view, or nullptr when there is no image to show.
    ImageZoomView* imageView() const { return m_imageView; }
    BarButtonItem* doneButton() const { return m_doneButton; }

    double zoomScale() const { return m_zoomScale; }
    double minimumZoomScale() const { return m_minimumZoomScale; }
    double maximumZoomScale() const { return m_maximumZoomScale; }
    // The image's size at the current zoom.
    QSizeF contentSize() const;
    // The margins that centre content smaller than the scroll view.
    QMarginsF contentInset() const { return m_contentInset; }
    // The part of the image (in its own pixels) that the scroll view shows.
    QRectF visibleImageRect() const;

    // Clamps scale to the zoom range, applies it and centres the content.
    void setZoomScale(double scale);
    // Zooms so that rect (in the image's own pixels) fills the scroll view, centred on it.
    void zoomToRect(const QRectF& rect);
    void setupScales();
    void centerScrollViewContents();
    // location: where the tap landed in the scroll view's viewport.
    void scrollViewDoubleTapped(const QPointF& location);
    void scrollViewTwoFingerTapped();
    void closeView();

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void styleNavigationBar();
    void layoutContent();
    QSizeF viewportSize() const;
    // Zooms to scale keeping the image point under location (in the viewport) where it is.
    void zoomAround(const QPointF& location, double scale);
    void zoomToScaleCentredOn(double scale, const QPointF& point);
    QPointF contentOrigin() const;
    // The image pixel under location in the viewport.
    QPointF imagePointAt(const QPointF& location) const;
    // Scrolls so that the image pixel point lies under location in the viewport, as far as the content reaches.
    void scrollImagePointTo(const QPointF& point, const QPointF& location);
    void panBy(const QPointF& delta);

    QImage m_image;
    std::optional<QColor> m_barTintColor;
    QVariantMap m_titleTextAttributes;
    QColor m_tintColor;

    QScrollArea* m_imageScrollView;
    QWidget* m_contentView;
    ImageZoomView* m_imageView = nullptr;
    QPointer<BarButtonItem> m_doneButton;
    double m_zoomScale = 1.0;
    double m_minimumZoomScale = 1.0;
    double m_maximumZoomScale = MaximumZoomScale;
    QMarginsF m_contentInset;
    QPointF m_dragPosition;
};
