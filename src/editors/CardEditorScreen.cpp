#include "CardEditorScreen.h"

#include "EditorPeek.h"

CardEditorScreen::CardEditorScreen(QWidget* parent) : ViewController(parent)
{
}

CardEditorScreen::~CardEditorScreen() = default;

void CardEditorScreen::makePeek(CardEditorFields* fields, std::function<void(bool)> setPeeking)
{
    m_peek = std::make_unique<EditorPeek>(this, fields, std::move(setPeeking));
}

void CardEditorScreen::peekClicked(QObject*)
{
    m_peek->showPeek();
}

void CardEditorScreen::cardPeek(QObject*)
{
    m_peek->showPeek();
}

void CardEditorScreen::newCardClicked(QObject*)
{
    m_peek->newCard();
}

bool CardEditorScreen::canPerformAction(const QByteArray& action) const
{
    return !EditorPeek::isPanelAction(action) || fillsWindow();
}
