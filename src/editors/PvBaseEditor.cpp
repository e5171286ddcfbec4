#include "PvBaseEditor.h"

#include "CardSaveWriter.h"
#include "CloudUpdateWatcher.h"
#include "EditorCommands.h"
#include "EditorContentStore.h"
#include "EditorPeek.h"
#include "EditorPrompts.h"
#include "SmartPunctuation.h"
#include "core/AppDelegate.h"
#include "core/AutoSaveController.h"
#include "core/DbHelpers.h"
#include "core/EditorState.h"
#include "core/Helpers.h"
#include "core/NavigationHelpers.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/SettingsHelper.h"
#include "core/SharedHelpers.h"
#include "core/StoreConstants.h"
#include "dialogs/TagMenuController.h"
#include "platform/BarButtonItem.h"
#include "platform/ColorScheme.h"
#include "platform/Dispatch.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/ProgressHud.h"
#include "platform/SymbolIcons.h"
#include "platform/store/ManagedObjectContext.h"
#include "richtext/AutomaticBulletAndNumberLists.h"
#include "richtext/DisplayLineSpacing.h"
#include "richtext/PvTextView.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

namespace {

QAction* addButton(QToolBar* bar, const QString& name, const QString& symbol, const QString& tip)
{
    QAction* action = bar->addAction(SymbolIcons::icon(symbol), tip);
    action->setObjectName(name);
    action->setToolTip(tip);
    return action;
}

// A toolbar button whose press opens its menu at once.
void attachMenu(QToolBar* bar, QAction* action, QMenu* menu)
{
    action->setMenu(menu);
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
        button->setPopupMode(QToolButton::InstantPopup);
}

// Words of a snapshot that a reader accepts.
bool hasReadableWords(const QVariantMap& snapshot)
{
    return snapshot.contains(AutoSaveController::kContentKey) &&
           RichTextDocumentFormat::loadFrom(snapshot.value(AutoSaveController::kContentKey).toByteArray()).isReadable();
}

} // namespace

PvBaseEditor::PvBaseEditor(QWidget* parent)
    : CardEditorScreen(parent), m_content(std::make_unique<EditorContentStore>(*this)),
      m_watcher(std::make_unique<CloudUpdateWatcher>()), m_writer(std::make_unique<CardSaveWriter>(*this))
{
    m_commands = std::make_unique<EditorCommands>(*this);
    makePeek(this, [this](bool peeking) { setPeeking(peeking); });
    m_saveFlow = std::make_unique<EditorSaveFlow>(*this, *this, *this, ArchiveFailedMessage);
    buildViews();
}

PvBaseEditor::~PvBaseEditor()
{
    m_watcher->stop();
    if (m_autoSaveController)
        m_autoSaveController->teardown();
}

