#pragma once

#include "CardEditorFields.h"
#include "CardEditorScreen.h"
#include "EditorSaveFlow.h"
#include "PendingRecords.h"
#include "SketchDrawingDocument.h"
#include "core/CardProps.h"

#include <QList>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

class AutoSaveController;
class BarButtonItem;
class CloudUpdateWatcher;
class EditorPeek;
class InkCanvas;
class InkToolPicker;
class ManagedObjectContext;
class ProjectItem;
class QAction;
class QLineEdit;
class QMenu;
class QScrollArea;
class QToolBar;
class SketchCommands;
class SketchSaveWriter;

// The editor of a sketch card: its title, a drawing canvas with pen, eraser and colours, tags, notes and a PNG
// export, saved behind the progress indicator like the text editors and guarded by the same crash-recovery
// snapshot, "Discard Changes" question and alert for changes another process made.
//
// A drawing the card holds but that cannot be read is shown as an error and is never written over: the canvas
// stays read-only, and saves of the card's title, tag or notes leave the stored bytes exactly as they were.
class KuvBaseSketch : public CardEditorScreen, public CardEditorFields, public EditorSaveFlow::Editor {
    Q_OBJECT

public:
    static inline const QString StoryboardIdentifier = QStringLiteral("sketchView");
    static inline const QString PreferZoomKey = QStringLiteral("PrefPreferZoom");
    static inline const QString FingerDrawingKey = QStringLiteral("PrefFingerDrawing");
    static inline const QString CancelTitle = QStringLiteral("Cancel");
    static inline const QString SaveTitle = QStringLiteral("Save");
    static inline const QString TagsRow = QStringLiteral("Tags");
    static inline const QString CardNotesRow = QStringLiteral("Card Notes");
    static inline const QString ExportRow = QStringLiteral("Export");
    static inline const QString NewCardTitle = QStringLiteral("New Card");
    static inline const QString PeekTitle = QStringLiteral("Peek");
    static inline const QString SetTagTitle = QStringLiteral("Set Tag");
    static inline const QString CopyPrefix = QStringLiteral("Copy of ");
    static inline const QString ExportExtension = QStringLiteral("png");
    // Said under EditorPrompts::UnreadableTitle.
    static inline const QString UnreadableMessage =
        QStringLiteral("The drawing of this card could not be read. It is left exactly as it is stored and this "
                       "editor will not save over it.");
    static inline const QString UnreadableSnapshotMessage =
        QStringLiteral("The recovered drawing could not be read, so the card opens as it was last saved.");
    static inline const QString UnreadableRecoveredMessage =
        QStringLiteral("The drawing of this card could not be read, so the recovered drawing opens as a new card. "
                       "The card is left exactly as it is stored.");
    static inline const QString TooLargeMessage =
        QStringLiteral("The drawing is too large to be stored, so nothing was saved. Your drawing is still here.");
    static constexpr QSize PopupSize{540, 620};
    static constexpr QSize PopupMinimumSize{540, 620};
    static constexpr QSize PopupMaximumSize{1000, 800};
    // Room past the drawing's far edges to draw on, in points.
    static constexpr double ContentMargin = 500.0;

    explicit KuvBaseSketch(QWidget* parent = nullptr);
    ~KuvBaseSketch() override;

    // --- Set by the opener besides the fields every card editor takes.
    // Presented as a form sheet over the board (every type but Story).
    bool isPopup() const { return m_isPopup; }
    void setIsPopup(bool popup) { m_isPopup = popup; }
    // Called after a successful save, before the editor closes.
    void setCardModified(std::function<void()> cardModified) { m_cardModified = std::move(cardModified); }
    // The store save is left to the opener.
    bool deferSave() const { return m_deferSave; }
    void setDeferSave(bool defer) { m_deferSave = defer; }

    // --- Actions.
    // Waits behind the progress indicator, then writes and saves. With a copy title the drawing becomes a new
    // card and completion runs; without one the editor closes once the save succeeded. A failed save leaves the
    // editor open and changed; Save and Cancel stay disabled from the first click to the end of the save.
    void save(const std::optional<QString>& copyTitle = std::nullopt, std::function<void()> completion = {});
    void confirmCancel();
    void tagSelected(const QString& tagId);
    void notesModified(const QString& notes);
    void showTagMenu();
    void showCardNotes();
    // Writes the drawing as PNG privately and offers it through the export panel.
    void exportPNG();
    void setZoomed(bool zoomed);
    void zoomClicked();
    // "Load Card" of the updated alert: unsaved changes become a copy, then the stored card is shown.
    void loadUpdatedCard();
    void presentationDidAttemptToDismiss() override { confirmCancel(); }

