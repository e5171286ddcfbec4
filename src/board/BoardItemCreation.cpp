#include "BoardItemCreation.h"

#include "CardOpening.h"
#include "NewCardFormats.h"
#include "PvCardViewController.h"
#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "export/KUVDocPickerViewController.h"
#include "platform/Alert.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"

#include <QLineEdit>
#include <QPushButton>

BoardItemCreation::BoardItemCreation(PvCardViewController* board) : m_board(board)
{
}

void BoardItemCreation::showNewCardChooser()
{
    auto* picker = new KUVDocPickerViewController;
    picker->setFormTitle(ChooserTitle);
    picker->setSegments({RichTextSegment});
    picker->setSelectedSegment(0);
    const QList<QList<KUVDocFormat>> formats = NewCardFormats::cardPropsToPickerArray(m_board->cardProps());
    picker->setFormats(formats);
    QPointer<PvCardViewController> board(m_board);
    picker->setSelection([board, formats](int section, int row, int) {
        if (!board || section < 0 || section >= formats.size() || row < 0 || row >= formats.at(section).size())
            return;
        board->createNewItem(int(formats.at(section).at(row).cardTag));
    });
    m_chooser = picker;
    picker->presentFrom(m_board);
}

void BoardItemCreation::createNewItem(int cardTag)
{
    if (cardTag < 0)
        return;
    if (cardTag == 0) {
        showNewFolderAlert();
        return;
    }
    CardOpening* opening = m_board->cardOpening();
    if (!opening)
        return;
    const QString projectId = m_board->currentProjectId();
    const QString folderId = m_board->currentFolderId();
    opening->openNewCard(m_board, {projectId, folderId, cardTag, nextDisplayOrder(m_board, projectId, folderId)});
}

void BoardItemCreation::showNewFolderAlert()
{
    // The folder the writer asked in; the board may have moved on by the time OK is pressed.
    const QString projectId = m_board->currentProjectId();
    const QString folderId = m_board->currentFolderId();
    auto* alert = new Alert(FolderAlertTitle, FolderAlertMessage, AlertStyle::Alert);
    alert->setObjectName(QStringLiteral("newFolderAlert"));
    QPointer<PvCardViewController> board(m_board);
    QPointer<Alert> guard(alert);
    alert->addAction(OkTitle, AlertActionStyle::Default, [board, guard, projectId, folderId] {
        if (!board || !guard)
            return;
        const QList<QLineEdit*> fields = guard->textFields();
        // Typed as it stands: a title of blanks is a title the writer chose.
        const QString title = fields.isEmpty() || fields.first()->text().isEmpty() ? QString() : fields.first()->text();
        board->itemCreation().createFolder(projectId, folderId, title);
    });
    alert->addAction(CancelTitle, AlertActionStyle::Cancel);
    alert->addTextField([guard](QLineEdit* field) {
        field->setPlaceholderText(FolderPlaceholder);
        QObject::connect(field, &QLineEdit::textChanged, field, [guard](const QString& text) {
            if (!guard)
                return;
            if (auto* ok = guard->findChild<QPushButton*>(QStringLiteral("alertAction0")))
                ok->setEnabled(!text.isEmpty());
        });
    });
    if (auto* ok = alert->findChild<QPushButton*>(QStringLiteral("alertAction0")))
        ok->setEnabled(false);
    alert->present(m_board);
}

qint64 BoardItemCreation::nextDisplayOrder(PvCardViewController* board, const QString& projectId,
                                           const QString& folderId)
{
    const QList<ProjectItem*> children = DbHelpers::getFolderItems(board->context(), projectId, folderId);
    qint64 highest = children.size();
    for (const ProjectItem* child : children)
        highest = std::max(highest, child->displayOrder());
    return highest + 1;
}

ProjectItem* BoardItemCreation::createFolder(const QString& projectId, const QString& folderId, const QString& title)
{
    ManagedObjectContext* context = m_board->context();
    if (!context)
        return nullptr;
    const qint64 displayOrder = nextDisplayOrder(m_board, projectId, folderId);
    auto* folder = context->insertNew<ProjectItem>();
    folder->setUniqueIdentifier(Uuid::uuidString());
    folder->setProjectId(projectId);
    folder->setParentItemId(folderId);
    folder->setTitle(title.isNull() ? UntitledFolder.arg(displayOrder) : title);
    DbHelpers::updateModDatePath(context, folder);
    folder->setItemType(ProjectItemTypes::Folder);
    folder->setItemFormat(ProjectItemFormats::Text);
    folder->setFolderType(ProjectFolderTypes::Card);
    folder->setDisplayOrder(displayOrder);
    DbHelpers::updateProjectModDate(context, projectId);
    DbHelpers::saveManagedObjectContext(context, m_board);
    // Only the folder shown is redrawn; a folder made elsewhere is found when the writer goes there.
    if (m_board->currentProjectId() == projectId && m_board->currentFolderId() == folderId)
        m_board->reloadBoard(true);
    return folder;
}
