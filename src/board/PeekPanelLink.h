#pragma once

#include "editors/EditorBoardLink.h"

// The board's side of an editor's peek panel and New Card: the panel is the board's peek list in a side menu,
// and cards open over the editor through the card opener.
class PeekPanelLink : public EditorBoardLink {
public:
    PeekPanel makePeekPanel(ViewController* editor, CardEditorFields* fields,
                            std::function<void(bool)> setPeeking) override;
    void reloadPeekPanel(ViewController* list, const QString& folderId) override;
    void newCard(ViewController* editor, CardEditorFields* fields, const CardProps& props, qint64 displayOrder,
                 std::function<void()> saved) override;
    void reopenSecondaryCard(ViewController* editor, CardEditorFields* fields) override;
};
