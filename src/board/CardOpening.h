#pragma once

#include <QString>
#include <QVariantMap>

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

    // A card an editor left unsaved when the program ended, as the writer chose to recover it.
    struct RecoveredCard {
        // The stored card, or nullptr: the snapshot's words then become a new card.
        ProjectItem* item = nullptr;
        QString projectId;
        // The card's folder as it stands in the store now; the top of the project when it is gone.
        QString folderId;
        qint64 itemType = 0;
        qint64 itemFormat = 0;
        QVariantMap snapshot;
    };

    virtual ~CardOpening() = default;

    // The writer picked a card type in the "New Card" chooser.
    virtual void openNewCard(PvCardViewController* board, const NewCard& card) = 0;
    // The writer selected a card (never a folder) at row of the board.
    virtual void openCard(PvCardViewController* board, ProjectItem* item, int row) = 0;
    // The writer chose "Recover": the editor takes the snapshot over (and deletes it once it saved).
    virtual void openRecovered(PvCardViewController* board, const RecoveredCard& card) = 0;
};
