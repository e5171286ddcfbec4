#pragma once

#include "CardEditorFields.h"
#include "CardEditorScreen.h"
#include "EditorContentStore.h"
#include "EditorSaveFlow.h"
#include "PendingRecords.h"
#include "core/CardProps.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

class AutoSaveController;
class BarButtonItem;
class CardSaveWriter;
class CloudUpdateWatcher;
class EditorCommands;
class EditorPeek;
class EditorState;
class ManagedObject;
class ManagedObjectContext;
class ProjectItem;
class ProjectItemDocument;
class PvTextView;
class QAction;
class QLabel;
class QToolBar;

// The base of the rich-text card editors: the card being edited and its unsaved state, the text view with its
// toolbar, colours and title, the Return key, and the alert for changes another process made to the card.
// Loading and saving the body, the commands and menus, and watching the store are collaborators it owns.
// The save runs through the flow every card editor shares; the subclasses write the card (the writer calls
// saveContent() and saveCursorPosition()) and say how they leave.
class PvBaseEditor : public CardEditorScreen, public CardEditorFields, public EditorSaveFlow::Editor {
    Q_OBJECT

public:
    // Said under EditorPrompts::UnreadableTitle.
    static inline const QString UnreadableMessage =
        QStringLiteral("The text of this card could not be read. It is left exactly as it is stored and "
                       "this editor will not save over it.");
    static inline const QString UnreadableSnapshotMessage =
        QStringLiteral("The recovered text could not be read, so the card opens as it was last saved.");
    static inline const QString UnreadableRecoveredMessage =
        QStringLiteral("The text of this card could not be read, so the recovered words open as a new card. The "
                       "card is left exactly as it is stored.");
    // The bar buttons, the same in every editor (the question before changes go is EditorPrompts').
    static inline const QString CancelTitle = QStringLiteral("Cancel");
    static inline const QString SaveTitle = QStringLiteral("Save");
    static inline const QString CopyPrefix = QStringLiteral("Copy of ");
    static inline const QString ArchiveFailedMessage =
        QStringLiteral("The card's text could not be stored, so nothing was saved. Your changes are still here.");
    // The indent a Story card's new paragraph starts with when the project asks for it.
    static inline const QString StoryIndent = QStringLiteral("\n\t");

    explicit PvBaseEditor(QWidget* parent = nullptr);
    ~PvBaseEditor() override;

    // --- Set by the opener besides the fields every card editor takes.
    bool preventFontSizeChange() const { return m_preventFontSizeChange; }
    void setPreventFontSizeChange(bool prevent) { m_preventFontSizeChange = prevent; }
    // The board's search pattern; the editor steps through its hits.
    QString regexQuery() const { return m_regexQuery; }
    void setRegexQuery(const QString& pattern) { m_regexQuery = pattern; }
    // Told when the title (given) or the tag or notes (nullopt) changed.
    std::function<void(const std::optional<QString>&)> cardUpdated;