void PvBaseEditor::buildViews()
{
    m_editor = new PvTextView(this);
    m_editor->setObjectName(QStringLiteral("editor"));
    m_editor->setFrameShape(QFrame::NoFrame);
    m_editor->setLineSpacing(DisplayLineSpacing::EditorSpacing);
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("editorToolbar"));
    m_toolbar->setMovable(false);
    m_fontButton = addButton(m_toolbar, QStringLiteral("fontButton"), QStringLiteral("textformat.size"),
                             QStringLiteral("Text Size"));
    m_listButton =
        addButton(m_toolbar, QStringLiteral("listButton"), QStringLiteral("list.bullet"), QStringLiteral("Lists"));
    m_backwardsButton = addButton(m_toolbar, QStringLiteral("backwardsButton"), QStringLiteral("chevron.backward"),
                                  QStringLiteral("Previous Match"));
    m_forwardsButton = addButton(m_toolbar, QStringLiteral("forwardsButton"), QStringLiteral("chevron.forward"),
                                 QStringLiteral("Next Match"));
    auto* spacer = new QWidget(m_toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolbar->addWidget(spacer);
    m_statusLabel = new QLabel(m_toolbar);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    m_statusItem = m_toolbar->addWidget(m_statusLabel);
    auto* spacer2 = new QWidget(m_toolbar);
    spacer2->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolbar->addWidget(spacer2);
    m_undoButton =
        addButton(m_toolbar, QStringLiteral("undoButton"), QStringLiteral("arrow.uturn.left"), QStringLiteral("Undo"));
    m_redoButton = addButton(m_toolbar, QStringLiteral("redoButton"), QStringLiteral("arrow.uturn.forward"),
                             QStringLiteral("Redo"));
    m_overflowButton = addButton(m_toolbar, QStringLiteral("overflowButton"), QStringLiteral("ellipsis.circle"),
                                 QStringLiteral("More"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_editor, 1);
    layout->addWidget(m_toolbar);
    setAutoFillBackground(true);
}

// --- Lifecycle

void PvBaseEditor::viewDidLoad()
{
    m_contentLoaded = false;
    if (!m_regexQuery.isEmpty())
        m_editor->setRegexQuery(m_regexQuery);
    m_autoIndent = SettingsHelper::getAutoIndent(m_context, m_currentProjectId);
    for (QAction* button : {m_listButton, m_backwardsButton, m_forwardsButton, m_undoButton, m_redoButton})
        button->setEnabled(false);
    trimToolbar();
    attachMenu(m_toolbar, m_fontButton, m_commands->fontSizeMenu());
    attachMenu(m_toolbar, m_listButton, m_commands->listMenu());
    attachMenu(m_toolbar, m_overflowButton, m_commands->overflowMenu());

    connect(m_backwardsButton, &QAction::triggered, this, [this] {
        m_editor->previousHit();
        updateHitButtons();
    });
    connect(m_forwardsButton, &QAction::triggered, this, [this] {
        m_editor->nextHit();
        updateHitButtons();
    });
    connect(m_undoButton, &QAction::triggered, m_editor, &QTextEdit::undo);
    connect(m_redoButton, &QAction::triggered, m_editor, &QTextEdit::redo);
    connect(m_editor, &QTextEdit::undoAvailable, this, &PvBaseEditor::updateUndoRedoButtons);
    connect(m_editor, &QTextEdit::redoAvailable, this, &PvBaseEditor::updateUndoRedoButtons);
    connect(m_editor, &PvTextView::textEdited, this, [this] {
        updateUndoRedoButtons();
        textChanged();
    });
    QPointer<PvBaseEditor> self(this);
    m_editor->firstResponderChange = [self](bool) {
        if (self)
            self->updateListButton();
    };
    // The menu hands the focus back as it goes; only once it has gone does the focus alone decide.
    connect(m_listButton->menu(), &QMenu::aboutToHide, this,
            [this] { QMetaObject::invokeMethod(this, &PvBaseEditor::updateListButton, Qt::QueuedConnection); });
    m_editor->installEventFilter(this);
    m_editor->viewport()->installEventFilter(this);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &PvBaseEditor::cancelRequested);
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this](bool) { applyColors(); });
    m_watcher->changed = [self](CloudUpdateWatcher::Change change) {
        if (!self)
            return;
        if (change == CloudUpdateWatcher::Change::Deleted)
            self->onCardDeletedElsewhere();
        else
            self->showCloudUpdateAlert();
    };
}

void PvBaseEditor::trimToolbar()
{
    // The desktop keeps the status item and Redo; the search steps only when there is a search.
    if (m_preventFontSizeChange)
        m_fontButton->setVisible(false);
    if (m_regexQuery.isEmpty()) {
        m_backwardsButton->setVisible(false);
        m_forwardsButton->setVisible(false);
    }
}

void PvBaseEditor::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    // Escape and the sheet's close button come to cancelRequested(), which asks before anything is lost.
    if (NavigationController* navigation = navigationController())
        navigation->setModalInPresentation(true);
    setModalInPresentation(true);
    updateUndoRedoButtons();
}

void PvBaseEditor::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    AppDelegate* app = AppDelegate::shared();
    m_watcher->setContext(m_context);
    m_watcher->start(app ? app->persistentContainer() : nullptr);
}

void PvBaseEditor::viewWillDisappear(bool animated)
{
    // The snapshot stays: only a successful save or an explicit Discard removes it.
    if (m_autoSaveController)
        m_autoSaveController->stopSaveTimer();
    ViewController::viewWillDisappear(animated);
}

void PvBaseEditor::viewDidDisappear(bool animated)
{
    m_watcher->stop();
    ViewController::viewDidDisappear(animated);
}

