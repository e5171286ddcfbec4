#pragma once

#include "CardOpener.h"
#include "CardOpening.h"

#include <QPointer>
#include <optional>

class PvCardViewController;
class ViewController;

// How the board opens its cards: a Story card in the full editor, full screen; another text card in the popup
// editor, as a sheet; a sketch card in the sketch editor. The board's store stays pinned while an editor is on
// screen. A popup's report finds its card again by identifier when it arrives, so a board that reloaded or
// changed folder meanwhile never refreshes the wrong card.
class BoardEditorOpener : public CardOpening {
public:
    explicit BoardEditorOpener(CardOpener::SketchSetup sketchSetup = {});

    void openNewCard(PvCardViewController* board, const NewCard& card) override;
    void openCard(PvCardViewController* board, ProjectItem* item, int row) override;
    void openRecovered(PvCardViewController* board, const RecoveredCard& card) override;

    // Each answers the editor shown, or nullptr when none could be made.
    ViewController* openFullEditor(PvCardViewController* board, ProjectItem* item, const QString& projectId,
                                   const QString& folderId, qint64 itemType,
                                   const std::optional<QVariantMap>& autoSaveData = std::nullopt);
    ViewController* openPopupEditor(PvCardViewController* board, ProjectItem* item, const QString& projectId,
                                    const QString& folderId, qint64 itemType,
                                    const std::optional<QVariantMap>& autoSaveData = std::nullopt);
    ViewController* openSketchEditor(PvCardViewController* board, ProjectItem* item, const QString& projectId,
                                     const QString& folderId, qint64 itemType,
                                     const std::optional<QVariantMap>& autoSaveData = std::nullopt);

    // What a popup's report does on the board: the card with itemId redrawn where it is shown now, or the
    // board reloaded when it is not (or when the card is new).
    static void cardModified(PvCardViewController* board, const QString& itemId);

private:
    CardOpener::EditorSetup setupFor(PvCardViewController* board, ProjectItem* item, const QString& projectId,
                                     const QString& folderId, qint64 itemType,
                                     const std::optional<QVariantMap>& autoSaveData) const;
    // The reports of a popup editor, holding the board weakly; they let go of the store's pin first.
    void attachReports(CardOpener::EditorSetup& setup, PvCardViewController* board, ProjectItem* item,
                       const std::shared_ptr<QPointer<ViewController>>& editor) const;

    CardOpener::SketchSetup m_sketchSetup;
};
