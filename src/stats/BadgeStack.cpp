#include "BadgeStack.h"

#include "Achievement.h"
#include "AchievementsManager.h"
#include "BadgeArt.h"
#include "platform/ColorScheme.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

BadgeStack::BadgeStack(QWidget* parent) : QWidget(parent), m_layout(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("achievementStack"));
    m_layout->setContentsMargins(12, 12, 12, 12);
    m_layout->setSpacing(Spacing);
}

bool BadgeStack::isEmpty() const
{
    return m_layout->count() == 0;
}

void BadgeStack::build(const AchievementsManager& manager)
{
    if (!isEmpty())
        return;
    for (const QString& group : manager.badgeKeys()) {
        auto* title = new QLabel(group, this);
        QFont font = title->font();
        font.setPixelSize(GroupTitleSize);
        title->setFont(font);
        m_layout->addWidget(title);

        auto* rows = new QWidget(this);
        auto* grid = new QGridLayout(rows);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setSpacing(Spacing);
        grid->setColumnStretch(0, 1);
        grid->setColumnStretch(1, 1);
        const QList<const Achievement*> achievements = manager.achievements(group);
        for (qsizetype i = 0; i < achievements.size(); ++i)
            grid->addWidget(makeBadge(*achievements[i]), int(i / 2), int(i % 2));
        // An odd badge out keeps its half of the row; the other half stays empty.
        if (achievements.size() % 2)
            grid->addWidget(new QWidget(rows), int(achievements.size() / 2), 1);
        m_layout->addWidget(rows);
    }
    fadeUnearnedNames();
}

QWidget* BadgeStack::makeBadge(const Achievement& achievement)
{
    auto* cell = new QWidget(this);
    auto* layout = new QVBoxLayout(cell);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* button = new QToolButton(cell);
    const bool earned = achievement.isAchieved();
    const qreal ratio = devicePixelRatioF();
    QPixmap art = QPixmap::fromImage(
        BadgeArt::image(earned ? achievement.image() : achievement.placeholder(), int(BadgeSide * ratio)));
    art.setDevicePixelRatio(ratio);
    button->setIcon(QIcon(art));
    button->setIconSize(QSize(BadgeSide, BadgeSide));
    button->setFixedSize(BadgeSide + 8, BadgeSide + 8);
    button->setAutoRaise(true);
    button->setAccessibleName(achievement.tag());
    button->setObjectName(achievement.tag());
    button->setToolTip(earned ? achievement.label() : tr("%1 (not earned yet)").arg(achievement.label()));
    if (earned) {
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &QToolButton::clicked, this, [this, tag = achievement.tag()] { emit achievementOpened(tag); });
    } else {
        button->setFocusPolicy(Qt::NoFocus);
    }
    auto* label = new QLabel(achievement.label(), cell);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setEnabled(earned);
    if (!earned)
        m_unearnedNames.append(label);
    layout->addWidget(button, 0, Qt::AlignHCenter);
    layout->addWidget(label);
    return cell;
}

void BadgeStack::setGround(const QColor& ground)
{
    m_ground = ground;
    fadeUnearnedNames();
}

void BadgeStack::fadeUnearnedNames()
{
    // The desktop's disabled text is made for its own grounds; on ours it can all but vanish.
    const QColor ground = m_ground.isValid() ? m_ground : palette().color(QPalette::Window);
    const QColor faint = ColorScheme::inkAtContrast(palette().color(QPalette::Active, QPalette::WindowText), ground,
                                                    UnearnedNameContrast);
    for (QLabel* name : std::as_const(m_unearnedNames)) {
        if (!name)
            continue;
        QPalette colours = name->palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            colours.setColor(group, QPalette::WindowText, faint);
        name->setPalette(colours);
    }
}

void BadgeStack::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        fadeUnearnedNames();
}

void BadgeStack::clear()
{
    m_unearnedNames.clear();
    while (QLayoutItem* item = m_layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}
