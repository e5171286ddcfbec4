#include "ElidedButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace {

const QString Ellipsis = QStringLiteral("\u2026");

} // namespace

ElidedButton::ElidedButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    // Narrower than its whole title where the room is short, rather than wider than the room it is given.
    setSizePolicy(QSizePolicy::Preferred, sizePolicy().verticalPolicy());
}

int ElidedButton::titleRoom(const QStyleOptionButton& option) const
{
    return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).width();
}

QString ElidedButton::shownText() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return fontMetrics().elidedText(text(), Qt::ElideRight, titleRoom(option));
}

QSize ElidedButton::minimumSizeHint() const
{
    const QSize whole = sizeHint();
    const QFontMetrics metrics = fontMetrics();
    // The frame and margins round the title, as the whole title's size holds them, and the shortest title shown;
    // a button without a title asks for its whole size.
    const int margins = std::max(0, whole.width() - metrics.horizontalAdvance(text()));
    const int shortest = metrics.horizontalAdvance(text().left(1) + Ellipsis);
    return QSize(std::min(whole.width(), margins + shortest), whole.height());
}

void ElidedButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = fontMetrics().elidedText(text(), Qt::ElideRight, titleRoom(option));
    painter.drawControl(QStyle::CE_PushButton, option);
}
