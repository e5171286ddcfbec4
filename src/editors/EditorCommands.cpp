#include "EditorCommands.h"

#include "PvBaseEditor.h"
#include "core/ProjectItem.h"
#include "dialogs/MacCardRename.h"
#include "dialogs/TagMenuController.h"
#include "platform/Alert.h"
#include "platform/Delays.h"
#include "platform/Dispatch.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/ProgressHud.h"
#include "platform/Storyboard.h"
#include "platform/SymbolIcons.h"
#include "platform/UserDefaults.h"
#include "richtext/QJTextAttachment.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QSaveFile>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyleHints>
#include <QTextBlock>
#include <QTimer>

#include "editors/CardNotesViewController.h"
#include "editors/ImageViewController.h"
#include "export/CardPrinting.h"
#include "export/DocumentExport.h"

EditorCommands::EditorCommands(PvBaseEditor& editor) : m_editor(editor), m_imageMenuTimer(new QTimer(this))
{
    // A second click within the interval is a double click, which opens the viewer instead.
    m_imageMenuTimer->setSingleShot(true);
    connect(m_imageMenuTimer, &QTimer::timeout, this, &EditorCommands::showImageMenu);
}

EditorCommands::~EditorCommands() = default;

// --- Menus

QMenu* EditorCommands::fontSizeMenu()
{
    auto* menu = new QMenu(&m_editor);
    menu->setObjectName(QStringLiteral("fontSizeMenu"));
    for (const FontSizeRow& row : FontSizeRows) {
        QAction* action = menu->addAction(QString::fromLatin1(row.title));
        if (row.symbol)
            action->setIcon(SymbolIcons::icon(QString::fromLatin1(row.symbol)));
        const double scale = row.scale;
        connect(action, &QAction::triggered, this, [this, scale] { changeFontScale(scale); });
    }
    return menu;
}

QMenu* EditorCommands::listMenu()
{
    auto* menu = new QMenu(&m_editor);
    menu->setObjectName(QStringLiteral("listMenu"));
    connect(menu->addAction(SymbolIcons::icon(QStringLiteral("list.bullet")), BulletedListTitle), &QAction::triggered,
            this, &EditorCommands::bulletList);
    connect(menu->addAction(SymbolIcons::icon(QStringLiteral("list.number")), NumberedListTitle), &QAction::triggered,
            this, &EditorCommands::numberedList);
    connect(menu->addAction(SymbolIcons::icon(QStringLiteral("checkmark.square")), CheckListTitle), &QAction::triggered,
            this, &EditorCommands::checkList);
    return menu;
}

QMenu* EditorCommands::overflowMenu()
{
    auto* menu = new QMenu(&m_editor);
    menu->setObjectName(QStringLiteral("overflowMenu"));
    // Rebuilt on every opening: the Title row depends on the card, and Redo is the toolbar's on the desktop.
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        menu->clear();
        if (!m_editor.isSecondaryCard())
            connect(menu->addAction(SymbolIcons::icon(QStringLiteral("text.cursor")), TitleRow), &QAction::triggered,
                    this, &EditorCommands::renameCard);
        connect(menu->addAction(SymbolIcons::icon(QStringLiteral("tag")), TagsRow), &QAction::triggered, this,
                &EditorCommands::showTagMenu);
        connect(menu->addAction(SymbolIcons::icon(QStringLiteral("text.bubble")), CardNotesRow), &QAction::triggered,
                this, &EditorCommands::showCardNotes);
        // What is written or printed is the text as it stands in the editor, unsaved changes included.
        connect(menu->addAction(SymbolIcons::icon(QStringLiteral("apps.ipad")), OpenInRow), &QAction::triggered, this,
                [this] { writeCard(DocumentExport::Purpose::OpenIn); });
        connect(menu->addAction(SymbolIcons::icon(QStringLiteral("square.and.arrow.up")), ExportRow),
                &QAction::triggered, this, [this] { writeCard(DocumentExport::Purpose::Export); });
        connect(menu->addAction(SymbolIcons::icon(QStringLiteral("printer")), PrintRow), &QAction::triggered, this,
                &EditorCommands::printCard);
        if (m_editor.offersStatistics())
            connect(menu->addAction(SymbolIcons::icon(QStringLiteral("speedometer")), StatisticsRow),
                    &QAction::triggered, &m_editor, &PvBaseEditor::showStatistics);
    });
    return menu;
}

