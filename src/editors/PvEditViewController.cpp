#include "PvEditViewController.h"

#include "CardSaveWriter.h"
#include "EditorCommands.h"
#include "EditorPeek.h"
#include "core/AppDelegate.h"
#include "core/AutoSaveController.h"
#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/SettingsHelper.h"
#include "core/SharedHelpers.h"
#include "core/StoreConstants.h"
#include "core/ToolbarDelegate.h"
#include "platform/BarButtonItem.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/ProgressHud.h"
#include "platform/store/ManagedObjectContext.h"
#include "richtext/PvTextView.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>

#include "core/Project.h"
#include "platform/Uuid.h"
#include "stats/AchievementsManager.h"
#include "stats/DayStat.h"
#include "stats/StatisticsViewController.h"

PvEditViewController::PvEditViewController(QWidget* parent) : PvBaseEditor(parent)
{
    setObjectName(QStringLiteral("editView"));
}

PvEditViewController::~PvEditViewController() = default;

void PvEditViewController::registerInStoryboard(std::shared_ptr<EditorBoardLink> link)
{
    EditorPeek::registerEditor<PvEditViewController>(StoryboardIdentifier, std::move(link));
}

// --- Lifecycle

void PvEditViewController::viewDidLoad()
{
    PvBaseEditor::viewDidLoad();
    setIsFullScreenEditor(true);
    m_useGutters = SettingsHelper::getWideGutters(managedObjectContext(), currentProjectId());
    setUseSmartQuotes(SettingsHelper::getSmartQuotesConversion(managedObjectContext(), currentProjectId()));
    makeBarButtons();
    navigationItem()->setLeftBarButtonItem(m_cancelButton);
    resetEditingState();
    navigationItem()->setRightBarButtonItems({m_saveButton});
    markCardChanged(false);
    beginDailyAverageCheck();
    // The word count is where a writer looks for the rest of the figures.
    statusLabel()->setCursor(Qt::PointingHandCursor);
    statusLabel()->setToolTip(WordsToolTip);
    statusLabel()->installEventFilter(this);
}

void PvEditViewController::viewWillAppear(bool animated)
{
    PvBaseEditor::viewWillAppear(animated);
    peek().installToolbarItems({ToolbarDelegate::editorNewCard, ToolbarDelegate::editorPeek});
    beginEditing();
}

void PvEditViewController::viewDidAppear(bool animated)
{
    PvBaseEditor::viewDidAppear(animated);
    if (!contentLoaded())
        loadCard();
    updateTextInsets(width(), height());
    peek().reopenSecondaryCard();
}

void PvEditViewController::viewWillDisappear(bool animated)
{
    if (AppDelegate* app = AppDelegate::shared())
        app->search = nullptr;
    peek().removeToolbarItems();
    PvBaseEditor::viewWillDisappear(animated);
}

void PvEditViewController::resizeEvent(QResizeEvent* event)
{
    PvBaseEditor::resizeEvent(event);
    updateTextInsets(width(), height());
}

bool PvEditViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == statusLabel() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && statusLabel()->rect().contains(mouse->position().toPoint())) {
            showStatistics();
            return true;
        }
    }
    return PvBaseEditor::eventFilter(watched, event);
}

// --- Loading

void PvEditViewController::resetEditingState()
{
    setContentChanged(false);
    m_startDateTime = QDateTime::currentDateTime();
    markCardChanged(false);
    setPeeking(false);
    ProjectItem* item = currentObject();
    if (!item) {
        setFullTitle(untitledTitle());
        m_startWordCount.reset();
    } else {
        setFullTitle(item->title());
        m_startWordCount = item->wordCount();
        setTag(item->tag());
        setNotes(item->notes());
    }
    rebuildTitleView();
}

void PvEditViewController::loadCard()
{
    ProjectItem* item = currentObject();
    setCurrentDocument(item ? DbHelpers::getItemDocument(managedObjectContext(), item->uniqueIdentifier()) : nullptr);
    const qint64 cursor = savedCursorPosition();
    const LoadOutcome outcome = loadContent();
    if (outcome == LoadOutcome::NoBody) {
        // A card without a body starts empty; a new one indented for Story writing when the project asks.
        editor()->loadFrom(autoIndent() && !item ? QStringLiteral("\t").toUtf8() : QByteArray(), true);
        editor()->document()->clearUndoRedoStacks();
    }
    updateWordCount();
    placeCursor(cursor);
    if (const std::optional<bool> detached = finishLoading(outcome)) {
        // Words recovered as a new card are all gained in this stretch of writing.
        if (*detached)
            m_startWordCount.reset();
        updateWordCount();
    }
    focusText();
}

