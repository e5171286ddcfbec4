#pragma once

#include <QObject>
#include <QString>
#include <functional>

class ManagedObjectContext;
class PersistentContainer;

// Watches the store's change notice for one card. Our own process posts the notice for its saves too, so
// every notice is checked against the history: only a transaction by another process's author, after the last
// token this watcher has seen, counts.
class CloudUpdateWatcher : public QObject {
    Q_OBJECT

public:
    enum class Change { None, Updated, Deleted };

    CloudUpdateWatcher(QObject* parent = nullptr) : QObject(parent) {}
    ~CloudUpdateWatcher() override;

    // The context whose history is read and whose own saves are ignored.
    void setContext(ManagedObjectContext* context) { m_context = context; }
    // Starts observing the container's notice (from any sender when null).
    void start(PersistentContainer* container);
    void stop();
    bool isObserving() const { return m_observer != 0; }

    // The card being watched; an empty identifier (a new card) matches nothing.
    void setItemId(const QString& itemId) { m_itemId = itemId; }
    // Everything stored so far is known; only later transactions are looked at.
    void markSeen();
    // Reads the history since the last look and answers what another process did to the card.
    Change check();
    // Runs reload (the card shown as stored) against context as it stands now rather than a generation it was
    // pinned to. A pinned context is pinned again at the new generation; one that was not stays free, since a
    // pin no one holds would hide every later change by another process from the screens sharing it.
    void reloadLatest(ManagedObjectContext* context, const std::function<void()>& reload);

    // Tells changed of a change found; an update found while held waits until the hold ends.
    void report(Change change);
    // Held while something covers the card (the peek panel): a deletion is told at once, an update once the
    // hold ends, however many came meanwhile.
    void setHeld(bool held);
    bool isHeld() const { return m_held; }

    // Called on the GUI thread for a card another process updated or deleted.
    std::function<void(Change)> changed;

private:
    ManagedObjectContext* m_context = nullptr;
    QString m_itemId;
    qint64 m_token = -1;
    int m_observer = 0;
    bool m_held = false;
    bool m_updateHeld = false;
};
