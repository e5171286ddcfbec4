#include "ProjectSplitViewController.h"

#include <QHBoxLayout>
#include <QSplitter>

ProjectSplitViewController::ProjectSplitViewController(ViewController* primary, ViewController* secondary,
                                                       QWidget* parent)
    : ViewController(parent), m_primary(primary), m_secondary(secondary), m_splitter(new QSplitter(this))
{
    setObjectName(QStringLiteral("projectSplitViewController"));
    m_splitter->setObjectName(QStringLiteral("projectSplitter"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setHandleWidth(1);
    addChildViewController(primary);
    addChildViewController(secondary);
    primary->setMaximumWidth(MaximumPrimaryColumnWidth);
    m_splitter->addWidget(primary);
    m_splitter->addWidget(secondary);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({MaximumPrimaryColumnWidth, 1});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);
}
