#include "KuvBaseSketch.h"

#include "CloudUpdateWatcher.h"
#include "EditorPeek.h"
#include "EditorPrompts.h"
#include "SketchCommands.h"
#include "SketchSaveWriter.h"
#include "SketchSnapshot.h"
#include "core/AppDelegate.h"
#include "core/AutoSaveController.h"
#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/NavigationHelpers.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "core/ToolbarDelegate.h"
#include "dialogs/TagMenuController.h"
#include "platform/BarButtonItem.h"
#include "platform/ColorScheme.h"
#include "platform/FormSheetDialog.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/ProgressHud.h"
#include "platform/SymbolIcons.h"
#include "platform/UserDefaults.h"
#include "platform/ink/InkCanvas.h"
#include "platform/ink/InkToolPicker.h"
#include "platform/store/ManagedObjectContext.h"
#include "richtext/PvTextView.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString EnterFullScreenSymbol = QStringLiteral("arrow.up.left.and.arrow.down.right");
const QString ExitFullScreenSymbol = QStringLiteral("arrow.down.right.and.arrow.up.left");
constexpr int TitleHeight = 28;

} // namespace

KuvBaseSketch::KuvBaseSketch(QWidget* parent)
    : CardEditorScreen(parent), m_watcher(std::make_unique<CloudUpdateWatcher>()),
      m_writer(std::make_unique<SketchSaveWriter>(*this)), m_commands(std::make_unique<SketchCommands>(*this))
{
    setObjectName(StoryboardIdentifier);
    // An update that arrives while the panel covers the card is shown when it closes.
    makePeek(this, [this](bool peeking) { m_watcher->setHeld(peeking); });
    m_saveFlow = std::make_unique<EditorSaveFlow>(*this, *this, *this, TooLargeMessage);
    buildViews();
}

KuvBaseSketch::~KuvBaseSketch()
{
    m_watcher->stop();
    if (m_autoSaveController)
        m_autoSaveController->teardown();
}