bool PvBaseEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool isReturn = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (isReturn && !(key->modifiers() & ~Qt::KeypadModifier) && m_autoIndent &&
            m_currentItemType == ProjectItemTypes::Story && !m_editor->isReadOnly()) {
            handleReturn();
            return true;
        }
        if (m_useSmartQuotes && !m_editor->isReadOnly() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && handleSmartPunctuation(key->text()))
            return true;
    }
    // A new press starts a new click: the release of a double click may have gone to the viewer's sheet.
    if (watched == m_editor->viewport() && event->type() == QEvent::MouseButtonPress)
        m_imageDoubleClicked = false;
    if (watched == m_editor->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // Over an image the double click is the viewer's, not a word selection of the text view.
        if (mouse->button() == Qt::LeftButton && !isBusy() &&
            m_commands->handleTextDoubleClick(mouse->position().toPoint())) {
            m_imageDoubleClicked = true;
            return true;
        }
    }
    if (watched == m_editor->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool doubleClicked = std::exchange(m_imageDoubleClicked, false);
        if (mouse->button() == Qt::LeftButton && !doubleClicked && !m_editor->textCursor().hasSelection() && !isBusy())
            m_commands->handleTextTap(mouse->position().toPoint());
    }
    return ViewController::eventFilter(watched, event);
}

void PvBaseEditor::handleReturn()
{
    const QTextCursor cursor = m_editor->textCursor();
    const PvTextView::Range editing{cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
    // Inside a list, continuing the list wins over the indent.
    if (!AutomaticBulletAndNumberLists::autoContinueListsForTextView(*m_editor, editing))
        return;
    m_editor->replace(editing, PvTextView::AttributedText{{StoryIndent, cursor.charFormat()}},
                      {editing.location + int(StoryIndent.size()), 0});
    m_editor->ensureCursorVisible();
}

bool PvBaseEditor::handleSmartPunctuation(const QString& typed)
{
    QTextCursor cursor = m_editor->textCursor();
    const int start = cursor.selectionStart();
    const QChar previous = start > 0 ? m_editor->characterAt(start - 1) : QChar();
    const std::optional<SmartPunctuation::Replacement> replacement = SmartPunctuation::forTyped(typed, previous);
    // A hyphen typed over a selection stays a hyphen: the dash would take the place of the selection.
    if (!replacement || (replacement->replacedBefore > 0 && cursor.hasSelection()))
        return false;
    // Typed like any character: part of the typing's undo step, the typing format, the change handlers.
    m_editor->typeEdit([&cursor, &replacement] {
        if (replacement->replacedBefore > 0)
            cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, replacement->replacedBefore);
        cursor.insertText(replacement->text);
    });
    m_editor->setTextCursor(cursor);
    m_editor->ensureCursorVisible();
    return true;
}

// --- Buttons

void PvBaseEditor::updateHitButtons()
{
    m_backwardsButton->setEnabled(m_editor->hitCanGoBack());
    m_forwardsButton->setEnabled(m_editor->hitCanGoForward());
}

bool PvBaseEditor::textHasFocus() const
{
    return m_editor->window()->focusWidget() == m_editor;
}

void PvBaseEditor::focusText()
{
    m_editor->setFocus();
    // An inactive window takes the focus widget without telling it, so the focus hook would not run.
    updateListButton();
}

void PvBaseEditor::updateListButton()
{
    // The list menu takes the focus from the text while it is up: that must not make its own button look unusable.
    const QMenu* lists = m_listButton->menu();
    m_listButton->setEnabled(!isBusy() && (textHasFocus() || (lists && lists->isVisible())));
}

void PvBaseEditor::updateUndoRedoButtons()
{
    const QTextDocument* text = m_editor->document();
    m_undoButton->setEnabled(text->isUndoAvailable() && !isBusy());
    m_redoButton->setEnabled(text->isRedoAvailable() && !isBusy());
}

// --- Loading and saving

ProjectItemDocument* PvBaseEditor::currentDocument() const
{
    return m_content->currentDocument();
}

void PvBaseEditor::setCurrentDocument(ProjectItemDocument* document)
{
    m_content->setCurrentDocument(document);
}

bool PvBaseEditor::bodyUnreadable() const
{
    return m_content->bodyUnreadable();
}

const std::optional<EditorContentStore::KeptBody>& PvBaseEditor::keptBody() const
{
    return m_content->keptBody();
}

