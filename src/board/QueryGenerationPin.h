#pragma once

#include <QObject>
#include <QPointer>

class ManagedObjectContext;

// Holds the store's view context on the query generation of the moment an editor came on screen, so the
// records the board and the editor share do not change under the editor, and lets go when the editor goes.
// Made a child of the editor's screen: the pin ends with the screen however it closes (Save, Cancel,
// Discard, a failed load). A context that was pinned already (a secondary editor over a primary one) is left
// to the pin that holds it.
class QueryGenerationPin : public QObject {
    Q_OBJECT

public:
    QueryGenerationPin(ManagedObjectContext* context, QObject* screen);
    ~QueryGenerationPin() override;

    // Lets go now; the board does this when an editor reports back, before it reloads.
    void release();
    bool holdsPin() const { return m_holds; }

    // Pins context for as long as screen lives; nothing when either is missing.
    static QueryGenerationPin* pinWhileShown(ManagedObjectContext* context, QObject* screen);

private:
    QPointer<ManagedObjectContext> m_context;
    bool m_holds = false;
};
