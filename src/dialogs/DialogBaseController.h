#pragma once

#include "platform/ViewController.h"

#include <QColor>
#include <QString>

// The base of the plain dialogs (and two of the floating ones): the dialog colours, and a recolouring hook
// that runs when the dialog loads and whenever the application switches between light and dark.
class DialogBaseController : public ViewController {
    Q_OBJECT

public:
    explicit DialogBaseController(QWidget* parent = nullptr);

    static inline const QString DialogHeaderColor = QStringLiteral("60C1C3");
    static inline const QString LightDialogBackgroundColor = QStringLiteral("#EEEEEE");
    static inline const QString LightDialogSeparatorColor = QStringLiteral("#D9D9D9");
    static inline const QString DarkDialogBackgroundColor = QStringLiteral("#232323");
    static inline const QString DarkDialogSeparatorColor = QStringLiteral("#333333");
    // Corner radius of every dialog's view.
    static constexpr int CornerRadius = 10;

    QString dialogHeaderColor() const { return m_dialogHeaderColor; }
    QString lightDialogBackgroundColor() const { return m_lightDialogBackgroundColor; }
    QString lightDialogSeparatorColor() const { return m_lightDialogSeparatorColor; }
    QString darkDialogBackgroundColor() const { return m_darkDialogBackgroundColor; }
    QString darkDialogSeparatorColor() const { return m_darkDialogSeparatorColor; }

    // The background and separator colours for the current light or dark style.
    QColor backgroundColor() const;
    QColor separatorColor() const;
    // True while the application looks dark.
    static bool isDarkStyle();

    // Gives a widget a solid background colour.
    static void paintBackground(QWidget* widget, const QColor& color);

    int cornerRadius() const { return m_cornerRadius; }

    // Reapplies the colours after a style change; a style equal to the one last applied changes nothing.
    void traitCollectionDidChange();

protected:
    // Subclasses colour their views here; called from their viewDidLoad and on every style change.
    virtual void applyColors() {}
    // Marks the style the colours were applied for, so traitCollectionDidChange skips unchanged styles.
    void colorsApplied();
    // Asks for the view's corners rounded to CornerRadius. A form sheet is a framed window of its own, so only
    // a floating entry, which draws no frame, clips its content to the rounded shape.
    void roundCorners() { m_cornerRadius = CornerRadius; }

    // Styles the enclosing navigation bar: white on the accent colour.
    void styleNavigationBar();

private:
    const QString m_dialogHeaderColor = DialogHeaderColor;
    const QString m_lightDialogBackgroundColor = LightDialogBackgroundColor;
    const QString m_lightDialogSeparatorColor = LightDialogSeparatorColor;
    const QString m_darkDialogBackgroundColor = DarkDialogBackgroundColor;
    const QString m_darkDialogSeparatorColor = DarkDialogSeparatorColor;
    int m_cornerRadius = 0;
    bool m_hasAppliedStyle = false;
    bool m_appliedDark = false;
};
