#include "ImageViewController.h"

#include "ImageZoomView.h"
#include "core/NavigationHelpers.h"
#include "platform/BarButtonItem.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/Storyboard.h"

#include <QLabel>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

namespace {

// How much one notch of Control+wheel zooms; a notch is 120 units of angle.
constexpr double WheelZoomPerUnit = 1.0015;

} // namespace

ImageViewController::ImageViewController(QWidget* parent) : ImageViewController(QImage(), parent)
{
}

ImageViewController::ImageViewController(const QImage& image, QWidget* parent)
    : ViewController(parent), m_image(image), m_imageScrollView(new QScrollArea(this)), m_contentView(new QWidget)
{
    setObjectName(QStringLiteral("ImageViewController"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_imageScrollView->setObjectName(QStringLiteral("imageScrollView"));
    m_imageScrollView->setFrameShape(QFrame::NoFrame);
    // The content's size is ours to set as the zoom changes; the scroll view only scrolls it.
    m_imageScrollView->setWidgetResizable(false);
    m_imageScrollView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_contentView->setObjectName(QStringLiteral("imageContentView"));
    m_imageScrollView->setWidget(m_contentView);
    layout->addWidget(m_imageScrollView);
    m_imageScrollView->installEventFilter(this);
    m_imageScrollView->viewport()->installEventFilter(this);
}

void ImageViewController::registerInStoryboard()
{
    Storyboard::registerFactory(StoryboardIdentifier, [] { return new ImageViewController; });
}

bool ImageViewController::hasImage() const
{
    // A picture that failed to decode arrives as a null image; one without pixels cannot be scaled to fit.
    return !m_image.isNull() && m_image.width() > 0 && m_image.height() > 0;
}

void ImageViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    m_doneButton = new BarButtonItem(DoneTitle, this);
    m_doneButton->setObjectName(QStringLiteral("doneButton"));
    connect(m_doneButton, &QAction::triggered, this, &ImageViewController::closeView);
    navigationItem()->setRightBarButtonItem(m_doneButton);
    setTitle(Title);
    if (hasImage())
        m_imageView = new ImageZoomView(m_image, m_contentView);
    layoutContent();
}

void ImageViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    styleNavigationBar();
    setupScales();
}

void ImageViewController::styleNavigationBar()
{
    NavigationController* navigation = navigationController();
    if (!m_barTintColor || !navigation)
        return;
    const QColor title = m_titleTextAttributes.value(ForegroundColorAttribute).value<QColor>();
    const QColor tint = m_tintColor.isValid() ? m_tintColor : (title.isValid() ? title : QColor(Qt::white));
    NavigationHelpers::setupCustomNavbar(navigation->navigationBar(), tint, *m_barTintColor);
    auto* titleLabel = navigation->navigationBar()->findChild<QLabel*>(QStringLiteral("navigationTitle"));
    if (!titleLabel)
        return;
    if (title.isValid()) {
        QPalette palette = titleLabel->palette();
        palette.setColor(QPalette::WindowText, title);
        titleLabel->setPalette(palette);
    }
    const QVariant font = m_titleTextAttributes.value(FontAttribute);
    if (font.canConvert<QFont>())
        titleLabel->setFont(font.value<QFont>());
}

QSizeF ImageViewController::contentSize() const
{
    if (!hasImage())
        return {};
    return QSizeF(m_image.size()) * m_zoomScale;
}

QSizeF ImageViewController::viewportSize() const
{
    return m_imageScrollView->viewport()->size();
}

void ImageViewController::setupScales()
{
    m_minimumZoomScale = 1.0;
    m_maximumZoomScale = MaximumZoomScale;
    m_zoomScale = 1.0;
    // The bounds as if no scroll bar took room: the whole image fits without one.
    const QSizeF bounds = m_imageScrollView->maximumViewportSize();
    if (hasImage() && !bounds.isEmpty()) {
        const double fit = std::min(bounds.width() / m_image.width(), bounds.height() / m_image.height());
        // A picture smaller than the sheet opens enlarged to fit, above the largest scale, which stays 1.0.
        m_minimumZoomScale = fit;
        m_zoomScale = fit;
    }
    centerScrollViewContents();
}

void ImageViewController::centerScrollViewContents()
{
    const QSizeF bounds = viewportSize();
    const QSizeF content = contentSize();
    const double horizontal = std::max((bounds.width() - content.width()) * 0.5, 0.0);
    const double vertical = std::max((bounds.height() - content.height()) * 0.5, 0.0);
    m_contentInset = QMarginsF(horizontal, vertical, horizontal, vertical);
    layoutContent();
}

void ImageViewController::layoutContent()
{
    // Whole pixels, rounded down, so content fitted to the view never grows a scroll bar.
    const QSizeF content = contentSize();
    const int width = static_cast<int>(std::floor(content.width()));
    const int height = static_cast<int>(std::floor(content.height()));
    const int left = static_cast<int>(std::floor(m_contentInset.left()));
    const int top = static_cast<int>(std::floor(m_contentInset.top()));
    m_contentView->resize(width + 2 * left, height + 2 * top);
    if (m_imageView)
        m_imageView->setGeometry(left, top, width, height);
}

