#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

class CardEditorFields;
class CardProps;
class SideMenuNavigationController;
class ViewController;

// What an editor reaches of the card board above it: the peek panel beside the card being written and the cards
// it opens over itself. The board fills it in and the program hands it to every editor it makes, so the editors
// build and read without the board.
class EditorBoardLink {
public:
    virtual ~EditorBoardLink() = default;

    struct PeekPanel {
        ViewController* list = nullptr;
        SideMenuNavigationController* sideMenu = nullptr;
    };

    // The panel listing the folder of fields beside editor, in a side menu not yet shown, or nothing when the
    // panel cannot be made; setPeeking hears true as the panel opens and false as it closes.
    virtual PeekPanel makePeekPanel(ViewController* editor, CardEditorFields* fields,
                                    std::function<void(bool)> setPeeking) = 0;
    // Lists folderId in the panel again, after a card opened over the editor was saved.
    virtual void reloadPeekPanel(ViewController* list, const QString& folderId) = 0;
    // The "New Card" chooser over editor offering props; the card made opens as the secondary card at
    // displayOrder, and saved is called once it is stored.
    virtual void newCard(ViewController* editor, CardEditorFields* fields, const CardProps& props, qint64 displayOrder,
                         std::function<void()> saved) = 0;
    // Opens over editor the secondary card a crash left open in the project of fields.
    virtual void reopenSecondaryCard(ViewController* editor, CardEditorFields* fields) = 0;
};
