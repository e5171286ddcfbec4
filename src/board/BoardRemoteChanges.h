#pragma once

#include "platform/store/PersistentHistory.h"

#include <QList>
#include <optional>

class PvCardViewController;

// Keeps the board in step with changes another process saves: it reads the store's history after the last
// token it saw, and a change of items reloads the board once a burst has settled. A drag in progress holds the
// reload back until the drop, so the lists never change under the writer's hand.
class BoardRemoteChanges {
public:
    explicit BoardRemoteChanges(PvCardViewController* board);
    ~BoardRemoteChanges();

    void startObserving();
    void stopObserving();
    // Whether the transactions since the last look changed an item; moves the mark to now.
    bool hasRelevantHistoryChanges();
    void setDragging(bool dragging);
    bool reloadPending() const { return m_reloadPending; }
    qint64 historyToken() const { return m_historyToken; }

    // Whether any transaction inserted, updated or deleted an item.
    static bool hasProjectItemChanges(const QList<HistoryTransaction>& transactions);

private:
    void reloadAfterRemoteChange();

    PvCardViewController* m_board;
    std::optional<int> m_storeObserver;
    qint64 m_historyToken = 0;
    bool m_dragging = false;
    bool m_reloadPending = false;
    bool m_reloadScheduled = false;
};
