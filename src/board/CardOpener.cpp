#include "CardOpener.h"

#include "BoardRecovery.h"
#include "NewCardFormats.h"
#include "QueryGenerationPin.h"
#include "core/AutoSaveController.h"
#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "dialogs/FolderCreate.h"
#include "editors/KuvBaseSketch.h"
#include "editors/PvEditViewController.h"
#include "editors/PvSummaryEditViewController.h"
#include "export/KUVDocPickerViewController.h"
#include "platform/NavigationController.h"
#include "platform/Storyboard.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"

CardOpener::CardOpener(ViewController* parentViewController, ManagedObjectContext* context,
                       const QString& currentProjectId, const QString& currentFolderId, const CardProps& cardProps,
                       const QList<ProjectItem*>& cards)
    : m_parent(parentViewController), m_context(context), m_projectId(currentProjectId), m_folderId(currentFolderId),
      m_cardProps(cardProps), m_cards(cards)
{
}

QList<QList<KUVDocFormat>> CardOpener::cardPropsToPickerArray(const CardProps& cardProps)
{
    return NewCardFormats::cardPropsToPickerArray(cardProps);
}

// --- The chooser

void CardOpener::newCard(qint64 displayOrder, bool deferSave, bool preventFontSizeChange, bool isSecondary, Done done)
{
    if (!m_parent)
        return;
    auto* picker = new KUVDocPickerViewController;
    picker->setFormTitle(ChooserTitle);
    picker->setSegments({RichTextSegmentTitle});
    picker->setSelectedSegment(NewCardRichTextSegment);
    const QList<QList<KUVDocFormat>> formats = cardPropsToPickerArray(m_cardProps);
    picker->setFormats(formats);
    // The picker's handler keeps the opener for as long as the picker lives.
    auto self = std::make_shared<CardOpener>(*this);
    picker->setSelection(
        [self, formats, displayOrder, deferSave, preventFontSizeChange, isSecondary, done](int section, int row, int) {
            if (section < 0 || section >= formats.size() || row < 0 || row >= formats.at(section).size())
                return;
            const qint64 tag = formats.at(section).at(row).cardTag;
            if (tag < 0)
                return;
            if (tag > 0) {
                self->createItem(tag, ProjectFolderTypes::Card, std::nullopt, displayOrder, deferSave,
                                 preventFontSizeChange, isSecondary, done);
                return;
            }
            if (!self->m_parent)
                return;
            FolderCreate::create()->createFolder(self->m_parent, [self, displayOrder, done](const QString& title) {
                self->createItem(ProjectItemTypes::Folder, ProjectFolderTypes::Card, title, displayOrder, false, false,
                                 false, done);
            });
        });
    picker->presentFrom(m_parent);
}

void CardOpener::createItem(qint64 itemType, qint64 folderType, const std::optional<QString>& title,
                            qint64 displayOrder, bool deferSave, bool preventFontSizeChange, bool isSecondary,
                            Done done)
{
    if (itemType == ProjectItemTypes::Story) {
        openFullEditor(itemType, isSecondary);
        return;
    }
    if (itemType != ProjectItemTypes::Folder) {
        openPopupEditor(itemType, deferSave, preventFontSizeChange, isSecondary, std::move(done));
        return;
    }
    ProjectItem* folder = createFolder(title, folderType, displayOrder);
    if (folder && done)
        done(folder);
}

ProjectItem* CardOpener::createFolder(const std::optional<QString>& title, qint64 folderType, qint64 displayOrder)
{
    if (!m_context)
        return nullptr;
    auto* folder = m_context->insertNew<ProjectItem>();
    folder->setUniqueIdentifier(Uuid::uuidString());
    folder->setProjectId(m_projectId);
    folder->setParentItemId(m_folderId);
    folder->setTitle(title ? *title : UntitledFolderFormat.arg(displayOrder));
    DbHelpers::updateModDatePath(m_context, folder);
    folder->setItemType(ProjectItemTypes::Folder);
    folder->setItemFormat(ProjectItemFormats::Text);
    folder->setFolderType(folderType);
    folder->setDisplayOrder(displayOrder);
    DbHelpers::updateProjectModDate(m_context, folder->projectId());
    DbHelpers::saveManagedObjectContext(m_context, m_parent);
    return folder;
}

