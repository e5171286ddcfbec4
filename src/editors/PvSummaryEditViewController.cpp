#include "PvSummaryEditViewController.h"

#include "EditorPeek.h"

#include "core/AutoSaveController.h"
#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/ProjectItem.h"
#include "core/SettingsHelper.h"
#include "platform/BarButtonItem.h"
#include "platform/ColorScheme.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/ProgressHud.h"
#include "platform/SymbolIcons.h"
#include "platform/UserDefaults.h"
#include "platform/store/ManagedObjectContext.h"
#include "richtext/PvTextView.h"

#include <QScreen>
#include <QTextCursor>

PvSummaryEditViewController::PvSummaryEditViewController(QWidget* parent) : PvBaseEditor(parent)
{
    setObjectName(StoryboardIdentifier);
}

PvSummaryEditViewController::~PvSummaryEditViewController() = default;

void PvSummaryEditViewController::registerInStoryboard(std::shared_ptr<EditorBoardLink> link)
{
    EditorPeek::registerEditor<PvSummaryEditViewController>(StoryboardIdentifier, std::move(link));
}

// --- Lifecycle

void PvSummaryEditViewController::viewDidLoad()
{
    PvBaseEditor::viewDidLoad();
    setIsFullScreenEditor(false);
    m_copySaved = false;
    setUseSmartQuotes(SettingsHelper::getSmartQuotesConversion(managedObjectContext(), currentProjectId()));
    takeCardFields();
    makeBarButtons();
    m_zoomButton = new BarButtonItem(SymbolIcons::icon(ZoomInSymbol), this);
    m_zoomButton->setObjectName(QStringLiteral("zoomButton"));
    connect(m_zoomButton, &QAction::triggered, this, &PvSummaryEditViewController::toggleZoom);
    navigationItem()->setLeftBarButtonItem(m_cancelButton);
    navigationItem()->setRightBarButtonItems({m_saveButton, m_zoomButton});
    prepareSession();
    editor()->setTextInsets(QMargins(12, 6, 12, 12));
}

void PvSummaryEditViewController::takeCardFields()
{
    if (ProjectItem* item = currentObject()) {
        setCurrentItemType(item->itemType());
        setFullTitle(item->title());
        setTag(item->tag());
        setNotes(item->notes());
    } else {
        setFullTitle(untitledTitle());
    }
}

void PvSummaryEditViewController::prepareSession()
{
    markCardChanged(false);
    setContentChanged(false);
    if (m_saveButton)
        m_saveButton->setEnabled(false);
    rebuildTitleView();
}

void PvSummaryEditViewController::viewWillAppear(bool animated)
{
    PvBaseEditor::viewWillAppear(animated);
    setZoomed(UserDefaults::standard().boolForKey(PrefPreferZoom));
    beginEditing();
}

void PvSummaryEditViewController::viewDidAppear(bool animated)
{
    PvBaseEditor::viewDidAppear(animated);
    limitSheet();
    if (!contentLoaded())
        loadCard();
}

void PvSummaryEditViewController::applyColors()
{
    PvBaseEditor::applyColors();
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ColorScheme::isDark() ? QColor(DarkBackground) : QColor(Qt::white));
    setPalette(colours);
    setAutoFillBackground(true);
}

// --- Loading

void PvSummaryEditViewController::loadCard()
{
    ProjectItem* item = currentObject();
    setCurrentDocument(item ? DbHelpers::getItemDocument(managedObjectContext(), item->uniqueIdentifier()) : nullptr);
    const qint64 cursor = item ? savedCursorPosition() : 0;
    const LoadOutcome outcome = loadContent();
    if (outcome == LoadOutcome::NoBody) {
        // Also when reloading: nothing of the card shown before may stay.
        editor()->loadFrom(QByteArray(), true);
        editor()->document()->clearUndoRedoStacks();
    }
    placeCursor(cursor);
    finishLoading(outcome);
    focusText();
}

// --- Changes

void PvSummaryEditViewController::textChanged()
{
    if (!contentLoaded() || bodyUnreadable())
        return;
    noteChange(true);
}

// --- Zoom

void PvSummaryEditViewController::setZoomed(bool zoomed)
{
    m_isZoomed = zoomed;
    if (m_zoomButton)
        m_zoomButton->setIcon(SymbolIcons::icon(zoomed ? ZoomOutSymbol : ZoomInSymbol));
    NavigationController* navigation = navigationController();
    if (!navigation)
        return;
    const QScreen* screen = this->screen();
    const QSize size = zoomed && screen ? screen->availableGeometry().size().boundedTo(PopupMaximumSize) : PopupSize;
    navigation->setPreferredContentSize(size);
    limitSheet();
    // The sheet already on screen follows at once; a full-window editor has no sheet and sizes nothing.
    if (QWidget* sheet = navigation->parentWidget(); sheet && sheet->isWindow())
        sheet->resize(size);
}

void PvSummaryEditViewController::limitSheet()
{
    NavigationController* navigation = navigationController();
    QWidget* sheet = navigation ? navigation->parentWidget() : nullptr;
    if (!sheet || !sheet->isWindow())
        return;
    sheet->setMinimumSize(PopupSize);
    sheet->setMaximumSize(PopupMaximumSize);
}

void PvSummaryEditViewController::toggleZoom()
{
    setZoomed(!m_isZoomed);
    UserDefaults::standard().setValue(PrefPreferZoom, m_isZoomed);
}

// --- Copy and reload

void PvSummaryEditViewController::reloadCard(const QString& itemId)
{
    reloadUnpinned([this, itemId] {
        ProjectItem* item = itemId.isEmpty() ? nullptr : DbHelpers::getItem(managedObjectContext(), itemId);
        setCurrentObject(item);
        // A title, tag or notes given to a copy stay with it: the card shown again has its own.
        takeCardFields();
        prepareSession();
        // Loading runs at once and ends marked loaded; only the writer's own edits count as changes meanwhile.
        loadCard();
    });
}

// --- Cancel and closing

void PvSummaryEditViewController::confirmCancel()
{
    if (isBusy())
        return;
    if (!cardChanged()) {
        // The next opening starts at the top again; this is saved with the closing, not after it.
        if (currentObject() && savedCursorPosition() > 0) {
            saveCursorPosition(0);
            if (!m_deferSave)
                DbHelpers::saveManagedObjectContext(managedObjectContext(), this);
        }
        closeEditor(false);
        return;
    }
    saveFlow().confirmDiscard();
}

void PvSummaryEditViewController::closeEditor(bool saved)
{
    if (m_closing)
        return;
    m_closing = true;
    emit closed();
    // A saved copy is a change the opener must show even when the editor then closes unchanged.
    const bool modified = saved || m_copySaved;
    m_copySaved = false;
    const std::function<void()> report = modified ? cardModified : cardCancelled;
    NavigationController* navigation = navigationController();
    if (!m_isPopup && navigation && navigation->viewControllers().size() > 1) {
        ProgressHud::dismiss();
        navigation->popViewController(true);
    } else {
        ViewController* host = navigation ? static_cast<ViewController*>(navigation) : this;
        host->dismiss(true, [] { ProgressHud::dismiss(); });
    }
    if (report)
        report();
}
