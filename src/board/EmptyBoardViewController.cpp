#include "EmptyBoardViewController.h"

#include "core/AppDelegate.h"
#include "core/Helpers.h"
#include "core/Metrics.h"

#include <QLabel>
#include <QMainWindow>
#include <QVBoxLayout>

EmptyBoardViewController::EmptyBoardViewController(QWidget* parent)
    : ViewController(parent), m_titleLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("boardViewController"));
    m_titleLabel->setObjectName(QStringLiteral("boardTitle"));
    QFont font = m_titleLabel->font();
    font.setPixelSize(int(Metrics::scaled(28)));
    font.setBold(true);
    m_titleLabel->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 20, 28, 20);
    layout->addWidget(m_titleLabel);
    layout->addStretch(1);
    Helpers::setupBackgroundGradient(this, this);
}

void EmptyBoardViewController::setCurrentTitle(const QString& title)
{
    m_currentTitle = title;
    m_titleLabel->setText(Helpers::getTrimmedTitle(title));
}

void EmptyBoardViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    if (AppDelegate* app = AppDelegate::shared(); app && app->mainScene())
        app->mainScene()->setWindowTitle(m_currentProjectTitle);
}
