#pragma once

#include "platform/ViewController.h"

#include <QByteArray>
#include <functional>
#include <memory>

class CardEditorFields;
class EditorPeek;

// What the text and the sketch editors are alike to the window: a screen that answers the window toolbar's and
// the menus' Peek and New Card through the peek panel it owns, while it is the editor that fills the window.
class CardEditorScreen : public ViewController {
    Q_OBJECT

public:
    explicit CardEditorScreen(QWidget* parent = nullptr);
    ~CardEditorScreen() override;

    // The peek panel beside this card, and "New Card" over it (the toolbar items and menu commands).
    Q_INVOKABLE void peekClicked(QObject* sender);
    Q_INVOKABLE void cardPeek(QObject* sender);
    Q_INVOKABLE void newCardClicked(QObject* sender);
    // Only the editor that fills the window answers the toolbar's Peek and New Card: a card in a sheet is
    // already over another card, whose toolbar items these are.
    Q_INVOKABLE bool canPerformAction(const QByteArray& action) const;
    EditorPeek& peek() const { return *m_peek; }

protected:
    // Called once by the editor's constructor, its fields being there by then; setPeeking hears the panel open
    // (true) and close (false).
    void makePeek(CardEditorFields* fields, std::function<void(bool)> setPeeking);
    virtual bool fillsWindow() const = 0;

private:
    std::unique_ptr<EditorPeek> m_peek;
};
