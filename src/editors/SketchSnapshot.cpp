#include "SketchSnapshot.h"

#include "EditorPrompts.h"
#include "KuvBaseSketch.h"
#include "core/AutoSaveController.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "platform/ink/InkCanvas.h"

#include <QDateTime>
#include <QLineEdit>

QVariantMap SketchSnapshot::take(const KuvBaseSketch& editor)
{
    QVariantMap snapshot;
    // Until the drawing is shown, or while it could not be read, there is nothing of the writer's to keep.
    if (!editor.m_contentLoaded || !editor.m_document.isReadable())
        return snapshot;
    const std::optional<QByteArray> content = SketchDrawingDocument::data(editor.m_canvas->drawing());
    if (!content)
        return snapshot;
    if (!editor.m_currentProjectId.isNull())
        snapshot.insert(AutoSaveController::kProjectIdKey, editor.m_currentProjectId);
    if (!editor.m_currentFolderId.isNull())
        snapshot.insert(AutoSaveController::kParentItemIdKey, editor.m_currentFolderId);
    snapshot.insert(AutoSaveController::kProjectItemIdKey,
                    editor.m_currentObject ? editor.m_currentObject->uniqueIdentifier() : QStringLiteral(""));
    snapshot.insert(AutoSaveController::kItemTypeKey, editor.m_currentItemType);
    snapshot.insert(AutoSaveController::kItemFormatKey, ProjectItemFormats::Sketch);
    snapshot.insert(AutoSaveController::kTitleKey, editor.m_titleView->text());
    if (!editor.m_notes.isNull())
        snapshot.insert(AutoSaveController::kNotesKey, editor.m_notes);
    if (!editor.m_tag.isNull())
        snapshot.insert(AutoSaveController::kTagKey, editor.m_tag);
    snapshot.insert(AutoSaveController::kItemSaveDateKey, QDateTime::currentDateTime());
    snapshot.insert(AutoSaveController::kContentKey, *content);
    snapshot.insert(AutoSaveController::kMimeTypeKey, DocumentMimeTypes::Drawing);
    return snapshot;
}

bool SketchSnapshot::hasReadableDrawing(const QVariantMap& snapshot)
{
    // Without its card type the drawing could not be kept as the card it was: it cannot be shown either.
    return snapshot.contains(AutoSaveController::kContentKey) && snapshot.contains(AutoSaveController::kItemTypeKey) &&
           SketchDrawingDocument::fromData(snapshot.value(AutoSaveController::kContentKey).toByteArray()).isReadable();
}

bool SketchSnapshot::apply(KuvBaseSketch& editor, const QVariantMap& snapshot, bool asNewCard)
{
    if (!hasReadableDrawing(snapshot)) {
        EditorPrompts::showUnreadable(&editor, KuvBaseSketch::UnreadableSnapshotMessage);
        return false;
    }
    SketchDrawingDocument recovered =
        SketchDrawingDocument::fromData(snapshot.value(AutoSaveController::kContentKey).toByteArray());
    // The card was saved after the snapshot was taken (on another machine, or here before the crash was
    // noticed): the snapshot must not overwrite it, so its drawing opens as a new card.
    const QDateTime savedAt = snapshot.value(AutoSaveController::kItemSaveDateKey).toDateTime();
    const ProjectItem* item = editor.m_currentObject;
    if (item &&
        (asNewCard || (item->lastModified().isValid() && (!savedAt.isValid() || savedAt < item->lastModified())))) {
        editor.m_currentObject = nullptr;
        editor.m_document = SketchDrawingDocument();
    }
    auto text = [&snapshot](const QString& key) {
        const QVariant value = snapshot.value(key);
        return value.typeId() == QMetaType::QString ? value.toString() : QString();
    };
    if (!text(AutoSaveController::kProjectIdKey).isEmpty())
        editor.m_currentProjectId = text(AutoSaveController::kProjectIdKey);
    if (snapshot.contains(AutoSaveController::kParentItemIdKey))
        editor.m_currentFolderId = text(AutoSaveController::kParentItemIdKey);
    editor.m_titleView->setText(text(AutoSaveController::kTitleKey));
    editor.m_notes = text(AutoSaveController::kNotesKey);
    editor.m_tag = text(AutoSaveController::kTagKey);
    editor.m_canvas->setDrawing(recovered.takeDrawing());
    editor.updateContentSize();
    bool isNumber = false;
    const qint64 type = snapshot.value(AutoSaveController::kItemTypeKey).toLongLong(&isNumber);
    if (isNumber && !editor.m_currentObject)
        editor.m_currentItemType = type;
    return true;
}