PvBaseEditor::LoadOutcome PvBaseEditor::loadContent()
{
    const EditorContentStore::Load outcome = m_content->loadContent();
    updateHitButtons();
    updateUndoRedoButtons();
    m_editor->setReadOnly(outcome == EditorContentStore::Load::Unreadable);
    if (outcome == EditorContentStore::Load::NoBody)
        return LoadOutcome::NoBody;
    if (outcome == EditorContentStore::Load::Loaded)
        return LoadOutcome::Loaded;
    return LoadOutcome::Unreadable;
}

bool PvBaseEditor::saveContent()
{
    const bool hadDocument = currentDocument() != nullptr;
    if (!m_content->saveContent())
        return false;
    if (!hadDocument && currentDocument())
        trackInserted(currentDocument());
    return true;
}

void PvBaseEditor::saveCursorPosition(qint64 position)
{
    const bool hadState = m_content->fetchEditorState() != nullptr;
    m_content->saveCursorPosition(position);
    if (!hadState)
        trackInserted(m_content->fetchEditorState());
}

qint64 PvBaseEditor::savedCursorPosition()
{
    return m_content->savedCursorPosition();
}

EditorState* PvBaseEditor::fetchEditorState()
{
    return m_content->fetchEditorState();
}

void PvBaseEditor::markCardChanged(bool changed)
{
    m_cardChanged = changed;
    EditorPrompts::setCardEdits(m_isSecondaryCard, changed);
}

void PvBaseEditor::trackInserted(ManagedObject* record)
{
    m_pending.track(record);
}

void PvBaseEditor::forgetPendingChanges()
{
    m_pending.forget();
}

QList<ManagedObject*> PvBaseEditor::cardRecords() const
{
    return {m_currentObject, currentDocument(), m_content->fetchEditorState()};
}

void PvBaseEditor::discardPendingChanges()
{
    if (!m_context)
        return;
    const bool cardWasNew = m_pending.contains(m_currentObject);
    const bool documentWasNew = m_pending.contains(currentDocument());
    m_pending.discard(m_context, cardRecords(), this);
    if (cardWasNew)
        m_currentObject = nullptr;
    if (documentWasNew)
        setCurrentDocument(nullptr);
}

// --- Title and colours

void PvBaseEditor::refreshItemType()
{
    if (m_currentObject && !m_currentObject->isDeleted())
        m_currentItemType = m_currentObject->itemType();
}

QString PvBaseEditor::untitledTitle()
{
    refreshItemType();
    return m_cardProps.propForIntCardType(m_currentItemType).untitledTitle();
}

QColor PvBaseEditor::titleColor()
{
    refreshItemType();
    const CardProp& prop = m_cardProps.propForIntCardType(m_currentItemType);
    return m_isFullScreenEditor ? prop.cardColor() : prop.textColor();
}

void PvBaseEditor::setTitleView(const QString& title, const QColor& color)
{
    const QString symbol =
        m_tag.isEmpty() || m_tag == TagMenuController::ClearTag ? QString() : TagMenuController::getTag(m_tag);
    QPointer<PvBaseEditor> self(this);
    auto rename = [self] {
        if (self)
            self->m_commands->renameCard();
    };
    QWidget* view = symbol.isEmpty()
                        ? static_cast<QWidget*>(Helpers::getTitleView(title, color, false, this, rename))
                        : Helpers::getTitleAndIconView(title, SymbolIcons::icon(symbol), color, false, this, rename);
    view->setObjectName(QStringLiteral("editorTitleView"));
    navigationItem()->setTitleView(view);
}

void PvBaseEditor::applyColors()
{
    refreshItemType();
    m_isDarkMode = ColorScheme::isDark();
    const CardProp& prop = m_cardProps.propForIntCardType(m_currentItemType);
    NavigationController* navigation = navigationController();
    NavigationBar* bar = navigation ? navigation->navigationBar() : nullptr;
    if (!m_isFullScreenEditor) {
        NavigationHelpers::setupCustomNavbar(bar, prop.textColor(), prop.cardColor());
        return;
    }
    const QColor background(m_isDarkMode ? PvTextView::kEditorDarkBackground : PvTextView::kEditorBackground);
    const QColor foreground(m_isDarkMode ? PvTextView::kEditorDarkForeground : PvTextView::kEditorForeground);
    const QColor accent = m_currentItemType == ProjectItemTypes::AllCards ? foreground : prop.cardColor();
    NavigationHelpers::setupCustomNavbar(bar, accent, background);
    for (QWidget* area : {static_cast<QWidget*>(this), static_cast<QWidget*>(m_toolbar)})
        NavigationHelpers::paintArea(area, foreground, background);
    // The gutters around the text are the view's own frame: the same colour as the page.
    QPalette page = m_editor->palette();
    page.setColor(QPalette::Window, background);
    m_editor->setPalette(page);
    m_editor->setAutoFillBackground(true);
}

