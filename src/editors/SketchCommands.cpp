#include "SketchCommands.h"

#include "CardNotesViewController.h"
#include "KuvBaseSketch.h"
#include "SketchDrawingDocument.h"
#include "core/Helpers.h"
#include "dialogs/TagMenuController.h"
#include "export/DocumentExport.h"
#include "platform/NavigationController.h"
#include "platform/Storyboard.h"
#include "platform/ink/InkCanvas.h"

#include <QFile>
#include <QLineEdit>
#include <QPointer>

SketchCommands::SketchCommands(KuvBaseSketch& editor) : m_editor(editor)
{
}

SketchCommands::~SketchCommands() = default;

void SketchCommands::showTagMenu()
{
    if (m_editor.isBusy())
        return;
    m_tags = std::make_unique<TagMenuController>();
    QPointer<KuvBaseSketch> self(&m_editor);
    m_tags->showMenu(m_editor.currentItemType(), KuvBaseSketch::SetTagTitle, &m_editor.cardProps(), &m_editor,
                     [self](const QString& tagId) {
                         if (self)
                             self->tagSelected(tagId);
                     });
}

void SketchCommands::showCardNotes()
{
    if (m_editor.isBusy() || !Storyboard::contains(CardNotesViewController::StoryboardIdentifier))
        return;
    auto* notesEditor =
        dynamic_cast<CardNotesViewController*>(Storyboard::instantiate(CardNotesViewController::StoryboardIdentifier));
    if (!notesEditor)
        return;
    notesEditor->setNotes(m_editor.notes().isNull() ? QStringLiteral("") : m_editor.notes());
    QPointer<KuvBaseSketch> self(&m_editor);
    notesEditor->setNotesModified([self](const QString& notes) {
        if (self)
            self->notesModified(notes);
    });
    m_editor.present(new NavigationController(notesEditor), true, {}, PresentationStyle::FormSheet);
}

void SketchCommands::exportPNG()
{
    if (m_editor.isBusy())
        return;
    const QString title =
        m_editor.titleView()->text().isEmpty() ? Helpers::UntitledFileName : m_editor.titleView()->text();
    const QString fileName = Helpers::sanitizeFileNameString(title) + QLatin1Char('.') + KuvBaseSketch::ExportExtension;
    const QByteArray png = SketchDrawingDocument::exportImageData(m_editor.canvasView()->drawing());
    DocumentExport::exportFile(
        fileName,
        [&png](const QString& path) {
            QFile file(path);
            return !png.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(png) == png.size();
        },
        &m_editor);
}
