#include "EditorPeek.h"

#include "CardEditorFields.h"
#include "EditorBoardLink.h"
#include "SecondarySaves.h"
#include "core/AppDelegate.h"
#include "core/DbHelpers.h"
#include "core/StoreConstants.h"
#include "platform/SideMenuNavigationController.h"
#include "platform/Toolbar.h"
#include "platform/ViewController.h"

EditorPeek::EditorPeek(ViewController* editor, CardEditorFields* fields, std::function<void(bool)> setPeeking)
    : m_editor(editor), m_fields(fields), m_setPeeking(std::move(setPeeking)),
      m_secondarySaves(std::make_unique<SecondarySaves>(fields))
{
}

EditorPeek::~EditorPeek()
{
    removeToolbarItems();
    // A panel never presented has no owner yet.
    if (m_sideMenu && !m_sideMenu->parent())
        delete m_sideMenu.data();
}

void EditorPeek::setBoardLink(std::shared_ptr<EditorBoardLink> link)
{
    m_link = std::move(link);
}

ViewController* EditorPeek::peekTable() const
{
    return m_peekTable;
}

SideMenuNavigationController* EditorPeek::sideMenu() const
{
    return m_sideMenu;
}

bool EditorPeek::isCovered() const
{
    // A card opened from the panel, or the chooser, is still in front: the writer finishes it first.
    return m_editor->presentedViewController() || (m_peekTable && m_peekTable->presentedViewController());
}

bool EditorPeek::isPanelAction(const QByteArray& action)
{
    return action == QByteArrayLiteral("peekClicked") || action == QByteArrayLiteral("cardPeek") ||
           action == QByteArrayLiteral("newCardClicked");
}

void EditorPeek::showPeek()
{
    if (!m_editor || isCovered())
        return;
    if (!m_sideMenu)
        makePanel();
    if (m_sideMenu)
        m_sideMenu->presentFrom(m_editor, true);
}

void EditorPeek::makePanel()
{
    if (!m_link)
        return;
    const EditorBoardLink::PeekPanel panel = m_link->makePeekPanel(m_editor, m_fields, m_setPeeking);
    m_peekTable = panel.list;
    m_sideMenu = panel.sideMenu;
}

void EditorPeek::newCard()
{
    if (!m_editor || !m_link || isCovered())
        return;
    CardProps props = m_fields->cardProps();
    // A Story is written in the full editor, which an editor never opens over itself.
    if (CardProp* story = props.mutablePropForIntCardType(ProjectItemTypes::Story))
        story->setCanCreate(false);
    const QString folderId = m_fields->currentFolderId().isEmpty() ? ItemIds::Top : m_fields->currentFolderId();
    // The folder's whole child list as stored, not the cards some screen shows: orders never repeat.
    const qint64 displayOrder = qint64(DbHelpers::getFolderItemsCount(m_fields->managedObjectContext(),
                                                                      m_fields->currentProjectId(), folderId)) +
                                1;
    QPointer<ViewController> editor(m_editor);
    m_link->newCard(m_editor, m_fields, props, displayOrder, [this, editor] {
        if (editor)
            cardSaved();
    });
}

void EditorPeek::reopenSecondaryCard()
{
    if (!m_editor || m_secondaryChecked || m_fields->isSecondaryCard())
        return;
    m_secondaryChecked = true;
    if (isCovered())
        return;
    if (m_link)
        m_link->reopenSecondaryCard(m_editor, m_fields);
}

void EditorPeek::cardSaved()
{
    if (m_peekTable && m_link)
        m_link->reloadPeekPanel(m_peekTable, m_fields->currentFolderId());
}

void EditorPeek::installToolbarItems(const QStringList& identifiers)
{
    Toolbar* toolbar = AppDelegate::shared() ? AppDelegate::shared()->toolbar() : nullptr;
    if (!toolbar || !m_installedToolbarItems.isEmpty())
        return;
    m_installedToolbarItems = identifiers;
    for (auto it = identifiers.crbegin(); it != identifiers.crend(); ++it)
        toolbar->insertItemWithItemIdentifier(*it, 0);
}

void EditorPeek::removeToolbarItems()
{
    if (Toolbar* toolbar = AppDelegate::shared() ? AppDelegate::shared()->toolbar() : nullptr)
        toolbar->removeItemsWithIdentifiers(m_installedToolbarItems);
    m_installedToolbarItems.clear();
}
