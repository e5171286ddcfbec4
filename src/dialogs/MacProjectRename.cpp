#include "MacProjectRename.h"

#include "core/DbHelpers.h"
#include "core/Project.h"
#include "dialogs/MacCardRename.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObjectContext.h"

#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>

std::shared_ptr<MacProjectRename> MacProjectRename::create(ViewController* controller, ManagedObjectContext* context)
{
    return std::shared_ptr<MacProjectRename>(new MacProjectRename(controller, context));
}

MacProjectRename::MacProjectRename(ViewController* controller, ManagedObjectContext* context)
    : m_parentController(controller), m_managedObjectContext(context)
{
}

void MacProjectRename::renameProject(Project* project)
{
    setupObservers();
    m_originalTitle = project ? project->projectTitle() : QString();

    auto* alert = new Alert(ProjectTitle, ProjectMessage, AlertStyle::Alert);
    setDialogView(alert);
    auto self = sharedSelf<MacProjectRename>();
    alert->addAction(MacCardRename::OkTitle, AlertActionStyle::Default, [self, project] {
        Alert* shown = self->dialogView();
        const QString text = shown && !shown->textFields().isEmpty() ? shown->textFields().first()->text() : QString();
        self->handleRename(project, text);
        self->tearDownObservers();
    });
    alert->addAction(MacCardRename::CancelTitle, AlertActionStyle::Cancel, [self] { self->tearDownObservers(); });
    std::weak_ptr<MacProjectRename> weak = self;
    alert->addTextField([this, weak](QLineEdit* field) {
        field->setPlaceholderText(ProjectTitle);
        field->setText(m_originalTitle);
        QObject::connect(field, &QLineEdit::textChanged, field, [weak] {
            if (auto operation = weak.lock())
                operation->renameAlertTextFieldDidChange();
        });
    });
    if (QPushButton* ok = alert->findChild<QPushButton*>(QStringLiteral("alertAction0")))
        ok->setEnabled(false);
    alert->adjustSize();
    alert->present(m_parentController);
}

void MacProjectRename::renameAlertTextFieldDidChange()
{
    Alert* alert = dialogView();
    if (!alert || alert->textFields().isEmpty())
        return;
    if (QPushButton* ok = alert->findChild<QPushButton*>(QStringLiteral("alertAction0")))
        ok->setEnabled(MacCardRename::acceptsTitle(alert->textFields().first()->text(), m_originalTitle));
}

void MacProjectRename::handleRename(Project* project, const QString& newTitle)
{
    writeTitle(m_managedObjectContext, project, newTitle, m_parentController);
}

void MacProjectRename::writeTitle(ManagedObjectContext* context, Project* project, const QString& newTitle,
                                  QWidget* presenter)
{
    if (!context || !project)
        return;
    project->setProjectTitle(newTitle);
    project->setLastModified(QDateTime::currentDateTime());
    DbHelpers::saveManagedObjectContext(context, presenter);
}
