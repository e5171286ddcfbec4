#pragma once

#include "platform/ViewController.h"

#include <QColor>
#include <QString>

// The base of the floating information dialog: the same dialog colours as the plain dialogs, and the same
// recolouring on a switch between light and dark.
class SEKDialogBaseController : public ViewController {
    Q_OBJECT

public:
    explicit SEKDialogBaseController(QWidget* parent = nullptr);

    QString dialogHeaderColor() const { return m_dialogHeaderColor; }
    QString lightDialogBackgroundColor() const { return m_lightDialogBackgroundColor; }
    QString lightDialogSeparatorColor() const { return m_lightDialogSeparatorColor; }
    QString darkDialogBackgroundColor() const { return m_darkDialogBackgroundColor; }
    QString darkDialogSeparatorColor() const { return m_darkDialogSeparatorColor; }

    QColor backgroundColor() const;
    QColor separatorColor() const;

    // Reapplies the colours after a style change; a style equal to the one last applied changes nothing.
    void traitCollectionDidChange();

protected:
    virtual void applyColors() {}
    void colorsApplied();

private:
    const QString m_dialogHeaderColor;
    const QString m_lightDialogBackgroundColor;
    const QString m_lightDialogSeparatorColor;
    const QString m_darkDialogBackgroundColor;
    const QString m_darkDialogSeparatorColor;
    bool m_hasAppliedStyle = false;
    bool m_appliedDark = false;
};
