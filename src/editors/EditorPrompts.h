#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

// What every card editor, text or sketch, says and waits for in the same way: the "Discard Changes" question,
// the alert for a card another process changed, the error for a body no reader accepts, the quit guard's flag
// for the editor's pane, and the short wait behind the progress indicator before a save starts.
class EditorPrompts {
public:
    static inline const QString DiscardChangesTitle = QStringLiteral("Discard Changes");
    static inline const QString DiscardChangesMessage =
        QStringLiteral("You have made changes to this card.  Are you sure you want to discard them?");
    static inline const QString DiscardChangesAccessibility = QStringLiteral("discardChangesAlert");
    static inline const QString DiscardTitle = QStringLiteral("Discard");
    static inline const QString CancelTitle = QStringLiteral("Cancel");

    static inline const QString UpdatedAlertTitle = QStringLiteral("Warning");
    // %1 is empty, or UpdatedAlertCopyOffer when the card has unsaved changes.
    static inline const QString UpdatedAlertFormat =
        QStringLiteral("The card you're editing has been updated from iCloud.\r\n\r\nAny changes you make will "
                       "overwrite the update.\r\n\r\nDo you want to load the updated card%1?");
    static inline const QString UpdatedAlertCopyOffer =
        QStringLiteral(" and save a copy of your current changes to a new card");
    static inline const QString IgnoreChangesTitle = QStringLiteral("Ignore Changes");
    static inline const QString LoadCardTitle = QStringLiteral("Load Card");

    static inline const QString UnreadableTitle = QStringLiteral("Unreadable Card");
    static inline const QString OkTitle = QStringLiteral("OK");

    // Wait before a save, so that the progress indicator is drawn first.
    static constexpr int SaveDelayMs = 400;

    // Asks "Discard Changes" over editor; discard runs only for "Discard". A question already showing is not
    // asked twice.
    static void confirmDiscard(QWidget* editor, std::function<void()> discard);
    // Tells that another process changed the card; loadCard runs for "Load Card". Shown over the topmost
    // screen, or over editor when there is none.
    static void showCardUpdated(QWidget* editor, bool hasChanges, std::function<void()> loadCard);
    // Tells that a body (the card's, or a recovered snapshot's) could not be read; message says what the editor
    // shows instead. The editor keeps the stored bytes as they are and never saves over them.
    static void showUnreadable(QWidget* editor, const QString& message);
    // The quit guard's flag for the main pane or for a card opened from inside another editor.
    static void setCardEdits(bool isSecondaryCard, bool changed);

    // Shows the progress indicator, waits SaveDelayMs off the GUI thread, then runs work on the GUI thread while
    // owner still exists (the indicator is dismissed otherwise). The work dismisses the indicator itself.
    template <class Owner> static void afterIndicator(Owner* owner, std::function<void(Owner&)> work)
    {
        QPointer<Owner> guard(owner);
        runAfterIndicator([guard, work] {
            if (!guard)
                return false;
            work(*guard);
            return true;
        });
    }

private:
    static void runAfterIndicator(std::function<bool()> work);
};
