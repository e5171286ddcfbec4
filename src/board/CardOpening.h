#pragma once

#include <QString>

class ProjectItem;
class PvCardViewController;

// Where the board hands over whenever an editor should open. The board decides what the writer asked for;
// the card opener, wired in by the program's composition root, decides which editor shows it and how.
class CardOpening {
public:
    // A card that does not exist yet: nothing is in the store until its editor saves it.
    struct NewCard {
        QString projectId;
        QString folderId;
        qint64 itemType = 0;
        // The place the new card takes: after every child the folder holds in the store.
        qint64 displayOrder = 1;
    };

    virtual ~CardOpening() = default;

    // The writer picked a card type in the "New Card" chooser.
    virtual void openNewCard(PvCardViewController* board, const NewCard& card) = 0;
    // The writer selected a card (never a folder) at row of the board.
    virtual void openCard(PvCardViewController* board, ProjectItem* item, int row) = 0;
};