// --- Files out

void EditorCommands::writeCard(DocumentExport::Purpose purpose)
{
    if (m_editor.isBusy())
        return;
    DocumentExport::chooseAndWrite(&m_editor, m_editor.editor(), m_editor.fullTitle(), purpose);
}

void EditorCommands::printCard()
{
    if (m_editor.isBusy())
        return;
    CardPrinting::printCard(m_editor.editor(), m_editor.fullTitle(), nullptr);
}

// --- Font scale

void EditorCommands::changeFontScale(double scale)
{
    // The waits of two quick choices may end in either order (each waits on a thread of its own): whichever ends
    // first applies the last choice, so the text always ends at what the writer chose last.
    m_chosenScale = scale;
    ++m_pendingScaleChanges;
    ProgressHud::show();
    QPointer<EditorCommands> self(this);
    Dispatch::globalAfter(Delays::scaled(IndicatorDelayMs), [self] {
        Dispatch::main([self] {
            if (self)
                self->applyChosenScale();
            else
                ProgressHud::dismiss();
        });
    });
}

void EditorCommands::applyChosenScale()
{
    // Read and changed together on the GUI thread: a second choice made during the wait starts from the size the
    // first one left, never from a stored value the text has not reached yet.
    m_editor.editor()->rescaleTo(m_chosenScale);
    UserDefaults::standard().setValue(PvTextView::ZoomKey, m_editor.editor()->fontSize());
    // The indicator stays up until the last choice is applied.
    if (--m_pendingScaleChanges == 0)
        ProgressHud::dismiss();
}

// --- Lists

void EditorCommands::bulletList()
{
    if (m_editor.editor()->textCursor().hasSelection())
        bulletSelectedLines();
    else
        insertAtCaret(BulletStart);
}

void EditorCommands::numberedList()
{
    if (m_editor.editor()->textCursor().hasSelection())
        numberSelectedLines();
    else
        insertAtCaret(QStringLiteral("1. "));
}

void EditorCommands::insertAtCaret(const QString& marker)
{
    // A command is an undo step of its own: it never joins the typing before it or after it.
    QTextCursor cursor = m_editor.editor()->textCursor();
    cursor.beginEditBlock();
    cursor.insertText(marker);
    cursor.endEditBlock();
}

void EditorCommands::checkList()
{
    PvTextView* view = m_editor.editor();
    const QTextCursor cursor = view->textCursor();
    if (cursor.hasSelection()) {
        checkboxSelectedLines();
        return;
    }
    const PvTextView::AttributedText start = view->makeUncheckedCheckboxStr(false, false);
    int length = 0;
    for (const PvTextView::Run& run : start)
        length += int(run.text.size());
    const int at = cursor.selectionStart();
    view->replace({at, 0}, start, {at + length, 0});
}

void EditorCommands::bulletSelectedLines()
{
    markSelectedLines(Marker::Bullet);
}

void EditorCommands::numberSelectedLines()
{
    markSelectedLines(Marker::Number);
}

void EditorCommands::checkboxSelectedLines()
{
    markSelectedLines(Marker::Checkbox);
}

int EditorCommands::markerLength(Marker marker, int number) const
{
    switch (marker) {
    case Marker::Bullet:
        return int(BulletStart.size());
    case Marker::Number:
        return int(QStringLiteral("%1. ").arg(number).size());
    case Marker::Checkbox:
        return 2;
    }
    return 0;
}

void EditorCommands::insertMarker(QTextCursor& cursor, Marker marker, int number)
{
    switch (marker) {
    case Marker::Bullet:
        cursor.insertText(BulletStart);
        return;
    case Marker::Number:
        cursor.insertText(QStringLiteral("%1. ").arg(number));
        return;
    case Marker::Checkbox:
        for (const PvTextView::Run& run : m_editor.editor()->makeUncheckedCheckboxStr(false, false))
            cursor.insertText(run.text, run.format);
        return;
    }
}

