#pragma once

#include <QList>
#include <QSet>

class CardEditorFields;
class ManagedObject;
class ManagedObjectContext;
class ViewController;

// Saving a card opened from inside another editor (the secondary card). Both share the store's one context, in
// which the editor below may hold pending changes of its own (a save the store refused, a title not saved yet).
// The secondary card's Save stores at once only what is its own: its card's records and whatever it made since
// it opened. The opener's pending changes stay pending, for its own Save or Discard to decide.
//
// One per primary editor; the secondary cards find it through the screens they were presented over.
class SecondarySaves {
public:
    explicit SecondarySaves(CardEditorFields* opener);

    // A secondary card is about to open: what is pending now is not its own.
    static void secondaryWillOpen(ViewController* secondary);
    // Stores what secondary wrote: cardRecords (its item, its body, its remembered place) and every record that
    // became pending since it opened; only cardRecords when the editor it was opened from is not found. False
    // when the store refused (reported over secondary); all of it then stays pending.
    static bool storeSecondary(ViewController* secondary, ManagedObjectContext* context,
                               const QList<ManagedObject*>& cardRecords);

private:
    // The primary editor a secondary card was opened from, or nullptr.
    static SecondarySaves* ofOpener(const ViewController* secondary);
    static QSet<ManagedObject*> pendingRecords(ManagedObjectContext* context);

    CardEditorFields* m_fields = nullptr;
    // Pending when the current secondary card opened: not its records, unless they are its card's own.
    QSet<ManagedObject*> m_baseline;
};
