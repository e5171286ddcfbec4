#pragma once

#include "core/CardProps.h"
#include "export/KUVDocFormat.h"

#include <QList>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>

class ManagedObjectContext;
class ProjectItem;
class PvBaseEditor;
class PvEditViewController;
class PvSummaryEditViewController;
class ViewController;

// The one place where a card becomes an editor screen outside the board's own selection: the "New Card"
// chooser of the editors, opening a card as the secondary card over another screen, and reopening the
// secondary card a crash left behind. Every editor it opens is filled through configure(), the same
// filling the board uses, so what an editor is handed never depends on who opened it.
class CardOpener {
public:
    static constexpr int NewCardRichTextSegment = 0;
    static constexpr int NewCardTemplatesSegment = 1;
    static inline const QString ChooserTitle = QStringLiteral("New Card");
    static inline const QString RichTextSegmentTitle = QStringLiteral("Rich Text");
    // %1 is the new folder's display order.
    static inline const QString UntitledFolderFormat = QStringLiteral("Untitled %1");
    static inline const QString FullEditorIdentifier = QStringLiteral("editView");
    static inline const QString PopupEditorIdentifier = QStringLiteral("summaryEditor");
    static inline const QString SketchEditorIdentifier = QStringLiteral("sketchView");

    // What every editor is handed before it loads.
    struct EditorSetup {
        ViewController* cvController = nullptr;
        ManagedObjectContext* context = nullptr;
        ProjectItem* item = nullptr;
        QString projectId;
        QString folderId;
        qint64 itemType = 0;
        QList<ProjectItem*> cards;
        CardProps cardProps;
        QString regexQuery;
        std::optional<QVariantMap> autoSaveData;
        bool isPopup = false;
        bool isSecondary = false;
        bool deferSave = false;
        bool preventFontSizeChange = false;
        // A popup editor's report that it saved.
        std::function<void()> cardModified;
        // A popup editor's report that it closed without saving.
        std::function<void()> cardCancelled;
    };
    // Fills a sketch editor, whose setters belong to its own class; false when it is not one.
    using SketchSetup = std::function<bool(ViewController* sketch, const EditorSetup& setup)>;
    // Receives the new item (a folder), or nothing each time a new popup card reports its save.
    using Done = std::function<void(ProjectItem* item)>;

    CardOpener(ViewController* parentViewController, ManagedObjectContext* context, const QString& currentProjectId,
               const QString& currentFolderId, const CardProps& cardProps, const QList<ProjectItem*>& cards);
    CardOpener() = delete;

    ViewController* parentViewController() const { return m_parent; }
    ManagedObjectContext* managedObjectContext() const { return m_context; }
    QString currentProjectId() const { return m_projectId; }
    QString currentFolderId() const { return m_folderId; }
    const CardProps& cardProps() const { return m_cardProps; }
    const QList<ProjectItem*>& cards() const { return m_cards; }

    // Shows the "New Card" chooser over the parent screen.
    void newCard(qint64 displayOrder, bool deferSave, bool preventFontSizeChange, bool isSecondary, Done done);
    // What picking a type does: Story opens the full editor, another card type the popup editor, 0 a folder.
    void createItem(qint64 itemType, qint64 folderType, const std::optional<QString>& title, qint64 displayOrder,
                    bool deferSave, bool preventFontSizeChange, bool isSecondary, Done done);

    static QList<QList<KUVDocFormat>> cardPropsToPickerArray(const CardProps& cardProps);

    // Opens item as the secondary card in a sheet over controller: a text card in the popup editor, a sketch
    // card through sketchSetup. cardModified receives the card's folder. Answers the screen shown, if any.
    static ViewController* openCard(ViewController* controller, ManagedObjectContext* context, ProjectItem* item,
                                    const QList<ProjectItem*>& cards, const CardProps& cardProps, bool filtering,
                                    const QString& regexQuery, const std::optional<QVariantMap>& autoSaveData,
                                    std::function<void(const QString& folderId)> cardModified,
                                    const SketchSetup& sketchSetup = {});
    // Reopens the project's secondary card from its snapshot over controller; a card never stored or deleted since
    // opens as a new card with the snapshot's words, in its folder or at the top. Answers the screen shown, if any.
    static ViewController* openSecondaryCardFromAutoSaveWithController(ViewController* controller,
                                                                       ManagedObjectContext* context,
                                                                       const QString& projectId,
                                                                       const QList<ProjectItem*>& cards,
                                                                       const CardProps& cardProps);

    // Hands setup to an editor made from the storyboard.
    static void configure(PvBaseEditor* editor, const EditorSetup& setup);
    // The full editor or popup editor for setup, made from the storyboard and filled; nullptr when the
    // storyboard has no such screen.
    static PvEditViewController* makeFullEditor(const EditorSetup& setup);
    static PvSummaryEditViewController* makePopupEditor(const EditorSetup& setup);
    // A sketch editor, when the storyboard has one and sketchSetup fills it.
    static ViewController* makeSketchEditor(const EditorSetup& setup, const SketchSetup& sketchSetup = {});
    // Fills the sketch editor the storyboard made; false when the screen is not one. The default sketch setup.
    static bool configureSketch(ViewController* sketch, const EditorSetup& setup);
    // Presents screen over presenter in a navigation controller of its own: a sheet that only its own
    // buttons close, or full screen. The store stays pinned while it is shown.
    static void presentInNavigation(ViewController* presenter, ViewController* screen, bool formSheet,
                                    ManagedObjectContext* pinned);

private:
    // What a card opened as the secondary card over controller is handed, whatever the card.
    static EditorSetup secondarySetup(ViewController* controller, ManagedObjectContext* context,
                                      const QList<ProjectItem*>& cards, const CardProps& cardProps,
                                      const std::optional<QVariantMap>& autoSaveData);
    // Makes the editor of itemFormat for setup and shows it in a sheet over controller.
    static ViewController* presentSecondary(ViewController* controller, EditorSetup setup, qint64 itemFormat,
                                            const SketchSetup& sketchSetup);
    EditorSetup newCardSetup(qint64 itemType, bool deferSave, bool preventFontSizeChange, bool isSecondary) const;
    void openFullEditor(qint64 itemType, bool isSecondary);
    void openPopupEditor(qint64 itemType, bool deferSave, bool preventFontSizeChange, bool isSecondary, Done done);
    ProjectItem* createFolder(const std::optional<QString>& title, qint64 folderType, qint64 displayOrder);

    QPointer<ViewController> m_parent;
    ManagedObjectContext* m_context = nullptr;
    QString m_projectId;
    QString m_folderId;
    CardProps m_cardProps;
    QList<ProjectItem*> m_cards;
};
