#include "NavigationBar.h"

#include "BarButtonItem.h"
#include "NavigationItem.h"
#include "SymbolIcons.h"
#include "TintedToolButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

NavigationBar::NavigationBar(QWidget* parent)
    : QWidget(parent), m_left(new QHBoxLayout), m_center(new QHBoxLayout), m_right(new QHBoxLayout),
      m_title(new QLabel(this)), m_back(new TintedToolButton(this))
{
    setObjectName(QStringLiteral("navigationBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->addLayout(m_left);
    layout->addStretch(1);
    layout->addLayout(m_center);
    layout->addStretch(1);
    layout->addLayout(m_right);

    m_back->setObjectName(QStringLiteral("navigationBackButton"));
    m_back->setIcon(SymbolIcons::icon(QStringLiteral("chevron.backward")));
    m_back->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_back->setAutoRaise(true);
    m_back->hide();
    connect(m_back, &QToolButton::clicked, this, &NavigationBar::backRequested);

    m_title->setObjectName(QStringLiteral("navigationTitle"));
    m_title->setTextFormat(Qt::PlainText);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_center->addWidget(m_title);
    setMinimumHeight(36);
}

void NavigationBar::setItem(NavigationItem* item, bool canGoBack, const QString& backTitle)
{
    if (m_item)
        disconnect(m_item, nullptr, this, nullptr);
    m_item = item;
    m_canGoBack = canGoBack;
    m_back->setText(backTitle);
    if (m_item)
        connect(m_item, &NavigationItem::changed, this, &NavigationBar::rebuild);
    rebuild();
}

void NavigationBar::rebuild()
{
    clearSide(m_left);
    clearSide(m_right);
    if (m_titleView) {
        m_center->removeWidget(m_titleView);
        m_titleView->hide();
        m_titleView->setParent(nullptr);
        m_titleView = nullptr;
    }
    if (!m_item) {
        m_title->clear();
        m_back->hide();
        return;
    }
    const QList<BarButtonItem*> left = m_item->leftBarButtonItems();
    const bool showBack = m_canGoBack && left.isEmpty() && !m_item->hidesBackButton();
    m_back->setVisible(showBack);
    if (showBack)
        m_left->addWidget(m_back);
    fillSide(m_left, left);
    fillSide(m_right, m_item->rightBarButtonItems());

    m_titleView = m_item->titleView();
    m_title->setVisible(!m_titleView);
    m_title->setText(m_item->title());
    if (m_titleView) {
        m_center->addWidget(m_titleView);
        m_titleView->show();
    }
}

void NavigationBar::clearSide(QHBoxLayout* side)
{
    while (QLayoutItem* entry = side->takeAt(0)) {
        QWidget* widget = entry->widget();
        delete entry;
        if (!widget || widget == m_back)
            continue;
        // Buttons are the bar's; custom views belong to their items and only leave the bar.
        if (widget->property("navigationBarButton").toBool()) {
            // Deleted later, as its own click may have led here; unnamed so lookups find the new one.
            widget->setObjectName(QString());
            widget->hide();
            widget->deleteLater();
        } else {
            widget->hide();
            widget->setParent(nullptr);
        }
    }
}

void NavigationBar::fillSide(QHBoxLayout* side, const QList<BarButtonItem*>& items)
{
    for (BarButtonItem* item : items) {
        if (QWidget* custom = item->customView()) {
            side->addWidget(custom);
            custom->show();
            continue;
        }
        auto* button = new TintedToolButton(this);
        button->setProperty("navigationBarButton", true);
        button->setObjectName(item->objectName());
        button->setAutoRaise(true);
        button->setDefaultAction(item);
        button->setToolButtonStyle(item->icon().isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
        if (item->itemMenu()) {
            button->setMenu(item->itemMenu());
            button->setPopupMode(QToolButton::InstantPopup);
        }
        side->addWidget(button);
    }
}