    // --- State of the card being edited.
    ProjectItemDocument* currentDocument() const;
    void setCurrentDocument(ProjectItemDocument* document);
    QString fullTitle() const { return m_fullTitle; }
    QString viewTitle() const { return m_viewTitle; }
    QString notes() const { return m_notes; }
    void setNotes(const QString& notes) { m_notes = notes; }
    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }
    bool cardChanged() const { return m_cardChanged; }
    bool contentChanged() const { return m_contentChanged; }
    bool contentLoaded() const { return m_contentLoaded; }
    bool autoIndent() const { return m_autoIndent; }
    // Typed quotes and double hyphens become typographer's quotes and dashes.
    bool useSmartQuotes() const { return m_useSmartQuotes; }
    void setUseSmartQuotes(bool smart) { m_useSmartQuotes = smart; }
    bool isDarkMode() const { return m_isDarkMode; }
    bool isFullScreenEditor() const { return m_isFullScreenEditor; }
    // The peek panel covers the card; an update from elsewhere waits until it closes.
    bool peeking() const;
    // The stored body could not be read: the editor shows nothing and never saves over it.
    bool bodyUnreadable() const;
    // That body as stored, with what the card says of its words; nothing while the body could be read.
    const std::optional<EditorContentStore::KeptBody>& keptBody() const;

    // --- Views.
    PvTextView* editor() const { return m_editor; }
    QToolBar* toolbar() const { return m_toolbar; }
    QAction* fontButton() const { return m_fontButton; }
    QAction* listButton() const { return m_listButton; }
    QAction* backwardsButton() const { return m_backwardsButton; }
    QAction* forwardsButton() const { return m_forwardsButton; }
    QAction* undoButton() const { return m_undoButton; }
    QAction* redoButton() const { return m_redoButton; }
    QAction* overflowButton() const { return m_overflowButton; }
    QLabel* statusLabel() const { return m_statusLabel; }
    EditorCommands& commands() const { return *m_commands; }

    // --- Loading and saving (the subclasses call these from their own load and save).
    // NoBody: the card has neither a document nor a body of its own; the subclass shows its empty text.
    enum class LoadOutcome { Loaded, NoBody, Unreadable };
    // Shows the card's body in the editor: currentDocument, or for an older card without one the item's own
    // body. An unreadable body leaves the editor read-only; finishLoading() raises the error alert.
    LoadOutcome loadContent();
    // Writes the editor's text into the card's document; false when it cannot (archiving failed, body
    // unreadable), and then nothing was written.
    bool saveContent();
    void saveCursorPosition(qint64 position);
    qint64 savedCursorPosition();
    EditorState* fetchEditorState();

    // Sets the card's unsaved flag and the quit guard's flag for this editor.
    void markCardChanged(bool changed);
    // Drops what this editor left pending in the store after a save that failed: its new records go, its
    // changes to existing ones are undone. Called when the writer discards.
    void discardPendingChanges() override;

    // --- Crash-recovery snapshots.
    // The card as it stands, its text archived at base size; empty while nothing readable is loaded.
    QVariantMap cardSnapshot();
    // Puts a snapshot's fields and words into the editor. True when the words now stand as a new card: asked
    // for (asNewCard), or the stored card was saved after the snapshot was taken. A snapshot whose words cannot
    // be read is not applied: the error alert is shown, the card stays as loaded, and nothing is answered.
    std::optional<bool> applySnapshot(const QVariantMap& snapshot, bool asNewCard = false);

    // --- Title and colours.
    QString untitledTitle();
    QColor titleColor();
    void setTitleView(const QString& title, const QColor& color);
    virtual void applyColors();

    // --- Store changes from elsewhere.
    void showCloudUpdateAlert();
    // Changes stored up to now are ours or known: only later ones from other processes raise the alert.
    void markHistorySeen();

    // The title (given) or the tag or notes (nullopt) changed: the subclass's handling, then cardUpdated.
    void cardDetailsChanged(const std::optional<QString>& title);
    // A record this editor inserted and has not saved yet; a discard removes it.
    void trackInserted(ManagedObject* record);
    // The peek panel opened or closed; an update that arrived meanwhile is shown when it closes.
    void setPeeking(bool peeking);

    // Hooks of the subclasses: Save as copy (the alert's "Load Card"), and the change handling.
    // The edits become a new card titled "Copy of" the title, and the card opened shows again as stored.
    void saveAsCopy();
    virtual void textChanged() {}
    // The project's statistics with the stretch being written: offered (overflow menu, word count) only by an
    // editor that keeps such a stretch.
    virtual bool offersStatistics() const { return false; }
    virtual void showStatistics() {}
    // Escape and the close button of a sheet; the subclasses confirm before anything is lost.
    virtual void cancelRequested() {}
    // While true, every command that could start a second save or close the editor is refused.
    bool isBusy() const override { return m_saving || m_closing; }
    // Waits behind the progress indicator, then writes and saves. With a copy title the edits become a new card
    // and completion runs; without one the editor closes once the save succeeded. A failed save leaves the
    // editor open and changed; nothing runs twice while a save is under way.
    void saveCard(const std::optional<QString>& copyTitle = std::nullopt, std::function<void()> completion = {});

    // --- The bar and the snapshot timer of an editing session.
    BarButtonItem* saveButton() const { return m_saveButton; }
    BarButtonItem* cancelButton() const { return m_cancelButton; }
    AutoSaveController* autoSaveController() const override { return m_autoSaveController.get(); }

    void presentationDidAttemptToDismiss() override { cancelRequested(); }

signals:
    // A save finished: succeeded or not.
    void saveFinished(bool saved);

