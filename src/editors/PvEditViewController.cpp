#include "PvEditViewController.h"

#include "CardSaveWriter.h"
#include "EditorCommands.h"
#include "PvTextView.h"
#include "core/AppDelegate.h"
#include "core/AutoSaveController.h"
#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/SettingsHelper.h"
#include "core/SharedHelpers.h"
#include "core/StoreConstants.h"
#include "platform/Alert.h"
#include "platform/BarButtonItem.h"
#include "platform/Delays.h"
#include "platform/Dispatch.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/ProgressHud.h"
#include "platform/Storyboard.h"
#include "platform/store/ManagedObjectContext.h"

#include <QLabel>
#include <QMenu>
#include <QToolBar>

#include "stats/AchievementsManager.h"

PvEditViewController::PvEditViewController(QWidget* parent)
    : PvBaseEditor(parent), m_writer(std::make_unique<CardSaveWriter>(*this))
{
    setObjectName(QStringLiteral("editView"));
}

PvEditViewController::~PvEditViewController()
{
    if (m_autoSaveController)
        m_autoSaveController->teardown();
}

void PvEditViewController::registerInStoryboard()
{
    Storyboard::registerFactory(StoryboardIdentifier, [] { return new PvEditViewController; });
}

// --- Lifecycle

void PvEditViewController::viewDidLoad()
{
    PvBaseEditor::viewDidLoad();
    setIsFullScreenEditor(true);
    m_useGutters = SettingsHelper::getWideGutters(managedObjectContext(), currentProjectId());
    setUseSmartQuotes(SettingsHelper::getSmartQuotesConversion(managedObjectContext(), currentProjectId()));
    m_cancelButton = new BarButtonItem(CancelTitle, this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(m_cancelButton, &QAction::triggered, this, &PvEditViewController::confirmCancel);
    m_saveButton = new BarButtonItem(SaveTitle, this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    connect(m_saveButton, &QAction::triggered, this, [this] { saveCard(); });
    navigationItem()->setLeftBarButtonItem(m_cancelButton);
    resetEditingState();
    navigationItem()->setRightBarButtonItems({m_saveButton});
    markCardChanged(false);
    beginDailyAverageCheck();
}

void PvEditViewController::viewWillAppear(bool animated)
{
    PvBaseEditor::viewWillAppear(animated);
    applyColors();
    if (!contentLoaded())
        ProgressHud::show();
    m_autoSaveController = std::make_unique<AutoSaveController>();
    QPointer<PvEditViewController> self(this);
    m_autoSaveController->startSaveTimer(currentProjectId(), isSecondaryCard(),
                                         [self] { return self ? self->autoSaveSnapshot() : QVariantMap(); });
    // Recovered words are unsaved words: the first tick writes them again, so a second crash loses nothing.
    if (cardChanged())
        m_autoSaveController->setAutoSave(true);
}

void PvEditViewController::viewDidAppear(bool animated)
{
    PvBaseEditor::viewDidAppear(animated);
    if (!contentLoaded())
        loadCard();
    updateTextInsets(width(), height());
}

void PvEditViewController::viewWillDisappear(bool animated)
{
    // The snapshot stays: only a successful save or an explicit Discard removes it.
    if (m_autoSaveController)
        m_autoSaveController->stopSaveTimer();
    if (AppDelegate* app = AppDelegate::shared())
        app->search = nullptr;
    PvBaseEditor::viewWillDisappear(animated);
}

void PvEditViewController::resizeEvent(QResizeEvent* event)
{
    PvBaseEditor::resizeEvent(event);
    updateTextInsets(width(), height());
}

// --- Loading

void PvEditViewController::resetEditingState()
{
    setContentChanged(false);
    m_startDateTime = QDateTime::currentDateTime();
    if (m_saveButton)
        m_saveButton->setEnabled(false);
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

void PvEditViewController::rebuildTitleView()
{
    setViewTitle(Helpers::getTrimmedTitle(fullTitle()));
    setTitle(viewTitle());
    setTitleView(viewTitle(), titleColor());
}

void PvEditViewController::loadCard()
{
    ProjectItem* item = currentObject();
    setCurrentDocument(item ? DbHelpers::getItemDocument(managedObjectContext(), item->uniqueIdentifier()) : nullptr);
    const qint64 cursor = savedCursorPosition();
    const LoadOutcome outcome = loadContent();
    if (outcome == LoadOutcome::NoDocument) {
        // An older card keeps its body on the item; a new one starts empty, or indented for Story writing.
        const QByteArray body = item ? item->content() : QByteArray();
        if (!body.isEmpty())
            editor()->loadFrom(body, true);
        else
            editor()->loadFrom(autoIndent() && !item ? QStringLiteral("\t").toUtf8() : QByteArray(), true);
        editor()->document()->clearUndoRedoStacks();
    }
    updateWordCount();
    if (cursor > 0) {
        QTextCursor place(editor()->document());
        place.setPosition(int(std::min<qint64>(cursor, editor()->textLength())));
        editor()->setTextCursor(place);
        editor()->ensureCursorVisible();
    }
    setContentLoaded(true);
    markHistorySeen();
    ProgressHud::dismiss();
    if (autoSaveData() && outcome != LoadOutcome::Unreadable) {
        applyAutoSave(*autoSaveData());
        setContentChanged(true);
        markCardChanged(true);
        rebuildTitleView();
        m_saveButton->setEnabled(true);
        if (m_autoSaveController)
            m_autoSaveController->setAutoSave(true);
        updateWordCount();
    }
    editor()->setFocus();
}

void PvEditViewController::applyAutoSave(const QVariantMap& snapshot)
{
    ProjectItem* item = currentObject();
    const QDateTime savedAt = snapshot.value(AutoSaveController::kItemSaveDateKey).toDateTime();
    // The card was saved after the snapshot was taken (on another machine, or in this one before the crash
    // was noticed): the snapshot must not overwrite it, so its words open as a new card.
    if (item && item->lastModified().isValid() && (!savedAt.isValid() || savedAt < item->lastModified())) {
        setCurrentObject(nullptr);
        setCurrentDocument(nullptr);
        m_startWordCount.reset();
    }
    const QString projectId = snapshot.value(AutoSaveController::kProjectIdKey).toString();
    if (!projectId.isEmpty())
        setCurrentProjectId(projectId);
    if (snapshot.contains(AutoSaveController::kParentItemIdKey))
        setCurrentFolderId(snapshot.value(AutoSaveController::kParentItemIdKey).toString());
    setFullTitle(snapshot.value(AutoSaveController::kTitleKey).toString());
    setNotes(snapshot.value(AutoSaveController::kNotesKey).toString());
    setTag(snapshot.value(AutoSaveController::kTagKey).toString());
    if (snapshot.contains(AutoSaveController::kContentKey)) {
        editor()->loadFrom(snapshot.value(AutoSaveController::kContentKey).toByteArray(), true);
        editor()->document()->clearUndoRedoStacks();
    }
    bool isNumber = false;
    const qint64 type = snapshot.value(AutoSaveController::kItemTypeKey).toLongLong(&isNumber);
    if (isNumber && !currentObject())
        setCurrentItemType(type);
}

// --- Changes

void PvEditViewController::textChanged()
{
    if (!contentLoaded() || bodyUnreadable())
        return;
    markCardChanged(true);
    setContentChanged(true);
    if (m_autoSaveController)
        m_autoSaveController->setAutoSave(true);
    if (!m_saving)
        m_saveButton->setEnabled(true);
    updateWordCount();
}

void PvEditViewController::onCardDetailsChanged(const std::optional<QString>& title)
{
    markCardChanged(true);
    if (title) {
        setFullTitle(*title);
        rebuildTitleView();
    } else {
        setTitleView(viewTitle(), titleColor());
    }
    if (m_autoSaveController)
        m_autoSaveController->setAutoSave(true);
    if (!m_saving)
        m_saveButton->setEnabled(true);
}

void PvEditViewController::onCardDeletedElsewhere()
{
    // The words on screen are now the only copy: closing asks before they go, and Save keeps them as a new card.
    if (!contentLoaded() || bodyUnreadable())
        return;
    setContentChanged(true);
    onCardDetailsChanged(std::nullopt);
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
    m_saving = saving;
    const bool enabled = !saving;
    m_saveButton->setEnabled(enabled && cardChanged());
    m_cancelButton->setEnabled(enabled);
    for (QAction* button : {fontButton(), overflowButton()})
        button->setEnabled(enabled);
    listButton()->setEnabled(enabled && editor()->hasFocus());
    updateUndoRedoButtons();
}

void PvEditViewController::saveCard(const std::optional<QString>& copyTitle, std::function<void()> completion)
{
    if (isBusy())
        return;
    setSaving(true);
    ProgressHud::show();
    QPointer<PvEditViewController> self(this);
    Dispatch::globalAfter(Delays::scaled(SaveDelayMs), [self, copyTitle, completion] {
        Dispatch::main([self, copyTitle, completion] {
            if (self)
                self->writeCard(copyTitle, completion);
            else
                ProgressHud::dismiss();
        });
    });
}

void PvEditViewController::writeCard(const std::optional<QString>& copyTitle, const std::function<void()>& completion)
{
    const bool written = m_writer->write(copyTitle);
    if (!written) {
        auto* alert = new Alert(DbHelpers::SaveErrorTitle, ArchiveFailedMessage);
        alert->addAction(DbHelpers::SaveErrorButton);
        alert->present(this);
    }
    finishSave(written, copyTitle, completion);
}

void PvEditViewController::finishSave(bool written, const std::optional<QString>& copyTitle,
                                      const std::function<void()>& completion)
{
    ManagedObjectContext* context = managedObjectContext();
    // Every change goes now, not when the screen disappears: a failure must keep the writer here.
    const bool saved = written && (!context->hasChanges() || DbHelpers::saveManagedObjectContext(context, this));
    if (!saved) {
        setSaving(false);
        ProgressHud::dismiss();
        emit saveFinished(false);
        return;
    }
    ProjectItem* inserted = m_writer->insertedCard();
    m_writer->forget();
    forgetPendingChanges();
    if (inserted && addedRecord)
        addedRecord(inserted);
    if (m_autoSaveController)
        m_autoSaveController->removeSnapshot();
    markCardChanged(false);
    setContentChanged(false);
    markHistorySeen();
    emit saveFinished(true);
    if (!copyTitle) {
        closeEditor();
        return;
    }
    setSaving(false);
    if (completion)
        completion();
    ProgressHud::dismiss();
}

void PvEditViewController::closeEditor()
{
    m_closing = true;
    ViewController* host = navigationController() ? static_cast<ViewController*>(navigationController()) : this;
    host->dismiss(true, [] { ProgressHud::dismiss(); });
}

// --- Copy and reload

void PvEditViewController::saveAsCopy()
{
    if (isBusy())
        return;
    const QString copyTitle = CopyPrefix + fullTitle();
    ProjectItem* item = currentObject();
    const QString itemId = item ? item->uniqueIdentifier() : QString();
    setCurrentObject(nullptr);
    setCurrentDocument(nullptr);
    if (!cardChanged()) {
        reloadCard(itemId);
        return;
    }
    QPointer<PvEditViewController> self(this);
    saveCard(copyTitle, [self, itemId] {
        if (self)
            self->reloadCard(itemId);
    });
}

void PvEditViewController::reloadCard(const QString& itemId)
{
    ManagedObjectContext* context = managedObjectContext();
    context->setQueryGenerationFromToken(std::nullopt);
    setCurrentObject(itemId.isEmpty() ? nullptr : DbHelpers::getItem(context, itemId));
    resetEditingState();
    setContentLoaded(false);
    loadCard();
    context->setQueryGenerationFromToken(context->currentQueryGenerationToken());
    markHistorySeen();
}

// --- Cancel

void PvEditViewController::confirmCancel()
{
    if (isBusy())
        return;
    if (!cardChanged()) {
        if (savedCursorPosition() > 0) {
            saveCursorPosition(0);
            DbHelpers::saveManagedObjectContext(managedObjectContext(), this);
        }
        closeEditor();
        return;
    }
    for (Alert* shown : Alert::presented()) {
        if (shown->title() == DiscardChangesTitle)
            return;
    }
    auto* alert = new Alert(DiscardChangesTitle, DiscardChangesMessage);
    alert->setAccessibleName(DiscardChangesAccessibility);
    alert->setObjectName(DiscardChangesAccessibility);
    QPointer<PvEditViewController> self(this);
    alert->addAction(DiscardTitle, AlertActionStyle::Destructive, [self] {
        if (!self)
            return;
        self->discardPendingChanges();
        if (self->m_autoSaveController)
            self->m_autoSaveController->removeSnapshot();
        self->markCardChanged(false);
        self->closeEditor();
    });
    alert->addAction(CancelTitle, AlertActionStyle::Cancel);
    alert->present(this);
}

// --- Statistics and achievements

void PvEditViewController::presentStatistics()
{
    // The statistics screen comes with the statistics subsystem; without it there is nothing to show.
    if (!Storyboard::contains(StatisticsIdentifier))
        return;
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

QVariantMap PvEditViewController::autoSaveSnapshot()
{
    QVariantMap snapshot;
    if (!contentLoaded() || bodyUnreadable())
        return snapshot;
    ProjectItem* item = currentObject();
    if (!currentProjectId().isNull())
        snapshot.insert(AutoSaveController::kProjectIdKey, currentProjectId());
    if (!currentFolderId().isNull())
        snapshot.insert(AutoSaveController::kParentItemIdKey, currentFolderId());
    snapshot.insert(AutoSaveController::kProjectItemIdKey, item ? item->uniqueIdentifier() : QString(""));
    const QString text = editor()->toPlainText();
    QString title = fullTitle();
    if (!item || CardSaveWriter::isPlaceholderTitle(title))
        title = SharedHelpers::getTitle(text, title, untitledTitle());
    if (!title.isEmpty())
        snapshot.insert(AutoSaveController::kTitleKey, title);
    snapshot.insert(AutoSaveController::kNotesKey, notes().isNull() ? QString("") : notes());
    snapshot.insert(AutoSaveController::kTagKey, tag().isNull() ? QString("") : tag());
    if (const std::optional<QByteArray> content = editor()->getData(editor()->fontSize()))
        snapshot.insert(AutoSaveController::kContentKey, *content);
    snapshot.insert(AutoSaveController::kMimeTypeKey, DocumentMimeTypes::RichText);
    snapshot.insert(AutoSaveController::kItemTypeKey, currentItemType());
    snapshot.insert(AutoSaveController::kItemFormatKey, ProjectItemFormats::Text);
    snapshot.insert(AutoSaveController::kItemSaveDateKey, QDateTime::currentDateTime());
    return snapshot;
}
