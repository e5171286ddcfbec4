#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

class AutoSaveController;
class CardEditorFields;
class ManagedObject;
class PendingRecords;
class ProjectItem;
class ViewController;

// The save every card editor, text or sketch, runs, in the one order that keeps a writer's words safe: the
// progress indicator first, then the card written into the store's context, then stored (a card opened from
// inside another editor only its own records); only once that succeeded does what guarded the unsaved words
// go, and only then does the editor close or go on with a copy. A failure at any step leaves the editor open
// with its changes and its snapshot. The snapshot timer and the discarding of changes follow the same rules.
class EditorSaveFlow {
public:
    // What the flow asks of the editor it serves.
    class Editor {
    public:
        virtual ~Editor() = default;
        // While true a save is refused: one is under way or the editor is closing.
        virtual bool isBusy() const = 0;
        // Disables (true) or restores what could start a second save or close the editor.
        virtual void setSaving(bool saving) = 0;
        // Writes the card into the store's context; false when nothing could be written.
        virtual bool writeCard(const std::optional<QString>& copyTitle) = 0;
        // The card the last write inserted, or nullptr; the writer lets go of it, so later saves make their own.
        virtual ProjectItem* takeInsertedCard() = 0;
        // The card was opened from inside another editor, whose pending changes its save must not store.
        virtual bool defersSave() const = 0;
        // The records of the card being edited (its item, its body, its remembered place), any of them nullptr.
        virtual QList<ManagedObject*> cardRecords() const = 0;
        // The snapshot timer of the editing session, or nullptr.
        virtual AutoSaveController* autoSaveController() const = 0;
        // What this editor's writes left pending in the store's context.
        virtual PendingRecords& pendingRecords() = 0;
        // Nothing this editor wrote is pending any more.
        virtual void forgetPendingChanges() = 0;
        // The card stands as stored: it is unchanged, and only later store changes are news to it.
        virtual void markSaved() = 0;
        // Tells the editor's listeners that a save finished, saved or not.
        virtual void saveEnded(bool saved) = 0;
        // Drops what the editor's writes left pending in the store: its new records go, its changes are undone.
        virtual void discardPendingChanges() = 0;
        // The card has no unsaved changes any more (its quit-guard flag with it).
        virtual void markUnchanged() = 0;
        // The editor leaves, after a save (saved) or after its changes were discarded.
        virtual void leave(bool saved) = 0;
    };

    // notWrittenMessage is what the save error alert says when the card could not be written.
    EditorSaveFlow(ViewController& view, CardEditorFields& fields, Editor& editor, QString notWrittenMessage);

    // Waits behind the progress indicator, then writes and saves. With a copy title the edits become a new card
    // and completion runs; without one the editor closes once the save succeeded. Nothing runs while busy.
    void save(const std::optional<QString>& copyTitle, std::function<void()> completion);

    // Asks "Discard Changes"; for "Discard" only this card's changes go, its snapshot with them, and the editor
    // leaves.
    void confirmDiscard();

    // A fresh snapshot timer over take for the editing session; for a secondary card what is pending in the store's
    // context from now on is its own. Words already unsaved (changed) are written again at the first tick, so a
    // second crash loses nothing.
    std::unique_ptr<AutoSaveController> startSnapshots(std::function<QVariantMap()> take, bool changed) const;
    // The same for an editor that shows again: its timer, made on the first appearance, runs again and still knows
    // whether the snapshot file is its own.
    void startSnapshots(std::unique_ptr<AutoSaveController>& snapshots, std::function<QVariantMap()> take,
                        bool changed) const;
    // The snapshot the writer chose to recover could not be shown: its file is kept aside, so it waits for no one
    // and is never offered again, and from now on the card's own words are snapshotted as for any card. It is not
    // tried again on a later load.
    void recoveredSnapshotNotShown();

private:
    void discard();
    void removeSnapshot();
    void write(const std::optional<QString>& copyTitle, const std::function<void()>& completion);
    void finish(bool written, const std::optional<QString>& copyTitle, const std::function<void()>& completion);

    ViewController& m_view;
    CardEditorFields& m_fields;
    Editor& m_editor;
    QString m_notWrittenMessage;
};