protected:
    // A card in a sheet is already the secondary card, and a third would have no snapshot of its own.
    bool fillsWindow() const override { return isFullScreenEditor(); }
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    void setFullTitle(const QString& title) { m_fullTitle = title; }
    void setViewTitle(const QString& title) { m_viewTitle = title; }
    void setContentChanged(bool changed) { m_contentChanged = changed; }
    void setContentLoaded(bool loaded) { m_contentLoaded = loaded; }
    void setIsFullScreenEditor(bool full) { m_isFullScreenEditor = full; }
    // The title (given) or the tag or notes changed: the card is changed and Save is offered.
    virtual void onCardDetailsChanged(const std::optional<QString>& title);
    // The card was deleted by another process while open; its words are saved as a new card.
    virtual void onCardDeletedElsewhere();
    // Shows the stored card itemId again, unchanged (none: an empty new card).
    virtual void reloadCard(const QString& itemId) = 0;
    // A copy is being made: the subclass notes what its opener must learn of it.
    virtual void copyStarted() {}
    // Lets go of the store's generation, runs reload, and holds the generation of now again when it was held.
    void reloadUnpinned(const std::function<void()>& reload);
    // Makes Cancel (asking cancelRequested) and Save (saving the card), Save disabled until a change.
    void makeBarButtons();
    // A change of the words (content) or of the card's details: the card is changed, the next snapshot tick
    // writes, and Save is offered unless a save is under way.
    void noteChange(bool content);
    // The title view from the full title, trimmed, in the card type's colour.
    void rebuildTitleView();
    // Puts the caret cursor characters in (clamped) and shows it; 0 leaves it at the start.
    void placeCursor(qint64 cursor);
    // The card is on screen: the indicator goes and a snapshot being recovered is put over it, its file now the
    // editor's own. Over a body that could not be read the snapshot's words open as a new card, so the body stays
    // as stored; a snapshot whose words cannot be read is kept aside, and the card's own words are snapshotted.
    // Answers nothing when no snapshot was applied, else whether its words now stand as a new card.
    std::optional<bool> finishLoading(LoadOutcome outcome);
    // The editor is about to show: its colours, the indicator until the card is loaded, and a fresh snapshot
    // timer over cardSnapshot() (recovered words count as unsaved at once).
    void beginEditing();

    BarButtonItem* m_saveButton = nullptr;
    BarButtonItem* m_cancelButton = nullptr;
    std::unique_ptr<AutoSaveController> m_autoSaveController;
    bool m_saving = false;
    bool m_closing = false;
    // --- The save flow's side of the text editors.
    // Save and Cancel follow saving; the full editor adds its own commands.
    void setSaving(bool saving) override;
    // Writes the card with the writer; the full editor adds its stretch of writing.
    bool writeCard(const std::optional<QString>& copyTitle) override;
    ProjectItem* takeInsertedCard() override;
    bool defersSave() const override { return false; }
    QList<ManagedObject*> cardRecords() const override;
    PendingRecords& pendingRecords() override { return m_pending; }
    // After a successful save nothing is pending any more.
    void forgetPendingChanges() override;
    void markSaved() override;
    void markUnchanged() override { markCardChanged(false); }
    void saveEnded(bool saved) override { emit saveFinished(saved); }
    CardSaveWriter& writer() const { return *m_writer; }
    EditorSaveFlow& saveFlow() const { return *m_saveFlow; }
    void refreshItemType();
    void updateHitButtons();
    void updateUndoRedoButtons();
    // Lists are offered while the text has the focus or their own menu is up, and no save runs.
    void updateListButton();
    // The text is its window's focus widget: it has the keyboard whenever that window is active. A window that
    // lost its activation (a sheet closing, another program) keeps its focus widget, and so do the lists.
    bool textHasFocus() const;
    // Puts the keyboard in the text once a card is loaded.
    void focusText();

private:
    void buildViews();
    void trimToolbar();
    void handleReturn();
    bool handleSmartPunctuation(const QString& typed);

    bool m_preventFontSizeChange = false;
    QString m_regexQuery;

    QString m_fullTitle;
    QString m_viewTitle;
    QString m_notes;
    QString m_tag;
    bool m_cardChanged = false;
    bool m_contentChanged = false;
    bool m_contentLoaded = false;
    bool m_autoIndent = false;
    bool m_useSmartQuotes = false;
    bool m_isDarkMode = false;
    bool m_isFullScreenEditor = false;
    // A double click on an image opened the viewer; its button's release is no tap.
    bool m_imageDoubleClicked = false;
    PendingRecords m_pending;

    PvTextView* m_editor = nullptr;
    QToolBar* m_toolbar = nullptr;
    QAction* m_fontButton = nullptr;
    QAction* m_listButton = nullptr;
    QAction* m_backwardsButton = nullptr;
    QAction* m_forwardsButton = nullptr;
    QAction* m_undoButton = nullptr;
    QAction* m_redoButton = nullptr;
    QAction* m_overflowButton = nullptr;
    QLabel* m_statusLabel = nullptr;
    QAction* m_statusItem = nullptr;

    std::unique_ptr<EditorContentStore> m_content;
    std::unique_ptr<EditorCommands> m_commands;
    std::unique_ptr<CloudUpdateWatcher> m_watcher;
    std::unique_ptr<CardSaveWriter> m_writer;
    std::unique_ptr<EditorSaveFlow> m_saveFlow;
};