void ImageViewController::setZoomScale(double scale)
{
    // Where the fit lies above the largest scale (a small picture), the fit wins: it is never shown smaller.
    m_zoomScale = std::max(std::min(scale, m_maximumZoomScale), m_minimumZoomScale);
    centerScrollViewContents();
}

QPointF ImageViewController::contentOrigin() const
{
    // Where the image starts inside the scrolled content: whole pixels, as laid out.
    return {std::floor(m_contentInset.left()), std::floor(m_contentInset.top())};
}

QPointF ImageViewController::imagePointAt(const QPointF& location) const
{
    const QPointF offset(m_imageScrollView->horizontalScrollBar()->value(),
                         m_imageScrollView->verticalScrollBar()->value());
    return (location + offset - contentOrigin()) / m_zoomScale;
}

void ImageViewController::scrollImagePointTo(const QPointF& point, const QPointF& location)
{
    const QPointF content = point * m_zoomScale + contentOrigin();
    m_imageScrollView->horizontalScrollBar()->setValue(static_cast<int>(std::lround(content.x() - location.x())));
    m_imageScrollView->verticalScrollBar()->setValue(static_cast<int>(std::lround(content.y() - location.y())));
}

QRectF ImageViewController::visibleImageRect() const
{
    if (!hasImage())
        return {};
    const QRectF visible(imagePointAt(QPointF(0, 0)), viewportSize() / m_zoomScale);
    return visible.intersected(QRectF(QPointF(0, 0), QSizeF(m_image.size())));
}

void ImageViewController::zoomToRect(const QRectF& rect)
{
    if (!hasImage() || rect.isEmpty())
        return;
    const QSizeF bounds = m_imageScrollView->maximumViewportSize();
    setZoomScale(std::min(bounds.width() / rect.width(), bounds.height() / rect.height()));
    // The rectangle's centre goes to the middle of the view, as far as the content reaches.
    const QSizeF view = viewportSize();
    scrollImagePointTo(rect.center(), QPointF(view.width() / 2, view.height() / 2));
}

void ImageViewController::zoomToScaleCentredOn(double scale, const QPointF& point)
{
    const QSizeF bounds = m_imageScrollView->maximumViewportSize();
    const QSizeF size(bounds.width() / scale, bounds.height() / scale);
    zoomToRect(QRectF(point - QPointF(size.width() / 2, size.height() / 2), size));
}

void ImageViewController::scrollViewDoubleTapped(const QPointF& location)
{
    if (!hasImage())
        return;
    // Centred on the point under the tap in the image's own pixels, so the zoom goes where the writer tapped.
    zoomToScaleCentredOn(std::min(m_zoomScale * TapZoomFactor, m_maximumZoomScale), imagePointAt(location));
}

void ImageViewController::scrollViewTwoFingerTapped()
{
    if (!hasImage())
        return;
    // What was in the middle of the view stays there.
    const QPointF centre = visibleImageRect().center();
    zoomToScaleCentredOn(std::max(m_zoomScale / TapZoomFactor, m_minimumZoomScale), centre);
}

void ImageViewController::zoomAround(const QPointF& location, double scale)
{
    if (!hasImage())
        return;
    const QPointF point = imagePointAt(location);
    setZoomScale(scale);
    // The image point under the pointer stays under it.
    scrollImagePointTo(point, location);
}

void ImageViewController::panBy(const QPointF& delta)
{
    QScrollBar* horizontal = m_imageScrollView->horizontalScrollBar();
    QScrollBar* vertical = m_imageScrollView->verticalScrollBar();
    horizontal->setValue(horizontal->value() - static_cast<int>(std::lround(delta.x())));
    vertical->setValue(vertical->value() - static_cast<int>(std::lround(delta.y())));
}

void ImageViewController::closeView()
{
    dismiss(true);
}

bool ImageViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_imageScrollView && event->type() == QEvent::Resize) {
        // A new size of the sheet starts again from the whole image, fitted and centred.
        setupScales();
        return false;
    }
    if (watched != m_imageScrollView->viewport())
        return ViewController::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Resize:
        centerScrollViewContents();
        return false;
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            scrollViewDoubleTapped(static_cast<QMouseEvent*>(event)->position());
            return true;
        }
        return false;
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // A two-finger tap on a trackpad arrives as the secondary button.
        if (mouse->button() == Qt::RightButton) {
            scrollViewTwoFingerTapped();
            return true;
        }
        m_dragPosition = mouse->position();
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!(mouse->buttons() & Qt::LeftButton))
            return false;
        panBy(mouse->position() - m_dragPosition);
        m_dragPosition = mouse->position();
        return true;
    }
    case QEvent::Wheel: {
        // Control with the wheel is the desktop's pinch.
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier))
            return false;
        zoomAround(wheel->position(), m_zoomScale * std::pow(WheelZoomPerUnit, wheel->angleDelta().y()));
        return true;
    }
    case QEvent::NativeGesture: {
        auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() != Qt::ZoomNativeGesture)
            return false;
        zoomAround(gesture->position(), m_zoomScale * (1.0 + gesture->value()));
        return true;
    }
    default:
        return ViewController::eventFilter(watched, event);
    }
}
