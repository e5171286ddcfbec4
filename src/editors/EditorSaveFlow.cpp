#include "EditorSaveFlow.h"

#include "CardEditorFields.h"
#include "EditorPeek.h"
#include "EditorPrompts.h"
#include "SecondarySaves.h"
#include "core/AutoSaveController.h"
#include "core/DbHelpers.h"
#include "platform/Alert.h"
#include "platform/ProgressHud.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObjectContext.h"

#include <QPointer>

#include <utility>

EditorSaveFlow::EditorSaveFlow(ViewController& view, CardEditorFields& fields, Editor& editor, EditorPeek& peek,
                               QString notWrittenMessage)
    : m_view(view), m_fields(fields), m_editor(editor), m_peek(peek), m_notWrittenMessage(std::move(notWrittenMessage))
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
    const bool written = m_editor.writeCard(copyTitle);
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
    AutoSaveController* snapshots = m_editor.autoSaveController();
    const bool defer = m_editor.defersSave();
    // Every change goes now, not when the screen disappears: a failure must keep the writer here. A deferred
    // save's snapshot guards its words until the opener stores them; a copy (the editor stays open on another
    // card, where no snapshot of it could) is stored now.
    bool saved = written && (defer || !context->hasChanges() || DbHelpers::saveManagedObjectContext(context, &m_view));
    const bool guardedBySnapshot = defer && !copyTitle;
    if (saved && defer)
        saved = SecondarySaves::secondarySaved(&m_view, context, guardedBySnapshot ? snapshots : nullptr);
    if (!saved) {
        m_editor.setSaving(false);
        ProgressHud::dismiss();
        m_editor.saveEnded(false);
        return;
    }
    ProjectItem* inserted = m_editor.takeInsertedCard();
    if (!guardedBySnapshot)
        m_editor.forgetPendingChanges();
    if (inserted && m_fields.addedRecord)
        m_fields.addedRecord(inserted);
    if (snapshots && !guardedBySnapshot)
        snapshots->removeSnapshot();
    // The whole context was saved, with what secondary cards saved: their snapshot goes too.
    if (m_editor.writesOutSecondaryCards())
        m_peek.secondarySaves().writeOut(&m_view);
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
    // Only this card's changes go: what secondary cards saved is stored first.
    if (m_editor.writesOutSecondaryCards() && !m_peek.secondarySaves().writeOut(&m_view))
        return;
    m_editor.discardPendingChanges();
    if (AutoSaveController* snapshots = m_editor.autoSaveController())
        snapshots->removeSnapshot();
    m_editor.markUnchanged();
    m_editor.leave(false);
}

std::unique_ptr<AutoSaveController> EditorSaveFlow::startSnapshots(std::function<QVariantMap()> take,
                                                                   bool changed) const
{
    if (m_fields.isSecondaryCard())
        SecondarySaves::secondaryWillOpen(&m_view);
    auto snapshots = std::make_unique<AutoSaveController>();
    QPointer<ViewController> guard(&m_view);
    snapshots->startSaveTimer(m_fields.currentProjectId(), m_fields.isSecondaryCard(),
                              [guard, take] { return guard ? take() : QVariantMap(); });
    if (changed)
        snapshots->setAutoSave(true);
    return snapshots;
}