void PvBaseEditor::cardDetailsChanged(const std::optional<QString>& title)
{
    onCardDetailsChanged(title);
    if (cardUpdated)
        cardUpdated(title);
}

// --- Changes from elsewhere

void PvBaseEditor::markHistorySeen()
{
    m_watcher->setContext(m_context);
    m_watcher->setItemId(m_currentObject ? m_currentObject->uniqueIdentifier() : QString());
    m_watcher->markSeen();
}

bool PvBaseEditor::peeking() const
{
    return m_watcher->isHeld();
}

void PvBaseEditor::setPeeking(bool peeking)
{
    // An update that arrives while the panel covers the card is shown when it closes.
    m_watcher->setHeld(peeking);
}

void PvBaseEditor::showCloudUpdateAlert()
{
    QPointer<PvBaseEditor> self(this);
    EditorPrompts::showCardUpdated(this, m_cardChanged, [self] {
        if (self)
            self->saveAsCopy();
    });
}

// --- Snapshot

std::optional<bool> PvBaseEditor::applySnapshot(const QVariantMap& snapshot, bool asNewCard)
{
    // Words no reader accepts would show as an empty text marked changed, which a save stores over the card.
    const bool hasContent = snapshot.contains(AutoSaveController::kContentKey);
    const QByteArray content = snapshot.value(AutoSaveController::kContentKey).toByteArray();
    if (hasContent && !RichTextDocumentFormat::loadFrom(content).isReadable()) {
        EditorPrompts::showUnreadable(this, UnreadableSnapshotMessage);
        return std::nullopt;
    }
    bool detached = false;
    ProjectItem* item = currentObject();
    const QDateTime savedAt = snapshot.value(AutoSaveController::kItemSaveDateKey).toDateTime();
    // The card was saved after the snapshot was taken (on another machine, or in this one before the crash
    // was noticed): the snapshot must not overwrite it, so its words open as a new card.
    if (item &&
        (asNewCard || (item->lastModified().isValid() && (!savedAt.isValid() || savedAt < item->lastModified())))) {
        setCurrentObject(nullptr);
        setCurrentDocument(nullptr);
        detached = true;
    }
    const QString projectId = snapshot.value(AutoSaveController::kProjectIdKey).toString();
    if (!projectId.isEmpty())
        setCurrentProjectId(projectId);
    if (snapshot.contains(AutoSaveController::kParentItemIdKey))
        setCurrentFolderId(snapshot.value(AutoSaveController::kParentItemIdKey).toString());
    setFullTitle(snapshot.value(AutoSaveController::kTitleKey).toString());
    setNotes(snapshot.value(AutoSaveController::kNotesKey).toString());
    setTag(snapshot.value(AutoSaveController::kTagKey).toString());
    if (hasContent) {
        editor()->loadFrom(content, true);
        editor()->document()->clearUndoRedoStacks();
    }
    bool isNumber = false;
    const qint64 type = snapshot.value(AutoSaveController::kItemTypeKey).toLongLong(&isNumber);
    if (isNumber && !currentObject())
        setCurrentItemType(type);
    return detached;
}

QVariantMap PvBaseEditor::cardSnapshot()
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

// --- Saving

void PvBaseEditor::saveCard(const std::optional<QString>& copyTitle, std::function<void()> completion)
{
    m_saveFlow->save(copyTitle, std::move(completion));
}

void PvBaseEditor::setSaving(bool saving)
{
    m_saving = saving;
    m_saveButton->setEnabled(!saving && cardChanged());
    m_cancelButton->setEnabled(!saving);
    updateListButton();
}

bool PvBaseEditor::writeCard(const std::optional<QString>& copyTitle)
{
    return m_writer->write(copyTitle);
}

ProjectItem* PvBaseEditor::takeInsertedCard()
{
    ProjectItem* inserted = m_writer->insertedCard();
    m_writer->forget();
    return inserted;
}

void PvBaseEditor::markSaved()
{
    markCardChanged(false);
    setContentChanged(false);
    markHistorySeen();
}

