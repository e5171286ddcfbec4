#include "BoardEditorOpener.h"

#include "BoardRecovery.h"
#include "CardListModel.h"
#include "PvCardViewController.h"
#include "QueryGenerationPin.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "editors/PvEditViewController.h"
#include "editors/PvSummaryEditViewController.h"
#include "platform/store/ManagedObjectContext.h"

namespace {

void releasePin(ViewController* editor)
{
    if (!editor)
        return;
    for (QueryGenerationPin* pin : editor->findChildren<QueryGenerationPin*>(Qt::FindDirectChildrenOnly))
        pin->release();
}

// A sheet that closes does not bring the board back on screen as a full-screen editor does: words still waiting
// for the writer's word are offered again once the sheet has gone.
void offerRecoveryWhenClosed(PvCardViewController* board, ViewController* sheet)
{
    QObject::connect(sheet, &QObject::destroyed, board, [guarded = QPointer<PvCardViewController>(board)] {
        if (guarded && guarded->isOnScreen() && !guarded->presentedViewController())
            guarded->recovery().offerIfSnapshot();
    });
}

} // namespace

BoardEditorOpener::BoardEditorOpener(CardOpener::SketchSetup sketchSetup) : m_sketchSetup(std::move(sketchSetup))
{
}

void BoardEditorOpener::openNewCard(PvCardViewController* board, const NewCard& card)
{
    if (card.itemType == ProjectItemTypes::Story)
        openFullEditor(board, nullptr, card.projectId, card.folderId, card.itemType);
    else
        openPopupEditor(board, nullptr, card.projectId, card.folderId, card.itemType);
}

void BoardEditorOpener::openCard(PvCardViewController* board, ProjectItem* item, int row)
{
    Q_UNUSED(row)
    if (!board || !item)
        return;
    const QString projectId = board->currentProjectId();
    const QString folderId = board->currentFolderId();
    const qint64 type = item->itemType();
    const qint64 format = item->itemFormat();
    if (format == ProjectItemFormats::Sketch) {
        openSketchEditor(board, item, projectId, folderId, type);
        return;
    }
    // A format this program does not know (newer or foreign data) has no editor here that could keep it whole.
    if (format != ProjectItemFormats::Text)
        return;
    if (type == ProjectItemTypes::Story)
        openFullEditor(board, item, projectId, folderId, type);
    else
        openPopupEditor(board, item, projectId, folderId, type);
}

void BoardEditorOpener::openRecovered(PvCardViewController* board, const RecoveredCard& card)
{
    if (card.itemFormat == ProjectItemFormats::Sketch)
        openSketchEditor(board, card.item, card.projectId, card.folderId, card.itemType, card.snapshot);
    else if (card.itemType == ProjectItemTypes::Story)
        openFullEditor(board, card.item, card.projectId, card.folderId, card.itemType, card.snapshot);
    else
        openPopupEditor(board, card.item, card.projectId, card.folderId, card.itemType, card.snapshot);
}

CardOpener::EditorSetup BoardEditorOpener::setupFor(PvCardViewController* board, ProjectItem* item,
                                                    const QString& projectId, const QString& folderId, qint64 itemType,
                                                    const std::optional<QVariantMap>& autoSaveData) const
{
    CardOpener::EditorSetup setup;
    setup.cvController = board;
    setup.context = board->context();
    setup.item = item;
    setup.projectId = projectId;
    setup.folderId = folderId;
    setup.itemType = itemType;
    setup.cards = board->cards();
    setup.cardProps = board->cardProps();
    setup.regexQuery = board->itemRegex();
    setup.autoSaveData = autoSaveData;
    return setup;
}

ViewController* BoardEditorOpener::openFullEditor(PvCardViewController* board, ProjectItem* item,
                                                  const QString& projectId, const QString& folderId, qint64 itemType,
                                                  const std::optional<QVariantMap>& autoSaveData)
{
    if (!board)
        return nullptr;
    PvEditViewController* editor =
        CardOpener::makeFullEditor(setupFor(board, item, projectId, folderId, itemType, autoSaveData));
    if (!editor)
        return nullptr;
    editor->setAchievementsManager(board->achievementsManager());
    // No report: the board reloads when it comes back on screen.
    CardOpener::presentInNavigation(board, editor, false, board->context());
    return editor;
}

void BoardEditorOpener::attachReports(CardOpener::EditorSetup& setup, PvCardViewController* board, ProjectItem* item,
                                      const std::shared_ptr<QPointer<ViewController>>& editor) const
{
    QPointer<PvCardViewController> guarded(board);
    const QString itemId = item ? item->uniqueIdentifier() : QString();
    setup.cardModified = [guarded, itemId, editor] {
        releasePin(*editor);
        if (guarded)
            cardModified(guarded, itemId);
    };
    setup.cardCancelled = [editor] {
        releasePin(*editor);
    };
}

ViewController* BoardEditorOpener::openPopupEditor(PvCardViewController* board, ProjectItem* item,
                                                   const QString& projectId, const QString& folderId, qint64 itemType,
                                                   const std::optional<QVariantMap>& autoSaveData)
{
    if (!board)
        return nullptr;
    CardOpener::EditorSetup setup = setupFor(board, item, projectId, folderId, itemType, autoSaveData);
    setup.isPopup = true;
    auto shown = std::make_shared<QPointer<ViewController>>();
    attachReports(setup, board, item, shown);
    PvSummaryEditViewController* editor = CardOpener::makePopupEditor(setup);
    if (!editor)
        return nullptr;
    *shown = editor;
    CardOpener::presentInNavigation(board, editor, true, board->context());
    offerRecoveryWhenClosed(board, editor);
    return editor;
}

ViewController* BoardEditorOpener::openSketchEditor(PvCardViewController* board, ProjectItem* item,
                                                    const QString& projectId, const QString& folderId, qint64 itemType,
                                                    const std::optional<QVariantMap>& autoSaveData)
{
    if (!board)
        return nullptr;
    CardOpener::EditorSetup setup = setupFor(board, item, projectId, folderId, itemType, autoSaveData);
    // A sketch steps through no search hits.
    setup.regexQuery.clear();
    const bool fullScreen = itemType == ProjectItemTypes::Story;
    setup.isPopup = !fullScreen;
    auto shown = std::make_shared<QPointer<ViewController>>();
    if (!fullScreen) {
        attachReports(setup, board, item, shown);
        setup.cardCancelled = nullptr;
    }
    ViewController* sketch = CardOpener::makeSketchEditor(setup, m_sketchSetup);
    if (!sketch)
        return nullptr;
    *shown = sketch;
    CardOpener::presentInNavigation(board, sketch, !fullScreen, board->context());
    if (!fullScreen)
        offerRecoveryWhenClosed(board, sketch);
    return sketch;
}

void BoardEditorOpener::cardModified(PvCardViewController* board, const QString& itemId)
{
    ProjectItem* shown = nullptr;
    for (ProjectItem* card : board->filteredCards()) {
        if (!itemId.isEmpty() && card->uniqueIdentifier() == itemId && !card->isDeleted()) {
            shown = card;
            break;
        }
    }
    if (shown)
        board->model()->refreshItem(shown);
    else
        board->reloadBoard(itemId.isEmpty());
    board->refreshSidebar();
}
