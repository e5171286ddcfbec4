#pragma once

#include "FormSheetBackdrop.h"

#include <QDialog>
#include <QPointer>
#include <QRect>

class ViewController;

// The window-modal dialog that holds a controller presented as a form sheet. It is shown without exec(), so
// presenting never blocks; Escape and the close button dismiss the controller through its presenter, or, when
// the controller is modal in presentation, tell it of the attempt instead.
//
// Every sheet looks and sits the same way: a borderless panel with a one-pixel edge, centred in the content
// area of the main window (below its menu bar and toolbar) and never larger than that area, over a dimmed
// backdrop that shadows the panel and takes the clicks aimed at the window behind. The size a caller asks for
// is kept and honoured again as soon as the window grows to hold it.
class FormSheetDialog : public QDialog {
    Q_OBJECT

public:
    // Room left between a sheet and the edges of the content area, wide enough for the shadow to show.
    static constexpr int Margin = 16;
    static constexpr int BorderWidth = 1;

    FormSheetDialog(ViewController* content, QWidget* parentWindow);
    ~FormSheetDialog() override;
    void setVisible(bool visible) override;

    ViewController* content() const;
    // Lets the dialog close for good; until then closing only asks the presenter to dismiss.
    void release();

    // The window whose content area holds the sheet: the presenting window, or, for a sheet presented from a
    // sheet, the window the first sheet sits in.
    QWidget* anchorWindow() const;
    // The anchor's content area in global coordinates: a main window's central widget, else the whole window.
    static QRect contentArea(const QWidget* anchor);
    // Where a sheet of the requested size sits inside area: centred, and shrunk to fit within the margins.
    static QRect placement(const QSize& requested, const QRect& area);
    FormSheetBackdrop* backdrop() const { return m_backdrop; }
    // The edge's colour in the light or the dark scheme.
    static QColor borderColor(bool dark);

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void requestDismiss();
    void place();

    QPointer<ViewController> m_content;
    QPointer<FormSheetBackdrop> m_backdrop;
    QPointer<QWidget> m_anchor;
    QSize m_requestedSize;
    QSize m_placedSize;
    bool m_placing = false;
    bool m_released = false;
};