CardOpener::EditorSetup CardOpener::newCardSetup(qint64 itemType, bool deferSave, bool preventFontSizeChange,
                                                 bool isSecondary) const
{
    EditorSetup setup;
    setup.cvController = m_parent;
    setup.context = m_context;
    setup.projectId = m_projectId;
    setup.folderId = m_folderId;
    setup.itemType = itemType;
    setup.cards = m_cards;
    setup.cardProps = m_cardProps;
    setup.deferSave = deferSave;
    setup.preventFontSizeChange = preventFontSizeChange;
    setup.isSecondary = isSecondary;
    return setup;
}

void CardOpener::openFullEditor(qint64 itemType, bool isSecondary)
{
    NavigationController* navigation = m_parent ? m_parent->navigationController() : nullptr;
    if (!navigation)
        return;
    PvEditViewController* editor = makeFullEditor(newCardSetup(itemType, false, false, isSecondary));
    if (!editor)
        return;
    navigation->pushViewController(editor, true);
    QueryGenerationPin::pinWhileShown(m_context, editor);
}

void CardOpener::openPopupEditor(qint64 itemType, bool deferSave, bool preventFontSizeChange, bool isSecondary,
                                 Done done)
{
    if (!m_parent)
        return;
    EditorSetup setup = newCardSetup(itemType, deferSave, preventFontSizeChange, isSecondary);
    setup.isPopup = true;
    if (done)
        setup.cardModified = [done] {
            done(nullptr);
        };
    PvSummaryEditViewController* editor = makePopupEditor(setup);
    if (editor)
        presentInNavigation(m_parent, editor, true, m_context);
}

// --- Making and showing editors

void CardOpener::configure(PvBaseEditor* editor, const EditorSetup& setup)
{
    editor->setManagedObjectContext(setup.context);
    editor->setCurrentObject(setup.item);
    editor->setCurrentProjectId(setup.projectId);
    editor->setCurrentFolderId(setup.folderId);
    editor->setCurrentItemType(setup.itemType);
    editor->setFetchedResults(setup.cards);
    editor->setCardProps(setup.cardProps);
    editor->setRegexQuery(setup.regexQuery);
    editor->setAutoSaveData(setup.autoSaveData);
    editor->setIsSecondaryCard(setup.isSecondary);
    editor->setPreventFontSizeChange(setup.preventFontSizeChange);
}

namespace {

// The screen the storyboard makes for identifier, when it is an Editor; anything else opens nothing.
template <class Editor> Editor* instantiateEditor(const QString& identifier)
{
    if (!Storyboard::contains(identifier))
        return nullptr;
    ViewController* made = Storyboard::instantiate(identifier);
    auto* editor = qobject_cast<Editor*>(made);
    if (!editor)
        delete made;
    return editor;
}

} // namespace

PvEditViewController* CardOpener::makeFullEditor(const EditorSetup& setup)
{
    auto* editor = instantiateEditor<PvEditViewController>(FullEditorIdentifier);
    if (!editor)
        return nullptr;
    configure(editor, setup);
    editor->setCvController(setup.cvController);
    return editor;
}

PvSummaryEditViewController* CardOpener::makePopupEditor(const EditorSetup& setup)
{
    auto* editor = instantiateEditor<PvSummaryEditViewController>(PopupEditorIdentifier);
    if (!editor)
        return nullptr;
    configure(editor, setup);
    editor->setCvController(setup.cvController);
    editor->setIsPopup(true);
    editor->setDeferSave(setup.deferSave);
    editor->cardModified = setup.cardModified;
    editor->cardCancelled = setup.cardCancelled;
    editor->setModalInPresentation(true);
    return editor;
}

bool CardOpener::configureSketch(ViewController* screen, const EditorSetup& setup)
{
    auto* sketch = qobject_cast<KuvBaseSketch*>(screen);
    if (!sketch)
        return false;
    sketch->setManagedObjectContext(setup.context);
    sketch->setCurrentObject(setup.item);
    sketch->setCurrentProjectId(setup.projectId);
    sketch->setCurrentFolderId(setup.folderId);
    sketch->setCurrentItemType(setup.itemType);
    sketch->setFetchedResults(setup.cards);
    sketch->setCardProps(setup.cardProps);
    sketch->setAutoSaveData(setup.autoSaveData);
    sketch->setIsSecondaryCard(setup.isSecondary);
    sketch->setCvController(setup.cvController);
    sketch->setIsPopup(setup.isPopup);
    sketch->setDeferSave(setup.deferSave);
    if (setup.cardModified)
        sketch->setCardModified(setup.cardModified);
    return true;
}