// --- Changes

void PvEditViewController::textChanged()
{
    if (!contentLoaded() || bodyUnreadable())
        return;
    noteChange(true);
    updateWordCount();
}

void PvEditViewController::updateWordCount()
{
    m_wordCount = SharedHelpers::countWordsInAttributedString(editor()->document());
    checkDailyAverage(m_wordCount - m_startWordCount.value_or(0));
    statusLabel()->setText(WordsFormat.arg(m_wordCount));
}

// --- Saving

void PvEditViewController::setSaving(bool saving)
{
    PvBaseEditor::setSaving(saving);
    for (QAction* button : {fontButton(), overflowButton()})
        button->setEnabled(!saving);
    updateUndoRedoButtons();
}

bool PvEditViewController::writeCard(const std::optional<QString>& copyTitle)
{
    const bool written = writer().write(copyTitle, CardSaveWriter::WritingStart{m_startWordCount, m_startDateTime});
    // A card deleted elsewhere became a new card: all its words are gained from here on.
    if (writer().detachedFromDeletedCard())
        m_startWordCount.reset();
    return written;
}

void PvEditViewController::closeEditor()
{
    m_closing = true;
    ViewController* host = navigationController() ? static_cast<ViewController*>(navigationController()) : this;
    host->dismiss(true, [] { ProgressHud::dismiss(); });
}

// --- Copy and reload

void PvEditViewController::reloadCard(const QString& itemId)
{
    reloadUnpinned([this, itemId] {
        setCurrentObject(itemId.isEmpty() ? nullptr : DbHelpers::getItem(managedObjectContext(), itemId));
        resetEditingState();
        setContentLoaded(false);
        loadCard();
    });
}

// --- Cancel

void PvEditViewController::confirmCancel()
{
    if (isBusy())
        return;
    if (!cardChanged()) {
        if (savedCursorPosition() > 0)
            saveCursorPosition(0);
        // Whatever is pending is stored before the card is left; a failure keeps the writer here.
        ManagedObjectContext* context = managedObjectContext();
        if (context->hasChanges() && !DbHelpers::saveManagedObjectContext(context, this))
            return;
        closeEditor();
        return;
    }
    saveFlow().confirmDiscard();
}

// --- Statistics and achievements

void PvEditViewController::presentStatistics()
{
    std::optional<QDateTime> lastModified;
    if (Project* project = DbHelpers::getProject(managedObjectContext(), currentProjectId());
        project && project->lastModified().isValid())
        lastModified = project->lastModified();
    // The stretch written since the card opened, not stored yet: the screen counts it, achievements do not.
    std::optional<DayStat> unsaved;
    if (m_startDateTime.isValid()) {
        const qint64 words = SharedHelpers::countWords(editor()->toPlainText()) - m_startWordCount.value_or(0);
        unsaved =
            DayStat(currentProjectId(), currentObject() ? currentObject()->uniqueIdentifier() : QString(),
                    m_startDateTime, m_startDateTime.secsTo(QDateTime::currentDateTime()), Uuid::uuidString(), words);
    }
    StatisticsViewController::present(this, managedObjectContext(), currentProjectId(), lastModified, unsaved);
}

void PvEditViewController::showStatistics()
{
    // Not while the card is being saved or closed: the sheet would outlive the editor it counts for.
    if (isBusy())
        return;
    presentStatistics();
}

void PvEditViewController::beginDailyAverageCheck()
{
    if (m_achievementsManager)
        m_achievementsManager->beginDailyAverageCheck();
}

void PvEditViewController::checkDailyAverage(qint64 wordsGained)
{
    if (m_achievementsManager)
        m_achievementsManager->dailyAverageCheck(wordsGained);
}

// --- Layout

void PvEditViewController::updateTextInsets(int width, int height)
{
    const int pad = Helpers::iPadOrMac() ? DesktopPad : 8;
    QMargins insets(pad, pad, pad, pad);
    NavigationController* navigation = navigationController();
    const int barHeight = navigation && navigation->navigationBar() ? navigation->navigationBar()->height() : 0;
    if (height < width && m_useGutters) {
        const int side = std::max(pad, pad + (width - (barHeight + height)) / 2);
        insets = QMargins(side, pad, side, pad);
    }
    if (editor()->textInsets() != insets)
        editor()->setTextInsets(insets);
}

// --- Snapshot
