#include "editors/ImageViewController.h"
#include "TestScreenshots.h"
#include "TestWait.h"
#include "editors/ImageZoomView.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/Storyboard.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

// The scroll view's size in every test: sheets are this size less their bar.
constexpr QSize View(400, 300);

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QPainter painter(&image);
    painter.setPen(Qt::yellow);
    painter.drawLine(0, 0, width - 1, height - 1);
    painter.drawLine(0, height - 1, width - 1, 0);
    return image;
}

class ImageViewControllerTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (root.presentedViewController())
            root.dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Shows the viewer on its own, its scroll view exactly View in size.
    void showAlone(const QImage& image)
    {
        viewer = std::make_unique<ImageViewController>(image);
        viewer->resize(View);
        viewer->show();
        ViewController::transitionAppearance(viewer.get(), true, false);
        ASSERT_EQ(viewer->imageScrollView()->viewport()->size(), View);
    }

    // Presents the viewer as the editors do: from the storyboard, in a navigation controller, as a sheet.
    void present(const QImage& image, std::optional<QColor> barTint = std::nullopt)
    {
        root.resize(900, 700);
        root.show();
        ViewController::transitionAppearance(&root, true, false);
        ImageViewController::registerInStoryboard();
        sheet = qobject_cast<ImageViewController*>(Storyboard::instantiate(QStringLiteral("imageViewer")));
        ASSERT_NE(sheet, nullptr);
        sheet->setImage(image);
        sheet->setBarTintColor(barTint);
        sheet->setTintColor(Qt::white);
        sheet->setTitleTextAttributes({{ImageViewController::ForegroundColorAttribute, QColor(Qt::yellow)}});
        navigation = new NavigationController(sheet.data());
        root.present(navigation, true, {}, PresentationStyle::FormSheet);
    }

    // A double click at the point of the viewer's scroll view, ended by its release as a writer's is. QTest's
    // double click on a widget sends the second press alone and counts the button as held from then on, so
    // without the release the pointer of every later test in the process would drag.
    void doubleClick(const QPoint& at) const
    {
        QWidget* viewport = viewer->imageScrollView()->viewport();
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    }

    double expectedCentreMargin(double view, double content) const { return std::max((view - content) / 2, 0.0); }

    std::unique_ptr<ImageViewController> viewer;
    ViewController root;
    QPointer<ImageViewController> sheet;
    QPointer<NavigationController> navigation;
};

