#pragma once

#include <QSet>

class AutoSaveController;
class CardEditorFields;
class ManagedObject;
class ManagedObjectContext;
class QWidget;
class ViewController;

// Deferred saving. A card opened from inside another editor (the secondary card) saves by writing its records
// into the shared store context and leaves storing them to the editor it was opened from. That opener stores
// them when it leaves the screen by any way (Save, Cancel, Discard, closing, quitting), and before another
// secondary card opens, whose snapshot takes the same file. Until the records are in the store file the
// secondary card's snapshot stays on disk, so a crash in between still offers its words back.
//
// One per primary editor; the secondary cards find it through the screens they were presented over.
class SecondarySaves {
public:
    explicit SecondarySaves(CardEditorFields* opener);
    ~SecondarySaves();
    SecondarySaves(const SecondarySaves&) = delete;
    SecondarySaves& operator=(const SecondarySaves&) = delete;

    // --- Called by a secondary card.
    // It is about to open: what an earlier secondary card saved is stored first, and what is pending now is
    // not the new card's. False when the store refused (reported over secondary).
    static bool secondaryWillOpen(ViewController* secondary);
    // It saved with deferred saving: its snapshot is written at once and kept, and its records wait for the
    // opener. When the snapshot cannot be written the records are stored at once instead. False when that
    // store failed (reported over secondary); the card is then not saved.
    static bool secondarySaved(ViewController* secondary, ManagedObjectContext* context, AutoSaveController* snapshots);

    // --- Called by the opener.
    // Stores what secondary cards saved, then removes their snapshot. False when the store refused: reported
    // over presenter (only logged without one), and the records and the snapshot stay.
    bool writeOut(QWidget* presenter);
    bool isEmpty() const { return m_records.isEmpty(); }

private:
    // The primary editor a secondary card was opened from, or nullptr.
    static SecondarySaves* ofOpener(const ViewController* secondary);
    static QSet<ManagedObject*> pendingRecords(ManagedObjectContext* context);

    CardEditorFields* m_fields = nullptr;
    // Pending when the current secondary card opened: not its records.
    QSet<ManagedObject*> m_baseline;
    QSet<ManagedObject*> m_records;
    int m_quitObserver = 0;
};
