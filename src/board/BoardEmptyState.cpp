#include "BoardEmptyState.h"

#include "CardBoardLoader.h"
#include "EmptyStateButton.h"
#include "core/CardProps.h"
#include "core/StoreConstants.h"
#include "platform/ColorScheme.h"

#include <QAbstractScrollArea>
#include <QLabel>
#include <algorithm>
#include <cmath>

BoardEmptyState::BoardEmptyState(QAbstractScrollArea* grid, QWidget* header)
    : QObject(grid), m_grid(grid), m_header(header), m_picture(new QLabel(grid->viewport())),
      m_label(new QLabel(grid->viewport())),
      m_button(new EmptyStateButton(CardBoardLoader::AddCardSuffix, QString(), grid->viewport()))
{
    m_picture->setObjectName(QStringLiteral("emptyStatePicture"));
    m_picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_picture->hide();
    m_label->setObjectName(QStringLiteral("emptyStateLabel"));
    m_label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_label->setWordWrap(true);
    m_label->setTextFormat(Qt::PlainText);
    // The grid's viewport would hand the label the text colour of its cells; the line reads like the button's.
    m_label->setForegroundRole(QPalette::WindowText);
    QFont font = m_label->font();
    font.setPixelSize(FontSize);
    m_label->setFont(font);
    m_label->hide();
    m_button->hide();
    connect(m_button, &QAbstractButton::clicked, this, &BoardEmptyState::newCardRequested);
    // The picture's paper and ink follow the scheme.
    connect(ColorScheme::instance(), &ColorScheme::changed, this, &BoardEmptyState::layout);
}

QRect BoardEmptyState::pictureFrame(const QSize& area)
{
    const qreal shorter = std::min(area.width(), area.height());
    const qreal side = shorter / 3 + shorter / 3;
    const qreal x = (area.width() - side) * 0.5;
    const qreal y = (area.height() - side) * 0.5 - PictureRaise;
    const int rounded = std::max(0, int(std::lround(side)));
    return QRect(int(std::lround(x)), int(std::lround(y)), rounded, rounded);
}

void BoardEmptyState::place(const State& state, const CardProps& props)
{
    m_state = state;
    const CardProp* entry = props.entryForIntCardType(state.filter);
    m_backgroundName = entry ? entry->cardBackgroundName() : QString();
    m_label->setText(CardBoardLoader::emptyStateText(state.filter, state.searching));
    layout();
}

QRect BoardEmptyState::gridFrame() const
{
    QRect frame = m_grid->geometry();
    if (m_header && !m_header->isHidden())
        frame.setTop(frame.top() - m_header->height());
    return frame.translated(-(m_grid->pos() + m_grid->viewport()->pos()));
}

void BoardEmptyState::layout()
{
    const bool offersCard = m_state.empty && m_state.filter == CardFilter::AllCards && !m_state.searching;
    const QRect area = gridFrame();
    const QRect frame = pictureFrame(area.size()).translated(area.topLeft());
    const QPixmap art = m_state.empty ? m_art.picture(m_backgroundName, ColorScheme::isDark(), frame.width(),
                                                      m_grid->devicePixelRatioF())
                                      : QPixmap();
    m_picture->setGeometry(frame);
    m_picture->setPixmap(art);
    m_picture->setVisible(!art.isNull());
    // The line keeps its place under the picture; a narrow board wraps it downwards.
    const int top = frame.bottom() + 1 + LineGap;
    for (QWidget* line : {static_cast<QWidget*>(m_button), static_cast<QWidget*>(m_label)})
        line->setGeometry(area.left(), top, area.width(), std::max(LineHeight, line->heightForWidth(area.width())));
    m_button->setVisible(offersCard);
    m_label->setVisible(m_state.empty && !offersCard);
}