// --- Editing session

void PvBaseEditor::makeBarButtons()
{
    m_cancelButton = new BarButtonItem(CancelTitle, this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(m_cancelButton, &QAction::triggered, this, [this] { cancelRequested(); });
    m_saveButton = new BarButtonItem(SaveTitle, this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_saveButton->setEnabled(false);
    connect(m_saveButton, &QAction::triggered, this, [this] { saveCard(); });
}

void PvBaseEditor::noteChange(bool content)
{
    markCardChanged(true);
    if (content)
        setContentChanged(true);
    if (m_autoSaveController)
        m_autoSaveController->setAutoSave(true);
    if (m_saveButton && !m_saving)
        m_saveButton->setEnabled(true);
}

void PvBaseEditor::rebuildTitleView()
{
    setViewTitle(Helpers::getTrimmedTitle(fullTitle()));
    setTitle(viewTitle());
    setTitleView(viewTitle(), titleColor());
}

void PvBaseEditor::beginEditing()
{
    applyColors();
    if (!contentLoaded())
        ProgressHud::show();
    m_saveFlow->startSnapshots(
        m_autoSaveController, [this] { return cardSnapshot(); }, cardChanged());
}

void PvBaseEditor::onCardDetailsChanged(const std::optional<QString>& title)
{
    if (title) {
        setFullTitle(*title);
        rebuildTitleView();
    } else {
        setTitleView(viewTitle(), titleColor());
    }
    noteChange(false);
}

void PvBaseEditor::onCardDeletedElsewhere()
{
    // The words on screen are now the only copy: closing asks before they go, and Save keeps them as a new card.
    if (!contentLoaded() || bodyUnreadable())
        return;
    noteChange(true);
    setTitleView(viewTitle(), titleColor());
}

void PvBaseEditor::placeCursor(qint64 cursor)
{
    if (cursor <= 0)
        return;
    QTextCursor place(m_editor->document());
    place.setPosition(int(std::min<qint64>(cursor, m_editor->textLength())));
    // Setting the cursor scrolls it into view.
    m_editor->setTextCursor(place);
}

std::optional<bool> PvBaseEditor::finishLoading(LoadOutcome outcome)
{
    setContentLoaded(true);
    markHistorySeen();
    ProgressHud::dismiss();
    const bool unreadable = outcome == LoadOutcome::Unreadable;
    if (!autoSaveData() || (unreadable && !hasReadableWords(*autoSaveData()))) {
        if (unreadable)
            EditorPrompts::showUnreadable(this, UnreadableMessage);
        if (autoSaveData())
            m_saveFlow->recoveredSnapshotNotShown();
        return std::nullopt;
    }
    // Words recovered for a card whose body cannot be read are all the writer has of it: they are shown, and saved
    // as a card of their own rather than over bytes no one has seen.
    const std::optional<bool> detached = applySnapshot(*autoSaveData(), unreadable);
    if (!detached) {
        m_saveFlow->recoveredSnapshotNotShown();
        return std::nullopt;
    }
    if (m_autoSaveController)
        m_autoSaveController->adoptSnapshot();
    // Shown once: a later reload of the card (Load Card after a change elsewhere) shows what is stored.
    setAutoSaveData(std::nullopt);
    if (unreadable) {
        m_content->showOwnWords();
        m_editor->setReadOnly(false);
        EditorPrompts::showUnreadable(this, UnreadableRecoveredMessage);
    }
    noteChange(true);
    rebuildTitleView();
    return detached;
}

void PvBaseEditor::saveAsCopy()
{
    if (isBusy())
        return;
    const QString copyTitle = CopyPrefix + fullTitle();
    const QString itemId = m_currentObject ? m_currentObject->uniqueIdentifier() : QString();
    setCurrentObject(nullptr);
    setCurrentDocument(nullptr);
    copyStarted();
    if (!cardChanged()) {
        reloadCard(itemId);
        return;
    }
    QPointer<PvBaseEditor> self(this);
    saveCard(copyTitle, [self, itemId] {
        if (self)
            self->reloadCard(itemId);
    });
}

void PvBaseEditor::reloadUnpinned(const std::function<void()>& reload)
{
    // The reload ends in finishLoading(), which marks the history seen at the generation it read.
    m_watcher->reloadLatest(m_context, reload);
}
