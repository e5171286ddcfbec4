#include "EditorSaveFlow.h"

#include "CardEditorFields.h"
#include "EditorPrompts.h"
#include "PendingRecords.h"
#include "SecondarySaves.h"
#include "core/AutoSaveController.h"
#include "core/DbHelpers.h"
#include "platform/Alert.h"
#include "platform/ProgressHud.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObjectContext.h"

#include <QPointer>

#include <utility>

EditorSaveFlow::EditorSaveFlow(ViewController& view, CardEditorFields& fields, Editor& editor,
                               QString notWrittenMessage)
    : m_view(view), m_fields(fields), m_editor(editor), m_notWrittenMessage(std::move(notWrittenMessage))
{
}

void EditorSaveFlow::save(const std::optional<QString>& copyTitle, std::function<void()> completion)
{
    if (m_editor.isBusy())
        return;
    m_editor.setSaving(true);
    // The flow lives as long as its editor: while the view stands, so does this.
    EditorPrompts::afterIndicator<ViewController>(
        &m_view, [this, copyTitle, completion](ViewController&) { write(copyTitle, completion); });
}

void EditorSaveFlow::write(const std::optional<QString>& copyTitle, const std::function<void()>& completion)
{
    // What the write stamps besides the card (its folders, its project) is undone with it on a discard.
    const bool written =
        m_editor.pendingRecords().watch(m_fields.managedObjectContext(), [&] { return m_editor.writeCard(copyTitle); });
    if (!written) {
        auto* alert = new Alert(DbHelpers::SaveErrorTitle, m_notWrittenMessage);
        alert->addAction(DbHelpers::SaveErrorButton);
        alert->present(&m_view);
    }
    finish(written, copyTitle, completion);
}

void EditorSaveFlow::finish(bool written, const std::optional<QString>& copyTitle,
                            const std::function<void()>& completion)
{
    ManagedObjectContext* context = m_fields.managedObjectContext();
    // Every change goes now, not when the screen disappears: a failure must keep the writer here. A card opened
    // from inside another editor stores only its own records; that editor's pending changes are not the writer's
    // to store by this Save.
    const bool saved =
        written &&
        (m_editor.defersSave() ? SecondarySaves::storeSecondary(&m_view, context, m_editor.cardRecords())
                               : !context->hasChanges() || DbHelpers::saveManagedObjectContext(context, &m_view));
    if (!saved) {
        m_editor.setSaving(false);
        ProgressHud::dismiss();
        m_editor.saveEnded(false);
        return;
    }
    ProjectItem* inserted = m_editor.takeInsertedCard();
    m_editor.forgetPendingChanges();
    if (inserted && m_fields.addedRecord)
        m_fields.addedRecord(inserted);
    // Only now that the words are in the store does what guarded them go.
    removeSnapshot();
    m_editor.markSaved();
    m_editor.saveEnded(true);
    if (!copyTitle) {
        m_editor.leave(true);
        return;
    }
    m_editor.setSaving(false);
    if (completion)
        completion();
    ProgressHud::dismiss();
}

void EditorSaveFlow::confirmDiscard()
{
    QPointer<ViewController> guard(&m_view);
    EditorPrompts::confirmDiscard(&m_view, [guard, this] {
        if (guard)
            discard();
    });
}

void EditorSaveFlow::discard()
{
    // Only this card's changes go: what secondary cards saved is in the store already.
    m_editor.discardPendingChanges();
    removeSnapshot();
    m_editor.markUnchanged();
    m_editor.leave(false);
}

void EditorSaveFlow::removeSnapshot()
{
    // A snapshot this editor did not write and did not show stays on disk, for the writer to decide on.
    if (AutoSaveController* snapshots = m_editor.autoSaveController())
        snapshots->removeSnapshot();
}

std::unique_ptr<AutoSaveController> EditorSaveFlow::startSnapshots(std::function<QVariantMap()> take,
                                                                   bool changed) const
{
    std::unique_ptr<AutoSaveController> snapshots;
    startSnapshots(snapshots, std::move(take), changed);
    return snapshots;
}

void EditorSaveFlow::startSnapshots(std::unique_ptr<AutoSaveController>& snapshots, std::function<QVariantMap()> take,
                                    bool changed) const
{
    if (m_fields.isSecondaryCard())
        SecondarySaves::secondaryWillOpen(&m_view);
    if (!snapshots)
        snapshots = std::make_unique<AutoSaveController>();
    QPointer<ViewController> guard(&m_view);
    snapshots->startSaveTimer(m_fields.currentProjectId(), m_fields.isSecondaryCard(),
                              [guard, take] { return guard ? take() : QVariantMap(); });
    if (changed)
        snapshots->setAutoSave(true);
}

void EditorSaveFlow::recoveredSnapshotNotShown()
{
    if (AutoSaveController* snapshots = m_editor.autoSaveController())
        snapshots->setSnapshotAside();
    m_fields.setAutoSaveData(std::nullopt);
}
