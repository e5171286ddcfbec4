#pragma once

#include "PendingRecords.h"
#include "SketchDrawingDocument.h"
#include "core/CardProps.h"
#include "platform/ViewController.h"

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
class InkCanvas;
class InkToolPicker;
class ManagedObjectContext;
class ProjectItem;
class QAction;
class QLineEdit;
class QMenu;
class QScrollArea;
class QToolBar;
class SketchSaveWriter;
class TagMenuController;

// The editor of a sketch card: its title, a drawing canvas with pen, eraser and colours, tags, notes and a PNG
// export, saved behind the progress indicator like the text editors and guarded by the same crash-recovery
// snapshot, "Discard Changes" question and alert for changes another process made.
//
// A drawing the card holds but that cannot be read is shown as an error and is never written over: the canvas
// stays read-only, and saves of the card's title, tag or notes leave the stored bytes exactly as they were.
class KuvBaseSketch : public ViewController {
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
    static inline const QString SetTagTitle = QStringLiteral("Set Tag");
    static inline const QString CopyPrefix = QStringLiteral("Copy of ");
    static inline const QString ExportExtension = QStringLiteral("png");
    static inline const QString UnreadableTitle = QStringLiteral("Error");
    static inline const QString UnreadableMessage =
        QStringLiteral("The drawing of this card could not be read. It is left exactly as it is stored and this "
                       "editor will not save over it.");
    static inline const QString UnreadableSnapshotMessage =
        QStringLiteral("The recovered drawing could not be read, so the card opens as it was last saved.");
    static inline const QString TooLargeMessage =
        QStringLiteral("The drawing is too large to be stored, so nothing was saved. Your drawing is still here.");
    static constexpr QSize PopupSize{540, 620};
    static constexpr QSize PopupMinimumSize{540, 620};
    static constexpr QSize PopupMaximumSize{1000, 800};
    // Room past the drawing's far edges to draw on, in points.
    static constexpr double ContentMargin = 500.0;

    explicit KuvBaseSketch(QWidget* parent = nullptr);
    ~KuvBaseSketch() override;

    // --- Set by the opener before the screen loads (the context and project are required).
    ManagedObjectContext* managedObjectContext() const { return m_context; }
    void setManagedObjectContext(ManagedObjectContext* context) { m_context = context; }
    // The card; nullptr for a new card until its first save.
    ProjectItem* currentObject() const { return m_currentObject; }
    void setCurrentObject(ProjectItem* item) { m_currentObject = item; }
    QString currentProjectId() const { return m_currentProjectId; }
    void setCurrentProjectId(const QString& id) { m_currentProjectId = id; }
    QString currentFolderId() const { return m_currentFolderId; }
    void setCurrentFolderId(const QString& id) { m_currentFolderId = id; }
    // The card's type; the card's own type wins once it exists.
    qint64 currentItemType() const { return m_currentItemType; }
    void setCurrentItemType(qint64 type) { m_currentItemType = type; }
    const CardProps& cardProps() const { return m_cardProps; }
    void setCardProps(const CardProps& props) { m_cardProps = props; }
    // The folder's cards as the opener shows them.
    const QList<ProjectItem*>& fetchedResults() const { return m_fetchedResults; }
    void setFetchedResults(const QList<ProjectItem*>& cards) { m_fetchedResults = cards; }
    // The board that opened the editor.
    QObject* cvController() const { return m_cvController; }
    void setCvController(QObject* board) { m_cvController = board; }
    // A crash-recovery snapshot the writer chose to restore.
    const std::optional<QVariantMap>& autoSaveData() const { return m_autoSaveData; }
    void setAutoSaveData(const std::optional<QVariantMap>& snapshot) { m_autoSaveData = snapshot; }
    // Presented as a form sheet over the board (every type but Story).
    bool isPopup() const { return m_isPopup; }
    void setIsPopup(bool popup) { m_isPopup = popup; }
    // Called after a successful save, before the editor closes.
    void setCardModified(std::function<void()> cardModified) { m_cardModified = std::move(cardModified); }
    // A card opened from inside another editor; it arms the secondary quit-guard flag and snapshot.
    bool isSecondaryCard() const { return m_isSecondaryCard; }
    void setIsSecondaryCard(bool secondary) { m_isSecondaryCard = secondary; }
    // The store save is left to the opener.
    bool deferSave() const { return m_deferSave; }
    void setDeferSave(bool defer) { m_deferSave = defer; }
    // Given the card this editor inserted (a new card or a saved copy) once it is saved, for the board's list.
    std::function<void(ProjectItem*)> addedRecord;

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
    // The peek panel opened or closed; an update that arrived meanwhile is shown when it closes.
    void setPeeking(bool peeking);
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
    QAction* overflowButton() const { return m_overflowButton; }
    QMenu* overflowMenu() const { return m_overflowMenu; }
    AutoSaveController* autoSaveController() const { return m_autoSaveController.get(); }
    bool contentLoaded() const { return m_contentLoaded; }
    bool changesMade() const { return m_changesMade; }
    bool contentChanged() const { return m_contentChanged; }
    bool titleChanged() const { return m_titleChanged; }
    bool drawingUnreadable() const { return !m_document.isReadable(); }
    bool zoomed() const { return m_zoomed; }
    bool isBusy() const { return m_saving || m_closing; }
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
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class SketchSaveWriter;

    void buildViews();
    void buildOverflowMenu();
    void prepareSession();
    void loadDrawing();
    bool applyAutoSave(const QVariantMap& snapshot);
    void showUnreadable(const QString& message);
    void markChanged();
    void titleDidChange();
    void drawingDidChange();
    void updateTitle();
    void updateContentSize();
    void setupColors();
    void applySheetLimits();
    void refreshItemType();
    void setSaving(bool saving);
    void updateSaveButton();
    void writeCard(const std::optional<QString>& copyTitle, const std::function<void()>& completion);
    void finishSave(bool written, const std::optional<QString>& copyTitle, const std::function<void()>& completion);
    void reloadCard(const QString& itemId);
    void closeEditor();
    void markHistorySeen();

    ManagedObjectContext* m_context = nullptr;
    ProjectItem* m_currentObject = nullptr;
    QString m_currentProjectId;
    QString m_currentFolderId;
    qint64 m_currentItemType = 0;
    CardProps m_cardProps;
    QList<ProjectItem*> m_fetchedResults;
    QPointer<QObject> m_cvController;
    std::optional<QVariantMap> m_autoSaveData;
    bool m_isPopup = false;
    std::function<void()> m_cardModified;
    bool m_isSecondaryCard = false;
    bool m_deferSave = false;

    SketchDrawingDocument m_document;
    bool m_contentLoaded = false;
    bool m_changesMade = false;
    bool m_contentChanged = false;
    bool m_titleChanged = false;
    bool m_copySaved = false;
    bool m_zoomed = false;
    bool m_peeking = false;
    bool m_newCardDetected = false;
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
    QAction* m_overflowButton = nullptr;
    QMenu* m_overflowMenu = nullptr;
    BarButtonItem* m_saveButton = nullptr;
    BarButtonItem* m_cancelButton = nullptr;
    std::unique_ptr<AutoSaveController> m_autoSaveController;
    std::unique_ptr<CloudUpdateWatcher> m_watcher;
    std::unique_ptr<SketchSaveWriter> m_writer;
    std::unique_ptr<TagMenuController> m_tags;
};
