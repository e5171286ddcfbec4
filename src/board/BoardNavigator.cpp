#include "BoardNavigator.h"

#include "CardListModel.h"
#include "CardOpening.h"
#include "PvCardViewController.h"
#include "core/AppDelegate.h"
#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "core/ToolbarDelegate.h"
#include "platform/Delays.h"

#include <QGraphicsOpacityEffect>
#include <QListView>
#include <QMainWindow>
#include <QSet>
#include <QVariantAnimation>

BoardNavigator::BoardNavigator(PvCardViewController* board) : m_board(board), m_history(board->collectionView())
{
}

BoardNavigator::~BoardNavigator()
{
    if (m_transition)
        m_transition->stop();
}

void BoardNavigator::selectItem(int row)
{
    const QList<ProjectItem*>& shown = m_board->filteredCards();
    if (row < 0 || row >= shown.size())
        return;
    ProjectItem* item = shown.at(row);
    if (!CardListModel::isFolder(item)) {
        m_board->collectionView()->clearSelection();
        if (CardOpening* opening = m_board->cardOpening())
            opening->openCard(m_board, item, row);
        return;
    }
    enterFolder(item, row);
}

void BoardNavigator::enterFolder(ProjectItem* folder, int row)
{
    if (!folder)
        return;
    m_board->setViewBottomConst(0);
    m_history.pushWithSelected(row);
    showFolder(folder->uniqueIdentifier(), folder->parentItemId(), folder->title(), true);
    // The new level starts at the top, whatever the scroll position of the level left.
    m_history.reset();
}

void BoardNavigator::goBack()
{
    const QString parentId = m_board->parentFolderId();
    if (parentId.isEmpty() || m_board->currentFolderId() == ItemIds::Top) {
        m_board->leaveBoard();
        return;
    }
    m_board->setViewBottomConst(0);
    if (parentId == ItemIds::Top) {
        showFolder(ItemIds::Top, {}, m_board->topTitle(), false);
        m_history.pop();
        return;
    }
    ProjectItem* parent = DbHelpers::getItem(m_board->context(), parentId);
    if (!parent) {
        m_board->leaveBoard();
        return;
    }
    // Two machines may each have moved a folder into the other; climbing such a pair would go round for ever,
    // so a chain that never reaches the root ends at the root.
    if (!reachesTop(parentId)) {
        showFolder(ItemIds::Top, {}, m_board->topTitle(), false);
        m_history.pop();
        return;
    }
    showFolder(parent->uniqueIdentifier(), parent->parentItemId(), parent->title(), false);
    m_history.pop();
}

bool BoardNavigator::reachesTop(const QString& folderId) const
{
    QSet<QString> visited;
    QString id = folderId;
    while (id != ItemIds::Top) {
        if (id.isEmpty() || visited.contains(id))
            return false;
        visited.insert(id);
        ProjectItem* item = DbHelpers::getItem(m_board->context(), id);
        if (!item)
            return false;
        id = item->parentItemId();
    }
    return true;
}

void BoardNavigator::showFolder(const QString& folderId, const QString& parentId, const QString& title, bool entering)
{
    Q_UNUSED(entering)
    m_board->setCurrentFolderId(folderId);
    m_board->setParentFolderId(parentId);
    m_board->setCurrentTitle(title);
    updateWindowTitle();
    swapFirstToolbarItem(folderId == ItemIds::Top ? ToolbarDelegate::cardViewHome : ToolbarDelegate::cardViewBack);
    runTransition();
    m_board->reloadCardsNow();
    m_board->rebuildBoardMenu();
    m_board->collectionView()->clearSelection();
}

void BoardNavigator::updateWindowTitle() const
{
    AppDelegate* app = AppDelegate::shared();
    if (app && app->mainScene())
        app->mainScene()->setWindowTitle(Helpers::getTrimmedTitle(m_board->currentTitle()));
}

void BoardNavigator::swapFirstToolbarItem(const QString& identifier) const
{
    m_board->swapHomeBackItem(identifier);
}

void BoardNavigator::runTransition()
{
    if (m_transition)
        m_transition->stop();
    QListView* grid = m_board->collectionView();
    const int duration = Delays::scaled(TransitionMs);
    if (duration <= 0) {
        grid->setGraphicsEffect(nullptr);
        return;
    }
    auto* fade = new QGraphicsOpacityEffect(grid);
    fade->setOpacity(0);
    grid->setGraphicsEffect(fade);
    auto* animation = new QVariantAnimation(grid);
    animation->setObjectName(TransitionKey);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setDuration(duration);
    QPointer<QGraphicsOpacityEffect> effect(fade);
    QObject::connect(animation, &QVariantAnimation::valueChanged, grid, [effect](const QVariant& value) {
        if (effect)
            effect->setOpacity(value.toReal());
    });
    QPointer<QListView> guard(grid);
    // A stopped fade (a second change of folder) leaves the effect to the next one; a finished one removes it,
    // so the grid paints directly again.
    QObject::connect(animation, &QVariantAnimation::finished, grid, [guard, effect] {
        if (guard && effect && guard->graphicsEffect() == effect)
            guard->setGraphicsEffect(nullptr);
    });
    m_transition = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}