void EditorCommands::markSelectedLines(Marker marker)
{
    PvTextView* view = m_editor.editor();
    const QTextCursor selection = view->textCursor();
    const int start = selection.selectionStart();
    const int length = selection.selectionEnd() - start;
    // Every line the selection touches, a selection that ends on a line feed taking the next line too.
    QList<int> lineStarts{start};
    for (int position = start; position < start + length; ++position) {
        if (view->characterAt(position) == u'\n')
            lineStarts.append(position + 1);
    }
    int added = 0;
    for (int line = 0; line < lineStarts.size(); ++line)
        added += markerLength(marker, line + 1);
    // One edit block: one undo takes every marker back, and the text between them keeps its own formats.
    QTextCursor cursor(view->document());
    cursor.beginEditBlock();
    for (int line = int(lineStarts.size()) - 1; line >= 0; --line) {
        cursor.setPosition(lineStarts.at(line));
        insertMarker(cursor, marker, line + 1);
    }
    cursor.endEditBlock();
    QTextCursor marked(view->document());
    marked.setPosition(start);
    marked.setPosition(std::min(start + length + added, view->textLength()), QTextCursor::KeepAnchor);
    view->setTextCursor(marked);
}

// --- Images

std::optional<QImage> EditorCommands::imageAt(const QPoint& viewportPoint) const
{
    PvTextView* view = m_editor.editor();
    if (view->textLength() == 0)
        return std::nullopt;
    const QPointF point =
        viewportPoint + QPointF(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
    const int hit = view->document()->documentLayout()->hitTest(point, Qt::ExactHit);
    if (hit < 0 || view->characterAt(hit) != QChar::ObjectReplacementCharacter)
        return std::nullopt;
    QTextCursor cursor(view->document());
    cursor.setPosition(hit + 1);
    const QTextCharFormat format = cursor.charFormat();
    if (!format.isImageFormat())
        return std::nullopt;
    const QJTextAttachment image = QJTextAttachment::fromFormat(format, *view->document());
    if (image.image().isNull())
        return std::nullopt;
    return image.image();
}

bool EditorCommands::handleTextTap(const QPoint& viewportPoint)
{
    m_imageMenuTimer->stop();
    m_selectedImage = imageAt(viewportPoint);
    if (!m_selectedImage)
        return false;
    m_imageMenuTimer->start(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    return true;
}

bool EditorCommands::handleTextDoubleClick(const QPoint& viewportPoint)
{
    m_imageMenuTimer->stop();
    m_selectedImage = imageAt(viewportPoint);
    if (!m_selectedImage)
        return false;
    openImageViewer();
    return true;
}

bool EditorCommands::imageMenuPending() const
{
    return m_imageMenuTimer->isActive();
}

void EditorCommands::showImageMenu()
{
    if (!m_selectedImage)
        return;
    auto* sheet = new Alert(QString(), QString(), AlertStyle::ActionSheet);
    sheet->setObjectName(QStringLiteral("imageMenu"));
    QPointer<EditorCommands> self(this);
    sheet->addAction(CopyImageTitle, AlertActionStyle::Default, [self] {
        if (self)
            self->copyImage();
    });
    sheet->addAction(SaveImageTitle, AlertActionStyle::Default, [self] {
        if (self)
            self->saveImageToCameraRoll();
    });
    sheet->addAction(CancelTitle, AlertActionStyle::Cancel);
    sheet->present(&m_editor);
}

void EditorCommands::copyImage()
{
    if (!m_selectedImage)
        return;
    auto* data = new QMimeData;
    data->setImageData(*m_selectedImage);
    QGuiApplication::clipboard()->setMimeData(data);
    m_selectedImage.reset();
}

QString EditorCommands::freeFilePath(const QString& folder, const QString& stem, const QString& extension)
{
    const QDir dir(folder);
    QString path = dir.filePath(stem + u'.' + extension);
    for (int number = 2; QFileInfo::exists(path); ++number)
        path = dir.filePath(QStringLiteral("%1 %2.%3").arg(stem).arg(number).arg(extension));
    return path;
}

std::optional<QString> EditorCommands::saveImageToCameraRoll()
{
    if (!m_selectedImage)
        return std::nullopt;
    const QImage image = *m_selectedImage;
    m_selectedImage.reset();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString path = freeFilePath(folder, SavedImageStem, QStringLiteral("png"));
    // Written under a temporary name and moved into place whole: no half image ever takes the name.
    QSaveFile file(path);
    const bool saved =
        QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
    if (saved)
        return path;
    auto* alert = new Alert(SaveImageFailedTitle, SaveImageFailedMessage.arg(QDir::toNativeSeparators(folder)));
    alert->addAction(QStringLiteral("OK"));
    alert->present(&m_editor);
    return std::nullopt;
}

void EditorCommands::openImageViewer()
{
    if (!m_selectedImage || !Storyboard::contains(ImageViewerIdentifier))
        return;
    auto* viewer = dynamic_cast<ImageViewController*>(Storyboard::instantiate(ImageViewerIdentifier));
    if (!viewer)
        return;
    viewer->setImage(*m_selectedImage);
    m_selectedImage.reset();
    // The sheet's bar looks like this editor's: its background, title colour and tint.
    NavigationController* navigation = m_editor.navigationController();
    if (NavigationBar* bar = navigation ? navigation->navigationBar() : nullptr) {
        const QPalette colours = bar->palette();
        viewer->setBarTintColor(colours.color(QPalette::Window));
        viewer->setTitleTextAttributes(
            {{ImageViewController::ForegroundColorAttribute, colours.color(QPalette::WindowText)}});
        viewer->setTintColor(colours.color(QPalette::ButtonText));
    }
    m_editor.present(new NavigationController(viewer), true, {}, PresentationStyle::FormSheet);
}

// --- Title, tags, notes

void EditorCommands::renameCard()
{
    if (m_editor.isBusy())
        return;
    QPointer<PvBaseEditor> editor(&m_editor);
    // The title as the editor holds it, a rename it has not saved yet included; a new card not yet given one
    // starts empty rather than with its untitled placeholder.
    const QString title = m_editor.fullTitle();
    const bool untitled = !m_editor.currentObject() && title == m_editor.untitledTitle();
    MacCardRename::create(&m_editor, m_editor.managedObjectContext())
        ->renameCard(
            m_editor.currentObject(), true,
            [editor](const QString& title, const QString&) {
                if (editor)
                    editor->cardDetailsChanged(title);
            },
            untitled ? QString() : title);
}

void EditorCommands::showTagMenu()
{
    if (m_editor.isBusy())
        return;
    m_tags = std::make_unique<TagMenuController>();
    QPointer<EditorCommands> self(this);
    m_tags->showMenu(m_editor.currentItemType(), SetTagTitle, &m_editor.cardProps(), &m_editor,
                     [self](const QString& tagId) {
                         if (self)
                             self->applyTag(tagId);
                     });
}

void EditorCommands::applyTag(const QString& tagId)
{
    m_editor.setTag(tagId);
    m_editor.markCardChanged(true);
    m_editor.cardDetailsChanged(std::nullopt);
}

void EditorCommands::showCardNotes()
{
    if (m_editor.isBusy() || !Storyboard::contains(NotesEditorIdentifier))
        return;
    auto* notesEditor = dynamic_cast<CardNotesViewController*>(Storyboard::instantiate(NotesEditorIdentifier));
    if (!notesEditor)
        return;
    if (!m_editor.notes().isNull())
        notesEditor->setNotes(m_editor.notes());
    QPointer<PvBaseEditor> editor(&m_editor);
    notesEditor->setNotesModified([editor](const QString& notes) {
        if (!editor)
            return;
        editor->setNotes(notes);
        editor->markCardChanged(true);
        editor->cardDetailsChanged(std::nullopt);
    });
    m_editor.present(new NavigationController(notesEditor), true, {}, PresentationStyle::FormSheet);
}