void KuvBaseSketch::buildViews()
{
    m_titleView = new QLineEdit(this);
    m_titleView->setObjectName(QStringLiteral("titleView"));
    m_titleView->setFixedHeight(TitleHeight);
    m_titleView->setFrame(false);
    m_titleView->setPlaceholderText(QStringLiteral("Title"));
    m_canvas = new InkCanvas;
    m_canvas->setObjectName(QStringLiteral("canvasView"));
    m_container = new QScrollArea(this);
    m_container->setObjectName(QStringLiteral("sketchViewContainer"));
    m_container->setFrameShape(QFrame::NoFrame);
    m_container->setWidget(m_canvas);
    m_container->setWidgetResizable(false);
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setMovable(false);
    m_toolPicker = new InkToolPicker(m_canvas, m_toolBar);
    m_toolBar->addWidget(m_toolPicker);
    auto* spacer = new QWidget(m_toolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolBar->addWidget(spacer);
    // A card in a sheet has the window toolbar behind it: its own bar leads to New Card and the peek panel.
    m_newCardButton = m_toolBar->addAction(SymbolIcons::icon(QStringLiteral("plus.circle")), NewCardTitle);
    m_newCardButton->setObjectName(QStringLiteral("newCardButton"));
    m_peekButton = m_toolBar->addAction(SymbolIcons::icon(QStringLiteral("book")), PeekTitle);
    m_peekButton->setObjectName(QStringLiteral("peekButton"));
    m_zoomButton = m_toolBar->addAction(SymbolIcons::icon(EnterFullScreenSymbol), QStringLiteral("Zoom"));
    m_zoomButton->setObjectName(QStringLiteral("zoomButton"));
    m_overflowButton =
        m_toolBar->addAction(SymbolIcons::icon(QStringLiteral("ellipsis.circle")), QStringLiteral("More"));
    m_overflowButton->setObjectName(QStringLiteral("overflowButton"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(12, 6, 12, 6);
    titleRow->addWidget(m_titleView);
    layout->addLayout(titleRow);
    layout->addWidget(m_container, 1);
    layout->addWidget(m_toolBar);
    setAutoFillBackground(true);
}

// --- Lifecycle

void KuvBaseSketch::viewDidLoad()
{
    m_tag = m_currentObject ? m_currentObject->tag() : QString();
    m_cancelButton = new BarButtonItem(CancelTitle, this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(m_cancelButton, &QAction::triggered, this, &KuvBaseSketch::confirmCancel);
    m_saveButton = new BarButtonItem(SaveTitle, this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    connect(m_saveButton, &QAction::triggered, this, [this] { save(); });
    navigationItem()->setLeftBarButtonItem(m_cancelButton);
    navigationItem()->setRightBarButtonItems({m_saveButton});
    // The zoom toggle sizes the popup's sheet; a full-window editor has nothing to size.
    m_zoomButton->setVisible(m_isPopup && m_currentItemType != ProjectItemTypes::Story);
    connect(m_zoomButton, &QAction::triggered, this, &KuvBaseSketch::zoomClicked);
    // Only the primary card offers them: a third card would have no snapshot of its own.
    m_newCardButton->setVisible(m_isPopup && !m_isSecondaryCard);
    m_peekButton->setVisible(m_isPopup && !m_isSecondaryCard);
    connect(m_newCardButton, &QAction::triggered, this, [this] { peek().newCard(); });
    connect(m_peekButton, &QAction::triggered, this, [this] { peek().showPeek(); });
    buildOverflowMenu();
    m_canvas->setAllowsFingerDrawing(UserDefaults::standard().boolForKey(FingerDrawingKey));
    prepareSession();

    connect(m_titleView, &QLineEdit::textEdited, this, &KuvBaseSketch::titleDidChange);
    connect(m_titleView, &QLineEdit::editingFinished, m_canvas, qOverload<>(&QWidget::setFocus));
    connect(m_canvas, &InkCanvas::drawingChanged, this, &KuvBaseSketch::drawingDidChange);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &KuvBaseSketch::confirmCancel);
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this](bool) { setupColors(); });
    QPointer<KuvBaseSketch> self(this);
    m_watcher->changed = [self](CloudUpdateWatcher::Change change) {
        if (!self)
            return;
        if (change == CloudUpdateWatcher::Change::Deleted)
            self->onCardDeletedElsewhere();
        else
            EditorPrompts::showCardUpdated(self, self->m_changesMade, [self] {
                if (self)
                    self->loadUpdatedCard();
            });
    };
}

void KuvBaseSketch::buildOverflowMenu()
{
    m_overflowMenu = new QMenu(this);
    m_overflowMenu->setObjectName(QStringLiteral("overflowMenu"));
    connect(m_overflowMenu->addAction(SymbolIcons::icon(QStringLiteral("tag")), TagsRow), &QAction::triggered, this,
            &KuvBaseSketch::showTagMenu);
    connect(m_overflowMenu->addAction(SymbolIcons::icon(QStringLiteral("text.bubble")), CardNotesRow),
            &QAction::triggered, this, &KuvBaseSketch::showCardNotes);
    connect(m_overflowMenu->addAction(SymbolIcons::icon(QStringLiteral("square.and.arrow.up")), ExportRow),
            &QAction::triggered, this, &KuvBaseSketch::exportPNG);
    m_overflowButton->setMenu(m_overflowMenu);
    if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(m_overflowButton)))
        button->setPopupMode(QToolButton::InstantPopup);
}

void KuvBaseSketch::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    // Escape and the sheet's close button come to confirmCancel(), which asks before anything is lost.
    if (NavigationController* navigation = navigationController())
        navigation->setModalInPresentation(true);
    setModalInPresentation(true);
    // A sketch in a sheet leaves the window toolbar to the screen behind it.
    if (!m_isPopup)
        peek().installToolbarItems({ToolbarDelegate::sketchNewCard, ToolbarDelegate::sketchPeek});
    if (m_isPopup && m_currentItemType != ProjectItemTypes::Story)
        setZoomed(UserDefaults::standard().boolForKey(PreferZoomKey));
    setupColors();
    // Recovered strokes are unsaved strokes: the first tick writes them again.
    m_saveFlow->startSnapshots(
        m_autoSaveController, [this] { return autoSaveSnapshot(); }, m_changesMade);
    if (!m_contentLoaded)
        ProgressHud::show();
}

void KuvBaseSketch::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    applySheetLimits();
    if (!m_contentLoaded)
        loadDrawing();
    AppDelegate* app = AppDelegate::shared();
    m_watcher->setContext(m_context);
    m_watcher->start(app ? app->persistentContainer() : nullptr);
    m_canvas->setFocus();
    peek().reopenSecondaryCard();
}

