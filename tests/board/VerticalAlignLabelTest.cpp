#include "board/VerticalAlignLabel.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// The rows and columns in which the label painted anything dark.
QRect inkBounds(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget.render(&image);
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

VerticalAlignLabel* makeLabel()
{
    auto* label = new VerticalAlignLabel(QStringLiteral("Lighthouse"));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Window, Qt::white);
    label->setPalette(palette);
    label->resize(300, 120);
    return label;
}

TEST(VerticalAlignLabelTest, oneLineInATallLabelSitsAtTheTop)
{
    std::unique_ptr<VerticalAlignLabel> label(makeLabel());
    const QRect ink = inkBounds(*label);
    ASSERT_FALSE(ink.isNull());
    EXPECT_LT(ink.top(), label->fontMetrics().height());
    EXPECT_LT(ink.left(), 10);
}

TEST(VerticalAlignLabelTest, rightToLeftKeepsToTheTopRight)
{
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    std::unique_ptr<VerticalAlignLabel> label(makeLabel());
    const QRect ink = inkBounds(*label);
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    ASSERT_FALSE(ink.isNull());
    EXPECT_LT(ink.top(), label->fontMetrics().height());
    EXPECT_GT(ink.right(), 300 - 10);
}

} // namespace
