#pragma once

#include "CardOpening.h"

#include "platform/Alert.h"

#include <QPointer>
#include <QString>
#include <QVariantMap>

class Alert;
class ManagedObjectContext;
class PvCardViewController;

// The offer, when the board comes on screen, to recover the card a primary editor left unsaved when the
// program ended: the "Restore Card" alert and its two answers. "Recover" hands the snapshot to an editor,
// which deletes it only once it saved or the writer discarded it there; "Discard" deletes the project's
// primary and secondary snapshots.
class BoardRecovery {
public:
    static inline const QString AlertTitle = QStringLiteral("Restore Card");
    static inline const QString UntitledTitle = QStringLiteral("Untitled");
    // %1 is the title, %2 the date and time of the snapshot.
    static inline const QString MessageFormat = QStringLiteral(
        "A card titled \"%1\" was auto-saved in your last session on %2.  Would you like to recover it?");
    static inline const QString DiscardTitle = QStringLiteral("Discard");
    static inline const QString RecoverTitle = QStringLiteral("Recover");

    explicit BoardRecovery(PvCardViewController* board) : m_board(board) {}

    // Offers the project's primary snapshot, when there is one; answers whether it did. At most one offer
    // is up at a time.
    bool offerIfSnapshot();
    void offerAutoSaveRecovery(const QVariantMap& snapshot);
    void recoverAutoSave(const QVariantMap& snapshot);
    void discardAutoSave();

    static QString message(const QVariantMap& snapshot);
    // Where the snapshot's card stands in the store now, found by its identifier in any folder of the
    // project; a card that is gone is recovered as a new card in its folder, or at the top when that is gone too.
    static CardOpening::RecoveredCard resolve(ManagedObjectContext* context, const QString& boardProjectId,
                                              const QVariantMap& snapshot);

private:
    PvCardViewController* m_board;
    QPointer<Alert> m_offer;
};