void KuvBaseSketch::viewWillDisappear(bool animated)
{
    // The snapshot stays: only a successful save or an explicit Discard removes it.
    if (m_autoSaveController)
        m_autoSaveController->stopSaveTimer();
    peek().removeToolbarItems();
    ViewController::viewWillDisappear(animated);
}

void KuvBaseSketch::viewDidDisappear(bool animated)
{
    m_watcher->stop();
    ViewController::viewDidDisappear(animated);
}

void KuvBaseSketch::resizeEvent(QResizeEvent* event)
{
    ViewController::resizeEvent(event);
    updateContentSize();
}

// --- Loading

void KuvBaseSketch::prepareSession()
{
    if (m_currentObject) {
        if (!m_currentObject->title().isNull())
            m_titleView->setText(m_currentObject->title());
        m_tag = m_currentObject->tag();
        m_notes = m_currentObject->notes();
    }
    m_titleChanged = false;
    m_contentChanged = false;
    m_changesMade = false;
    EditorPrompts::setCardEdits(m_isSecondaryCard, false);
    m_saveButton->setEnabled(false);
    updateTitle();
}

void KuvBaseSketch::loadDrawing()
{
    m_document = SketchDrawingDocument::fromCard(m_context, m_currentObject);
    m_canvas->setDrawing(m_document.drawing());
    // A drawing that cannot be read is shown as an error, never as an empty canvas a save could write over.
    m_canvas->setEnabled(m_document.isReadable());
    m_toolPicker->setEnabled(m_document.isReadable());
    m_contentLoaded = true;
    updateContentSize();
    markHistorySeen();
    ProgressHud::dismiss();
    const bool unreadable = !m_document.isReadable();
    if (unreadable && !(m_autoSaveData && SketchSnapshot::hasReadableDrawing(*m_autoSaveData))) {
        EditorPrompts::showUnreadable(this, UnreadableMessage);
        if (m_autoSaveData)
            m_saveFlow->recoveredSnapshotNotShown();
        return;
    }
    if (m_autoSaveData)
        applyRecovered(*m_autoSaveData, unreadable);
    updateSaveButton();
}

void KuvBaseSketch::applyRecovered(const QVariantMap& snapshot, bool overUnreadable)
{
    // A recovered drawing of a card whose own cannot be read is all the writer has of it: it is shown, and saved
    // as a card of its own rather than over bytes no one has seen.
    if (!SketchSnapshot::apply(*this, snapshot, overUnreadable)) {
        m_saveFlow->recoveredSnapshotNotShown();
        return;
    }
    if (m_autoSaveController)
        m_autoSaveController->adoptSnapshot();
    // Shown once: a later reload of the card (Load Card after a change elsewhere) shows what is stored.
    setAutoSaveData(std::nullopt);
    if (overUnreadable) {
        m_canvas->setEnabled(true);
        m_toolPicker->setEnabled(true);
        EditorPrompts::showUnreadable(this, UnreadableRecoveredMessage);
    }
    m_titleChanged = true;
    m_contentChanged = true;
    markChanged();
    updateTitle();
}

void KuvBaseSketch::updateContentSize()
{
    const QSize viewport = m_container->viewport()->size();
    const QRectF bounds = m_canvas->drawing().bounds();
    if (bounds.isNull()) {
        m_canvas->resize(viewport);
        return;
    }
    const qreal zoom = m_canvas->zoomScale();
    const int width = std::max(viewport.width(), int((bounds.right() + ContentMargin) * zoom));
    const int height = std::max(viewport.height(), int((bounds.bottom() + ContentMargin) * zoom));
    m_canvas->resize(width, height);
}

// --- Changes

void KuvBaseSketch::markChanged()
{
    m_changesMade = true;
    EditorPrompts::setCardEdits(m_isSecondaryCard, true);
    if (m_autoSaveController)
        m_autoSaveController->setAutoSave(true);
}

void KuvBaseSketch::updateSaveButton()
{
    m_saveButton->setEnabled(!m_saving && !m_closing && !m_titleView->text().isEmpty() && m_changesMade);
}

void KuvBaseSketch::titleDidChange()
{
    if (!m_titleView->text().isEmpty())
        m_titleChanged = true;
    markChanged();
    updateSaveButton();
}

void KuvBaseSketch::drawingDidChange()
{
    m_contentChanged = true;
    markChanged();
    updateSaveButton();
    updateContentSize();
}

