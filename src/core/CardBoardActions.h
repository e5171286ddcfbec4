#pragma once

// What the window toolbar asks of the open card board. The board implements it; the toolbar reaches
// the board through AppDelegate::cardViewController.
class CardBoardActions {
public:
    virtual ~CardBoardActions() = default;

    // Up one folder, or back to the project list from the root folder.
    virtual void goBack() = 0;
    virtual void toggleSidebarAnimated() = 0;
    // Offers the kinds of card to create.
    virtual void showNewCardChooser() = 0;
    // Creates an item of cardTag (0 is a folder) in the folder shown.
    virtual void createNewItem(int cardTag) = 0;
};