ViewController* CardOpener::makeSketchEditor(const EditorSetup& setup, const SketchSetup& sketchSetup)
{
    if (!Storyboard::contains(SketchEditorIdentifier))
        return nullptr;
    ViewController* sketch = Storyboard::instantiate(SketchEditorIdentifier);
    const SketchSetup& fill = sketchSetup ? sketchSetup : SketchSetup(&CardOpener::configureSketch);
    if (!sketch || !fill(sketch, setup)) {
        delete sketch;
        return nullptr;
    }
    sketch->setModalInPresentation(setup.isPopup);
    return sketch;
}

void CardOpener::presentInNavigation(ViewController* presenter, ViewController* screen, bool formSheet,
                                     ManagedObjectContext* pinned)
{
    auto* navigation = new NavigationController(screen);
    navigation->setModalInPresentation(screen->isModalInPresentation());
    presenter->present(navigation, true, {}, formSheet ? PresentationStyle::FormSheet : PresentationStyle::FullScreen);
    // Pinned only once the editor is really up, and for exactly as long as it is.
    QueryGenerationPin::pinWhileShown(pinned, screen);
}

// --- Secondary cards

ViewController* CardOpener::openCard(ViewController* controller, ManagedObjectContext* context, ProjectItem* item,
                                     const QList<ProjectItem*>& cards, const CardProps& cardProps, bool filtering,
                                     const QString& regexQuery, const std::optional<QVariantMap>& autoSaveData,
                                     std::function<void(const QString& folderId)> cardModified,
                                     const SketchSetup& sketchSetup)
{
    Q_UNUSED(filtering)
    if (!controller || !item)
        return nullptr;
    EditorSetup setup = secondarySetup(controller, context, cards, cardProps, autoSaveData);
    setup.item = item;
    setup.projectId = item->projectId();
    setup.folderId = item->parentItemId();
    setup.itemType = item->itemType();
    setup.regexQuery = regexQuery;
    if (cardModified) {
        const QString folderId = item->parentItemId();
        setup.cardModified = [cardModified, folderId] {
            cardModified(folderId);
        };
    }
    return presentSecondary(controller, setup, item->itemFormat(), sketchSetup);
}

ViewController* CardOpener::openSecondaryCardFromAutoSaveWithController(ViewController* controller,
                                                                        ManagedObjectContext* context,
                                                                        const QString& projectId,
                                                                        const QList<ProjectItem*>& cards,
                                                                        const CardProps& cardProps)
{
    const std::optional<QVariantMap> snapshot = AutoSaveController::hasAutoSaveWithProjectId(projectId, true);
    if (!controller || !snapshot || !context)
        return nullptr;
    const CardOpening::RecoveredCard card = BoardRecovery::resolve(context, projectId, *snapshot);
    if (card.item)
        return openCard(controller, context, card.item, cards, cardProps, false, {}, card.snapshot, {});
    // The card was never stored, or it was deleted since: its words come back as a card of their own, in a folder
    // that exists. Left on disk they would wait for an answer no one is asked, and keep every card opened over this
    // editor from being snapshotted.
    EditorSetup setup = secondarySetup(controller, context, cards, cardProps, card.snapshot);
    setup.projectId = card.projectId;
    setup.folderId = card.folderId;
    setup.itemType = card.itemType;
    return presentSecondary(controller, setup, card.itemFormat, {});
}

CardOpener::EditorSetup CardOpener::secondarySetup(ViewController* controller, ManagedObjectContext* context,
                                                   const QList<ProjectItem*>& cards, const CardProps& cardProps,
                                                   const std::optional<QVariantMap>& autoSaveData)
{
    EditorSetup setup;
    setup.cvController = controller;
    setup.context = context;
    setup.cards = cards;
    setup.cardProps = cardProps;
    setup.autoSaveData = autoSaveData;
    setup.isPopup = true;
    setup.isSecondary = true;
    setup.deferSave = true;
    return setup;
}

ViewController* CardOpener::presentSecondary(ViewController* controller, EditorSetup setup, qint64 itemFormat,
                                             const SketchSetup& sketchSetup)
{
    ViewController* screen = nullptr;
    if (itemFormat == ProjectItemFormats::Text) {
        setup.preventFontSizeChange = true;
        screen = makePopupEditor(setup);
    } else if (itemFormat == ProjectItemFormats::Sketch) {
        screen = makeSketchEditor(setup, sketchSetup);
    }
    if (!screen)
        return nullptr;
    screen->setModalInPresentation(true);
    // The primary editor below already holds the store's generation; a secondary card takes no pin of its own.
    presentInNavigation(controller, screen, true, nullptr);
    return screen;
}