void KuvBaseSketch::tagSelected(const QString& tagId)
{
    m_tag = tagId;
    if (m_currentObject || m_changesMade) {
        markChanged();
        updateSaveButton();
    }
    updateTitle();
}

void KuvBaseSketch::notesModified(const QString& notes)
{
    m_notes = notes;
    markChanged();
    updateSaveButton();
}

void KuvBaseSketch::onCardDeletedElsewhere()
{
    // What is on screen is now the only copy: closing asks before it goes, and Save keeps it as a new card.
    m_contentChanged = true;
    markChanged();
    updateSaveButton();
}

// --- Title and colours

void KuvBaseSketch::refreshItemType()
{
    if (m_currentObject && !m_currentObject->isDeleted())
        m_currentItemType = m_currentObject->itemType();
}

QString KuvBaseSketch::typeWord(qint64 itemType)
{
    static const QStringList words{QStringLiteral("Story Card"),    QStringLiteral("Reminder Card"),
                                   QStringLiteral("Question Card"), QStringLiteral("Idea Card"),
                                   QStringLiteral("Person Card"),   QStringLiteral("Thing Card"),
                                   QStringLiteral("Location Card")};
    return itemType >= 1 && itemType <= words.size() ? words.at(int(itemType - 1)) : QStringLiteral("Card");
}

QString KuvBaseSketch::navigationTitle() const
{
    return (m_currentObject ? QStringLiteral("Edit ") : QStringLiteral("New ")) + typeWord(m_currentItemType);
}

void KuvBaseSketch::updateTitle()
{
    refreshItemType();
    const QString title = navigationTitle();
    setTitle(title);
    if (m_tag.isEmpty() || m_tag == TagMenuController::ClearTag) {
        navigationItem()->setTitleView(nullptr);
        return;
    }
    const CardProp& prop = m_cardProps.propForIntCardType(m_currentItemType);
    const QColor tint = m_isPopup ? prop.textColor() : prop.cardColor();
    QWidget* view =
        Helpers::getTitleAndIconView(title, SymbolIcons::icon(TagMenuController::getTag(m_tag)), tint, false);
    view->setObjectName(QStringLiteral("sketchTitleView"));
    navigationItem()->setTitleView(view);
}

void KuvBaseSketch::setupColors()
{
    refreshItemType();
    const bool dark = ColorScheme::isDark();
    const CardProp& prop = m_cardProps.propForIntCardType(m_currentItemType);
    NavigationController* navigation = navigationController();
    NavigationBar* bar = navigation ? navigation->navigationBar() : nullptr;
    const QColor background(dark ? PvTextView::kEditorDarkBackground : PvTextView::kEditorBackground);
    const QColor foreground(dark ? PvTextView::kEditorDarkForeground : PvTextView::kEditorForeground);
    if (m_isPopup) {
        NavigationHelpers::setupCustomNavbar(bar, prop.textColor(), prop.cardColor());
    } else {
        const QColor accent = m_currentItemType == ProjectItemTypes::AllCards ? foreground : prop.cardColor();
        NavigationHelpers::setupCustomNavbar(bar, accent, background);
    }
    for (QWidget* area : {static_cast<QWidget*>(this), static_cast<QWidget*>(m_container),
                          static_cast<QWidget*>(m_container->viewport()), static_cast<QWidget*>(m_canvas),
                          static_cast<QWidget*>(m_toolBar), static_cast<QWidget*>(m_titleView)})
        NavigationHelpers::paintArea(area, foreground, background);
    // Dark ink is shown light on the dark page; what is stored keeps its true colour.
    m_canvas->setDark(dark);
}

// --- Zoom

void KuvBaseSketch::setZoomed(bool zoomed)
{
    m_zoomed = zoomed;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = zoomed && screen ? screen->availableSize() : PopupSize;
    if (NavigationController* navigation = navigationController())
        navigation->setPreferredContentSize(size);
    else
        setPreferredContentSize(size);
    m_zoomButton->setIcon(SymbolIcons::icon(zoomed ? ExitFullScreenSymbol : EnterFullScreenSymbol));
    applySheetLimits();
}

void KuvBaseSketch::zoomClicked()
{
    setZoomed(!m_zoomed);
    UserDefaults::standard().setValue(PreferZoomKey, m_zoomed);
}

