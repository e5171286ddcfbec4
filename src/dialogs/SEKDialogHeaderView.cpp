#include "SEKDialogHeaderView.h"

#include "core/HexColor.h"
#include "platform/SymbolIcons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

SEKDialogHeaderView::SEKDialogHeaderView(const QString& headerColorHex, bool withCloseButton, QWidget* parent)
    : QWidget(parent), m_titleView(new QLabel(this))
{
    setObjectName(QStringLiteral("headerView"));
    setFixedHeight(Height);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, HexColor::colorWithHexString(headerColorHex));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);

    m_titleView->setObjectName(QStringLiteral("titleView"));
    m_titleView->setTextFormat(Qt::PlainText);
    QFont bold = m_titleView->font();
    bold.setBold(true);
    m_titleView->setFont(bold);
    m_titleView->setAlignment(Qt::AlignCenter);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 0, 8, 0);
    if (withCloseButton) {
        // A spacer as wide as the button keeps the title centred.
        layout->addSpacing(28);
    }
    layout->addWidget(m_titleView, 1);
    if (withCloseButton) {
        m_closeButtonView = new QPushButton(this);
        m_closeButtonView->setObjectName(QStringLiteral("closeButton"));
        m_closeButtonView->setIcon(SymbolIcons::icon(QStringLiteral("xmark")));
        m_closeButtonView->setFlat(true);
        m_closeButtonView->setFixedSize(28, 28);
        layout->addWidget(m_closeButtonView);
    }
}

SEKDialogHeaderView::Top SEKDialogHeaderView::installOn(QWidget* dialog, const QString& headerColorHex,
                                                        bool withCloseButton)
{
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new SEKDialogHeaderView(headerColorHex, withCloseButton, dialog);
    layout->addWidget(header);
    auto* separator = new QWidget(dialog);
    separator->setObjectName(QStringLiteral("separatorView"));
    separator->setFixedHeight(1);
    layout->addWidget(separator);
    return {layout, header, separator};
}
