#pragma once

#include <QList>
#include <functional>

class ManagedObject;
class ManagedObjectContext;
class QWidget;

// What an editor's save attempts left pending in the shared store context: the records it inserted, and the
// stored records it touched. After a failed save the writer may still discard; then its inserts go and its
// changes to stored records are undone, so the next save of the context (by any screen) brings nothing back.
class PendingRecords {
public:
    // A record this editor inserted and has not saved yet.
    void track(ManagedObject* record);
    bool contains(const ManagedObject* record) const;
    // Runs write, an attempt to write the card into context, and answers its result. Stored records it changed
    // that had nothing pending before (the stamps of the card's folders and project among them) are this
    // editor's to undo on a discard.
    bool watch(ManagedObjectContext* context, const std::function<bool()>& write);
    // After a successful save nothing is pending any more.
    void forget();
    // Deletes the tracked inserts and gives the touched stored records, and those the watched writes changed,
    // back their stored values. When another save had stored an insert meanwhile, the deletion is saved at once
    // (a failure is reported over presenter).
    void discard(ManagedObjectContext* context, const QList<ManagedObject*>& touched, QWidget* presenter);

private:
    QList<ManagedObject*> m_inserts;
    QList<ManagedObject*> m_changed;
};