TEST_F(ImageViewControllerTest, largeImageOpensFittedWholeAndCentred)
{
    ASSERT_NO_FATAL_FAILURE(showAlone(picture(2000, 1000)));
    // 400 / 2000 = 0.2 across, 300 / 1000 = 0.3 down: the width decides.
    EXPECT_DOUBLE_EQ(viewer->zoomScale(), 0.2);
    EXPECT_DOUBLE_EQ(viewer->minimumZoomScale(), 0.2);
    EXPECT_DOUBLE_EQ(viewer->maximumZoomScale(), 1.0);
    EXPECT_EQ(viewer->contentSize(), QSizeF(400, 200));
    EXPECT_EQ(viewer->contentInset(), QMarginsF(0, 50, 0, 50));
    ASSERT_NE(viewer->imageView(), nullptr);
    EXPECT_EQ(viewer->imageView()->geometry(), QRect(0, 50, 400, 200));
    EXPECT_FALSE(viewer->imageScrollView()->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(viewer->imageScrollView()->verticalScrollBar()->isVisible());
}

TEST_F(ImageViewControllerTest, tallImageFitsItsHeightAndCentresAcross)
{
    ASSERT_NO_FATAL_FAILURE(showAlone(picture(150, 1200)));
    EXPECT_DOUBLE_EQ(viewer->zoomScale(), 0.25);
    EXPECT_EQ(viewer->contentSize(), QSizeF(37.5, 300));
    EXPECT_DOUBLE_EQ(viewer->contentInset().left(), expectedCentreMargin(400, 37.5));
    EXPECT_DOUBLE_EQ(viewer->contentInset().top(), 0);
    EXPECT_EQ(viewer->imageView()->geometry(), QRect(181, 0, 37, 300));
}

TEST_F(ImageViewControllerTest, wideImageFitsItsWidthAndCentresDown)
{
    ASSERT_NO_FATAL_FAILURE(showAlone(picture(1600, 100)));
    EXPECT_DOUBLE_EQ(viewer->zoomScale(), 0.25);
    EXPECT_EQ(viewer->contentSize(), QSizeF(400, 25));
    EXPECT_DOUBLE_EQ(viewer->contentInset().top(), 137.5);
    EXPECT_DOUBLE_EQ(viewer->contentInset().left(), 0);
}

TEST_F(ImageViewControllerTest, tinyImageOpensAtItsFitScaleWhileTheMaximumStaysFullSize)
{
    ASSERT_NO_FATAL_FAILURE(showAlone(picture(10, 20)));
    // 400 / 10 = 40 across, 300 / 20 = 15 down.
    EXPECT_DOUBLE_EQ(viewer->zoomScale(), 15.0);
    EXPECT_DOUBLE_EQ(viewer->minimumZoomScale(), 15.0);
    EXPECT_DOUBLE_EQ(viewer->maximumZoomScale(), 1.0);
    EXPECT_EQ(viewer->contentSize(), QSizeF(150, 300));
    // Neither zooming in nor out shows it other than fitted.
    QWheelEvent wheel(QPointF(200, 150), viewer->imageScrollView()->viewport()->mapToGlobal(QPointF(200, 150)),
                      QPoint(), QPoint(0, -240), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewer->imageScrollView()->viewport(), &wheel);
    EXPECT_DOUBLE_EQ(viewer->zoomScale(), 15.0);
    doubleClick(QPoint(200, 150));
    EXPECT_DOUBLE_EQ(viewer->zoomScale(), 15.0);
    QTest::mouseClick(viewer->imageScrollView()->viewport(), Qt::RightButton, {}, QPoint(200, 150));
    EXPECT_DOUBLE_EQ(viewer->zoomScale(), 15.0);
}

TEST_F(ImageViewControllerTest, imageThatFailedToDecodeShowsAnEmptySheet)
{
    const QImage undecodable = QImage::fromData(QByteArray("\x89PNG\r\n\x1a\n truncated"));
    ASSERT_TRUE(undecodable.isNull());
    for (const QImage& image : {undecodable, QImage(), QImage(0, 40, QImage::Format_RGB32)}) {
        ASSERT_NO_FATAL_FAILURE(showAlone(image));
        EXPECT_FALSE(viewer->hasImage());
        EXPECT_EQ(viewer->imageView(), nullptr);
        EXPECT_DOUBLE_EQ(viewer->zoomScale(), 1.0);
        EXPECT_DOUBLE_EQ(viewer->minimumZoomScale(), 1.0);
        EXPECT_DOUBLE_EQ(viewer->maximumZoomScale(), 1.0);
        EXPECT_TRUE(viewer->contentSize().isEmpty());
        doubleClick(QPoint(10, 10));
        QTest::mouseClick(viewer->imageScrollView()->viewport(), Qt::RightButton, {}, QPoint(10, 10));
        EXPECT_TRUE(std::isfinite(viewer->zoomScale()));
        ASSERT_NE(viewer->doneButton(), nullptr);
    }
}

TEST_F(ImageViewControllerTest, doubleClicksGrowByHalfUpToFullSizeAndSecondaryClicksShrinkBackToFit)
{
    ASSERT_NO_FATAL_FAILURE(showAlone(picture(4000, 3000)));
    QWidget* viewport = viewer->imageScrollView()->viewport();
    const QList<double> growing = {0.1, 0.15, 0.225, 0.3375, 0.50625, 0.759375, 1.0, 1.0};
    EXPECT_DOUBLE_EQ(viewer->zoomScale(), growing[0]);
    for (int i = 1; i < growing.size(); ++i) {
        doubleClick(QPoint(200, 150));
        EXPECT_NEAR(viewer->zoomScale(), growing[i], 1e-9) << "double click " << i;
    }
    const QList<double> shrinking = {1.0 / 1.5, 1.0 / 2.25, 1.0 / 3.375, 1.0 / 5.0625, 1.0 / 7.59375, 0.1, 0.1};
    for (int i = 0; i < shrinking.size(); ++i) {
        QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(200, 150));
        EXPECT_NEAR(viewer->zoomScale(), shrinking[i], 1e-9) << "secondary click " << i;
    }
}

TEST_F(ImageViewControllerTest, doubleClickZoomsInAroundThePointClicked)
{
    ASSERT_NO_FATAL_FAILURE(showAlone(picture(4000, 3000)));
    // At 0.1 the image fills the view exactly; (150, 120) in the view is (1500, 1200) in the image, far enough
    // from the edges that the zoomed view can centre on it.
    doubleClick(QPoint(150, 120));
    ASSERT_NEAR(viewer->zoomScale(), 0.15, 1e-9);
    const QPointF centre = viewer->visibleImageRect().center();
    EXPECT_NEAR(centre.x(), 1500, 10);
    EXPECT_NEAR(centre.y(), 1200, 10);

    // A second one near the new view's corner moves the centre towards that corner, never elsewhere.
    doubleClick(QPoint(300, 200));
    const QRectF visible = viewer->visibleImageRect();
    EXPECT_GT(visible.center().x(), centre.x());
    EXPECT_GT(visible.center().y(), centre.y());
}

TEST_F(ImageViewControllerTest, draggingAZoomedImageMovesItWithThePointerBothWays)
{
    ASSERT_NO_FATAL_FAILURE(showAlone(picture(4000, 3000)));
    QWidget* viewport = viewer->imageScrollView()->viewport();
    doubleClick(QPoint(200, 150));
    ASSERT_NEAR(viewer->zoomScale(), 0.15, 1e-9);
    QScrollBar* across = viewer->imageScrollView()->horizontalScrollBar();
    QScrollBar* down = viewer->imageScrollView()->verticalScrollBar();
    const int left = across->value();
    const int top = down->value();
    ASSERT_GT(left, 30);
    ASSERT_GT(top, 20);
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(200, 150));
    QMouseEvent move(QEvent::MouseMove, QPointF(230, 170), viewport->mapToGlobal(QPointF(230, 170)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(230, 170));
    // The image follows the pointer: 30 right and 20 down show what lay left of and above the view.
    EXPECT_EQ(across->value(), left - 30);
    EXPECT_EQ(down->value(), top - 20);
}