void KuvBaseSketch::applySheetLimits()
{
    // Only the popup's own sheet is limited; the main window keeps its own minimum.
    auto* sheet = qobject_cast<FormSheetDialog*>(window());
    if (!m_isPopup || !sheet)
        return;
    sheet->setMinimumSize(PopupMinimumSize);
    sheet->setMaximumSize(PopupMaximumSize);
    const ViewController* sized = navigationController() ? static_cast<ViewController*>(navigationController()) : this;
    sheet->resize(sized->preferredContentSize().isEmpty() ? PopupSize : sized->preferredContentSize());
}

// --- Saving

void KuvBaseSketch::setSaving(bool saving)
{
    m_saving = saving;
    m_cancelButton->setEnabled(!saving);
    m_overflowButton->setEnabled(!saving);
    m_newCardButton->setEnabled(!saving);
    m_peekButton->setEnabled(!saving);
    updateSaveButton();
}

void KuvBaseSketch::save(const std::optional<QString>& copyTitle, std::function<void()> completion)
{
    m_saveFlow->save(copyTitle, std::move(completion));
}

bool KuvBaseSketch::writeCard(const std::optional<QString>& copyTitle)
{
    return m_writer->write(copyTitle) == SketchSaveWriter::Result::Written;
}

ProjectItem* KuvBaseSketch::takeInsertedCard()
{
    ProjectItem* inserted = m_writer->insertedCard();
    m_writer->forget();
    return inserted;
}

void KuvBaseSketch::markSaved()
{
    markUnchanged();
    markHistorySeen();
}

void KuvBaseSketch::markUnchanged()
{
    m_changesMade = false;
    EditorPrompts::setCardEdits(m_isSecondaryCard, false);
}

void KuvBaseSketch::leave(bool saved)
{
    if (saved && m_cardModified)
        m_cardModified();
    closeEditor();
}

QList<ManagedObject*> KuvBaseSketch::cardRecords() const
{
    return {m_currentObject, m_document.record()};
}

void KuvBaseSketch::discardPendingChanges()
{
    const bool cardWasNew = m_pending.contains(m_currentObject);
    m_pending.discard(m_context, cardRecords(), this);
    if (cardWasNew)
        m_currentObject = nullptr;
    m_writer->forget();
}

void KuvBaseSketch::closeEditor()
{
    m_closing = true;
    updateSaveButton();
    m_cancelButton->setEnabled(false);
    ViewController* host = navigationController() ? static_cast<ViewController*>(navigationController()) : this;
    host->dismiss(true, [] { ProgressHud::dismiss(); });
}

void KuvBaseSketch::confirmCancel()
{
    if (isBusy())
        return;
    if (!m_changesMade) {
        closeEditor();
        return;
    }
    m_saveFlow->confirmDiscard();
}

// --- Changes from elsewhere

void KuvBaseSketch::markHistorySeen()
{
    m_watcher->setContext(m_context);
    m_watcher->setItemId(m_currentObject ? m_currentObject->uniqueIdentifier() : QString());
    m_watcher->markSeen();
}

void KuvBaseSketch::loadUpdatedCard()
{
    if (isBusy())
        return;
    const QString copyTitle = CopyPrefix + m_titleView->text();
    const QString itemId = m_currentObject ? m_currentObject->uniqueIdentifier() : QString();
    m_currentObject = nullptr;
    m_document = SketchDrawingDocument();
    m_copySaved = true;
    if (!m_changesMade) {
        reloadCard(itemId);
        return;
    }
    QPointer<KuvBaseSketch> self(this);
    save(copyTitle, [self, itemId] {
        if (self)
            self->reloadCard(itemId);
    });
}

void KuvBaseSketch::reloadCard(const QString& itemId)
{
    m_watcher->reloadLatest(m_context, [this, itemId] {
        m_currentObject = itemId.isEmpty() ? nullptr : DbHelpers::getItem(m_context, itemId);
        prepareSession();
        m_contentLoaded = false;
        loadDrawing();
    });
    markHistorySeen();
}

// --- Tags, notes, export, snapshot

void KuvBaseSketch::showTagMenu()
{
    m_commands->showTagMenu();
}

void KuvBaseSketch::showCardNotes()
{
    m_commands->showCardNotes();
}

void KuvBaseSketch::exportPNG()
{
    m_commands->exportPNG();
}

QVariantMap KuvBaseSketch::autoSaveSnapshot() const
{
    return SketchSnapshot::take(*this);
}
