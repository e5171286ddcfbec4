#pragma once

#include "platform/ToolbarItem.h"

#include <QPointer>
#include <QWidget>

// A toolbar item around a view made by someone else, such as the desktop plug-in's search field. The
// view's maker keeps it and sends its actions; this item only lets the toolbar show it.
class HostedToolbarItem : public ToolbarItem {
    Q_OBJECT

public:
    HostedToolbarItem(QString itemIdentifier, QWidget* view, QObject* parent = nullptr);

    QWidget* view() const override;

private:
    QPointer<QWidget> m_view;
};