TEST_F(ImageViewControllerTest, resizingTheSheetFitsTheImageAgain)
{
    ASSERT_NO_FATAL_FAILURE(showAlone(picture(2000, 1000)));
    doubleClick(QPoint(200, 150));
    ASSERT_GT(viewer->zoomScale(), 0.2);
    viewer->resize(800, 300);
    // 800 / 2000 = 0.4 across, 300 / 1000 = 0.3 down.
    EXPECT_DOUBLE_EQ(viewer->zoomScale(), 0.3);
    EXPECT_DOUBLE_EQ(viewer->contentInset().left(), 100);
}

TEST_F(ImageViewControllerTest, controlWheelZoomsAroundThePointerWithinTheRange)
{
    ASSERT_NO_FATAL_FAILURE(showAlone(picture(4000, 3000)));
    QWidget* viewport = viewer->imageScrollView()->viewport();
    const QPointF pointer(150, 120);
    auto wheel = [&](int angle) {
        QWheelEvent event(pointer, viewport->mapToGlobal(pointer), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    };
    wheel(120);
    ASSERT_GT(viewer->zoomScale(), 0.1);
    // (150, 120) in the view was (1500, 1200) in the image at 0.1 and stays under the pointer.
    const QPointF under = viewer->visibleImageRect().topLeft() + pointer / viewer->zoomScale();
    EXPECT_NEAR(under.x(), 1500, 10);
    EXPECT_NEAR(under.y(), 1200, 10);
    for (int i = 0; i < 40; ++i)
        wheel(120);
    EXPECT_DOUBLE_EQ(viewer->zoomScale(), 1.0);
    for (int i = 0; i < 80; ++i)
        wheel(-120);
    EXPECT_DOUBLE_EQ(viewer->zoomScale(), 0.1);
}

TEST_F(ImageViewControllerTest, sheetFromTheStoryboardHasItsTitleAndDoneCloses)
{
    ASSERT_NO_FATAL_FAILURE(present(picture(640, 480)));
    ASSERT_NE(navigation, nullptr);
    EXPECT_EQ(navigation->findChild<QLabel*>(QStringLiteral("navigationTitle"))->text(), QStringLiteral("View Image"));
    const QList<BarButtonItem*> right = sheet->navigationItem()->rightBarButtonItems();
    ASSERT_EQ(right.size(), 1);
    EXPECT_EQ(right[0]->text(), QStringLiteral("Done"));
    // Without the opener's bar colour the bar keeps its default look.
    EXPECT_FALSE(navigation->navigationBar()->autoFillBackground());
    EXPECT_NE(sheet->imageView(), nullptr);
    EXPECT_GT(sheet->zoomScale(), 0.0);

    auto* done = navigation->findChild<QToolButton*>(QStringLiteral("doneButton"));
    ASSERT_NE(done, nullptr);
    QTest::mouseClick(done, Qt::LeftButton);
    EXPECT_EQ(root.presentedViewController(), nullptr);
}

TEST_F(ImageViewControllerTest, openersBarColoursAreTakenOver)
{
    ASSERT_NO_FATAL_FAILURE(present(picture(64, 64), QColor(0x33, 0x66, 0x99)));
    NavigationBar* bar = navigation->navigationBar();
    EXPECT_TRUE(bar->autoFillBackground());
    EXPECT_EQ(bar->palette().color(QPalette::Window), QColor(0x33, 0x66, 0x99));
    EXPECT_EQ(bar->palette().color(QPalette::ButtonText), QColor(Qt::white));
    EXPECT_EQ(bar->findChild<QLabel*>(QStringLiteral("navigationTitle"))->palette().color(QPalette::WindowText),
              QColor(Qt::yellow));
}

TEST_F(ImageViewControllerTest, sheetWithoutAnImageShowsOnlyDone)
{
    ASSERT_NO_FATAL_FAILURE(present(QImage()));
    EXPECT_EQ(sheet->imageView(), nullptr);
    EXPECT_NE(navigation->findChild<QToolButton*>(QStringLiteral("doneButton")), nullptr);
}

TEST_F(ImageViewControllerTest, screenshotsInBothAppearances)
{
    ASSERT_NO_FATAL_FAILURE(present(picture(1200, 900), QColor(0x60, 0xc1, 0xc3)));
    grabInBothAppearances(sheet->window(), QStringLiteral("image"));
    root.dismiss(false);
    ASSERT_NO_FATAL_FAILURE(present(picture(30, 200)));
    grabInBothAppearances(sheet->window(), QStringLiteral("image-tall"));
}

} // namespace
