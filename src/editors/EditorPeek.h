#pragma once

#include "platform/Storyboard.h"

#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class CardEditorFields;
class EditorBoardLink;
class SecondarySaves;
class SideMenuNavigationController;
class ViewController;

// What the text and sketch editors share beyond their fields: the peek panel beside the card being written,
// "New Card" from inside the editor, and the two window toolbar items that lead to them while the editor is
// on screen. The panel is made on first use and kept for the editor's life.
class EditorPeek {
public:
    // setPeeking is told when the panel opens (true) and closes (false).
    EditorPeek(ViewController* editor, CardEditorFields* fields, std::function<void(bool)> setPeeking);
    ~EditorPeek();
    EditorPeek(const EditorPeek&) = delete;
    EditorPeek& operator=(const EditorPeek&) = delete;

    // The board's side of the panel and of New Card; without it (an editor made outside the program's
    // storyboard) neither opens.
    void setBoardLink(std::shared_ptr<EditorBoardLink> link);
    // Makes the storyboard build a new Editor (text or sketch) for identifier, each one reaching the board
    // through link.
    template <class Editor> static void registerEditor(const QString& identifier, std::shared_ptr<EditorBoardLink> link)
    {
        Storyboard::registerFactory(identifier, [link] {
            auto* editor = new Editor;
            editor->peek().setBoardLink(link);
            return editor;
        });
    }

    // The window toolbar's and menus' actions that lead to the panel and to New Card: only the editor that
    // fills the window answers them.
    static bool isPanelAction(const QByteArray& action);

    // Slides the panel in over the editor.
    void showPeek();
    // The "New Card" chooser over the editor; what it makes opens as the secondary card.
    void newCard();

    // The secondary card a crash left open over this editor comes back over it, once per editor and only over
    // the primary card: a later appearance (a sheet closing) must not open it a second time.
    void reopenSecondaryCard();

    // Puts identifiers at the front of the window toolbar, the first one first; once while on screen.
    void installToolbarItems(const QStringList& identifiers);
    // Takes out exactly the items installed, wherever they stand now.
    void removeToolbarItems();

    // What tells the records of a secondary card opened from this editor from this editor's own pending ones.
    SecondarySaves& secondarySaves() const { return *m_secondarySaves; }

    // The panel's list, once made.
    ViewController* peekTable() const;
    SideMenuNavigationController* sideMenu() const;

private:
    bool isCovered() const;
    void makePanel();
    void cardSaved();

    QPointer<ViewController> m_editor;
    CardEditorFields* m_fields = nullptr;
    std::function<void(bool)> m_setPeeking;
    std::shared_ptr<EditorBoardLink> m_link;
    QPointer<ViewController> m_peekTable;
    QPointer<SideMenuNavigationController> m_sideMenu;
    QStringList m_installedToolbarItems;
    bool m_secondaryChecked = false;
    std::unique_ptr<SecondarySaves> m_secondarySaves;
};