    // --- State.
    InkCanvas* canvasView() const { return m_canvas; }
    QLineEdit* titleView() const { return m_titleView; }
    QScrollArea* sketchViewContainer() const { return m_container; }
    QToolBar* toolBar() const { return m_toolBar; }
    InkToolPicker* toolPicker() const { return m_toolPicker; }
    BarButtonItem* saveButton() const { return m_saveButton; }
    BarButtonItem* cancelButton() const { return m_cancelButton; }
    QAction* zoomButton() const { return m_zoomButton; }
    // New Card and Peek in the editor's own bar, shown for the primary card in a sheet.
    QAction* newCardButton() const { return m_newCardButton; }
    QAction* peekButton() const { return m_peekButton; }
    QAction* overflowButton() const { return m_overflowButton; }
    QMenu* overflowMenu() const { return m_overflowMenu; }
    AutoSaveController* autoSaveController() const override { return m_autoSaveController.get(); }
    bool contentLoaded() const { return m_contentLoaded; }
    bool changesMade() const { return m_changesMade; }
    bool contentChanged() const { return m_contentChanged; }
    bool titleChanged() const { return m_titleChanged; }
    bool drawingUnreadable() const { return !m_document.isReadable(); }
    bool zoomed() const { return m_zoomed; }
    bool isBusy() const override { return m_saving || m_closing; }
    QString tag() const { return m_tag; }
    QString notes() const { return m_notes; }
    // What the snapshot timer writes: the card as it stands with the drawing's bytes; empty while the drawing
    // could not be read.
    QVariantMap autoSaveSnapshot() const;
    // "New Person Card", "Edit Card", ...
    QString navigationTitle() const;
    static QString typeWord(qint64 itemType);

signals:
    // A save finished: succeeded or not.
    void saveFinished(bool saved);

protected:
    // A sketch in a sheet offers Peek and New Card in its own bar when it is the primary card.
    bool fillsWindow() const override { return !m_isPopup; }
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class SketchSaveWriter;
    friend class SketchSnapshot;

    void buildViews();
    void buildOverflowMenu();
    void prepareSession();
    void loadDrawing();
    // Puts the recovered snapshot over the card as loaded; one that cannot be shown is kept aside.
    void applyRecovered(const QVariantMap& snapshot, bool overUnreadable);
    void markChanged();
    void titleDidChange();
    void drawingDidChange();
    void onCardDeletedElsewhere();
    void updateTitle();
    void updateContentSize();
    void setupColors();
    void applySheetLimits();
    void refreshItemType();
    void updateSaveButton();
    void reloadCard(const QString& itemId);
    void closeEditor();
    void markHistorySeen();

    // --- The save flow's side of the sketch editor.
    void setSaving(bool saving) override;
    // A drawing too large to be stored is not written.
    bool writeCard(const std::optional<QString>& copyTitle) override;
    ProjectItem* takeInsertedCard() override;
    bool defersSave() const override { return m_deferSave; }
    QList<ManagedObject*> cardRecords() const override;
    PendingRecords& pendingRecords() override { return m_pending; }
    void forgetPendingChanges() override { m_pending.forget(); }
    void markSaved() override;
    // The card's new records go with the writer's hold on them; its stored fields get their values back.
    void discardPendingChanges() override;
    void markUnchanged() override;
    void saveEnded(bool saved) override { emit saveFinished(saved); }
    // After a save the opener hears of the card before the editor leaves.
    void leave(bool saved) override;

    bool m_isPopup = false;
    std::function<void()> m_cardModified;
    bool m_deferSave = false;

    SketchDrawingDocument m_document;
    bool m_contentLoaded = false;
    bool m_changesMade = false;
    bool m_contentChanged = false;
    bool m_titleChanged = false;
    bool m_copySaved = false;
    bool m_zoomed = false;
    bool m_saving = false;
    bool m_closing = false;
    QString m_tag;
    QString m_notes;
    PendingRecords m_pending;

    QLineEdit* m_titleView = nullptr;
    QScrollArea* m_container = nullptr;
    InkCanvas* m_canvas = nullptr;
    QToolBar* m_toolBar = nullptr;
    InkToolPicker* m_toolPicker = nullptr;
    QAction* m_zoomButton = nullptr;
    QAction* m_newCardButton = nullptr;
    QAction* m_peekButton = nullptr;
    QAction* m_overflowButton = nullptr;
    QMenu* m_overflowMenu = nullptr;
    BarButtonItem* m_saveButton = nullptr;
    BarButtonItem* m_cancelButton = nullptr;
    std::unique_ptr<AutoSaveController> m_autoSaveController;
    std::unique_ptr<CloudUpdateWatcher> m_watcher;
    std::unique_ptr<SketchSaveWriter> m_writer;
    std::unique_ptr<SketchCommands> m_commands;
    std::unique_ptr<EditorSaveFlow> m_saveFlow;
};
