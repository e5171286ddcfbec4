#include "export/CompiledViewController.h"

#include "SampleDocument.h"
#include "TestScreenshots.h"
#include "TestWait.h"
#include "core/DbHelpersFixture.h"
#include "export/DocumentExport.h"
#include "export/ExportStaging.h"
#include "export/KUVDocFormatCell.h"
#include "export/KUVDocPickerViewController.h"
#include "export/SSZipArchive.h"
#include "platform/Alert.h"
#include "platform/Delays.h"
#include "platform/Dispatch.h"
#include "platform/DocumentPicker.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/ProgressHud.h"
#include "platform/UserDefaults.h"
#include "richtext/CheckboxAttachment.h"
#include "richtext/CheckboxImages.h"
#include "richtext/PvTextView.h"
#include "richtext/RichTextDocumentFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QMutex>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextFrame>
#include <QToolBar>
#include <QToolButton>

namespace {

// Keeps the warnings the console gets while it lives, so that a test sees what an export reports there.
class ConsoleWarnings {
public:
    ConsoleWarnings() { s_previous = qInstallMessageHandler(&ConsoleWarnings::keep); }
    ~ConsoleWarnings() { qInstallMessageHandler(s_previous); }
    static inline QStringList lines;

private:
    static void keep(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        // Pictures are encoded on worker threads, which may warn too.
        const QMutexLocker lock(&s_mutex);
        if (type == QtWarningMsg)
            lines.append(message);
    }
    static inline QtMessageHandler s_previous = nullptr;
    static inline QMutex s_mutex;
};

} // namespace

class CompiledViewControllerTest : public DbHelpersFixture {
protected:
    void SetUp() override
    {
        Delays::setFactor(0);
        UserDefaults::standard().removeObject(CompiledViewController::FontSizeKey);
        m_projectId = addProject(QStringLiteral("Novel"))->uniqueIdentifier();
        for (int i = 1; i <= 3; ++i) {
            auto body = SampleDocument::empty();
            QTextCursor cursor(body.get());
            cursor.insertText(QStringLiteral("Scene %1 begins, and the harbour lights come on one by one.").arg(i),
                              SampleDocument::plain());
            if (i != 2) {
                cursor.insertBlock();
                SampleDocument::insertPicture(cursor, SampleDocument::picture(i == 1 ? Qt::red : Qt::blue, 120, 60));
            }
            ProjectItem* card =
                addItem(m_projectId, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Scene %1").arg(i), i);
            addDocument(card)->setContent(*RichTextDocumentFormat::getData(*body, std::nullopt));
        }
        ASSERT_NO_FATAL_FAILURE(save());
        ASSERT_NO_FATAL_FAILURE(openCompiled());
    }

    // The manuscript screen over the project's top folder, shown once its compiled text is in.
    void openCompiled()
    {
        m_controller = new CompiledViewController;
        m_controller->managedObjectContext = context();
        m_controller->projectId = m_projectId;
        m_controller->folderId = ItemIds::Top;
        m_controller->folderTitle = QStringLiteral("The Harbour: a novel in three scenes, with a long subtitle");
        m_navigation = new NavigationController(m_controller);
        m_navigation->resize(1400, 900);
        m_navigation->show();
        ViewController::transitionAppearance(m_navigation, true, false);
        ASSERT_TRUE(waitFor([this] { return !ProgressHud::isActive() && text().contains(QStringLiteral("Scene 3")); }));
    }

    void closeCompiled()
    {
        ViewController::transitionAppearance(m_navigation, false, false);
        delete m_navigation;
        m_navigation = nullptr;
    }

    void TearDown() override
    {
        for (Alert* alert : Alert::presented())
            alert->trigger(0);
        if (m_navigation)
            closeCompiled();
        DocumentPicker::setChooser({});
        DocumentPicker::setOpener({});
        ProgressHud::reset();
        Delays::setFactor(1);
    }

    QString text() const
    {
        return m_controller->isViewLoaded() ? m_controller->compiledView()->document()->toPlainText() : QString();
    }

    static QByteArray documentXmlOf(const QString& docx)
    {
        QTemporaryDir out;
        if (!SSZipArchive::unzipFileAtPath(docx, out.path()))
            return {};
        QFile file(QDir(out.path()).filePath(QStringLiteral("word/document.xml")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The document-type picker presented over the manuscript, once its tiles are laid out.
    KUVDocPickerViewController* presentedPicker()
    {
        ViewController* top = ViewController::topmostPresented(m_navigation);
        auto* picker = top ? top->findChild<KUVDocPickerViewController*>() : nullptr;
        if (!picker)
            return nullptr;
        QListView* grid = picker->collectionView();
        const bool ready = waitFor([&] {
            return grid->isVisible() && grid->model()->rowCount() == 4 &&
                   grid->visualRect(grid->model()->index(3, 0)).isValid();
        });
        return ready ? picker : nullptr;
    }

    static void clickTile(KUVDocPickerViewController& picker, int row)
    {
        QListView* grid = picker.collectionView();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, 0)).center());
    }

    QString m_projectId;
    CompiledViewController* m_controller = nullptr;
    NavigationController* m_navigation = nullptr;
};

TEST_F(CompiledViewControllerTest, showsTheManuscriptReadOnlyWithTheTrimmedTitle)
{
    const QChar picture(QChar::ObjectReplacementCharacter);
    EXPECT_EQ(text(), QStringLiteral("Scene 1 begins, and the harbour lights come on one by one.\n%1\n\n###\n\n"
                                     "Scene 2 begins, and the harbour lights come on one by one.\n\n###\n\n"
                                     "Scene 3 begins, and the harbour lights come on one by one.\n%1\n\n\n\n")
                          .arg(picture));
    EXPECT_TRUE(m_controller->compiledView()->isReadOnly());
    EXPECT_EQ(m_controller->getTitle(), QStringLiteral("The Harbour: a novel in three scenes, wi..."));
}

TEST_F(CompiledViewControllerTest, theTextReachesTheViewsEdgesWithNoFrameAroundIt)
{
    PvTextView* view = m_controller->compiledView();
    ASSERT_TRUE(waitFor([&] { return view->isVisible(); }));
    EXPECT_EQ(view->viewport()->geometry().topLeft(), QPoint(0, 0));
    // And the view fills the screen's width, with no margin round it.
    EXPECT_EQ(view->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(view->width(), m_controller->width());
}

TEST_F(CompiledViewControllerTest, everyParagraphDownToTheLastHasTheSameLineSpacing)
{
    const QTextDocument* shown = m_controller->compiledView()->document();
    ASSERT_GE(shown->blockCount(), 3);
    for (QTextBlock block = shown->begin(); block.isValid(); block = block.next()) {
        SCOPED_TRACE(block.blockNumber());
        EXPECT_EQ(block.blockFormat().lineHeightType(), int(QTextBlockFormat::LineDistanceHeight));
        EXPECT_EQ(block.blockFormat().lineHeight(), CompiledViewController::LineSpacing);
    }
}

TEST_F(CompiledViewControllerTest, landscapeWindowsGetWideGuttersAndPortraitNarrowOnes)
{
    m_navigation->navigationBar()->setFixedHeight(50);
    EXPECT_EQ(m_controller->gutters(QSize(1400, 900)).left(), 233);
    EXPECT_EQ(m_controller->gutters(QSize(900, 1400)).left(), CompiledViewController::NarrowGutter);
    EXPECT_EQ(m_controller->gutters(QSize(900, 1400)).top(), CompiledViewController::VerticalGutter);
}

TEST_F(CompiledViewControllerTest, theCompiledTextArrivesWithItsGuttersAlreadyInPlace)
{
    // No resize follows the text's arrival: the gutters must come with it.
    const QTextFrameFormat frame = m_controller->compiledView()->document()->rootFrame()->frameFormat();
    const QMargins expected = m_controller->gutters(m_controller->size());
    EXPECT_GT(expected.left(), CompiledViewController::NarrowGutter) << "a landscape window";
    EXPECT_EQ(frame.leftMargin(), std::min(expected.left(), m_controller->width() / 3));
    EXPECT_EQ(frame.rightMargin(), frame.leftMargin());
    EXPECT_EQ(frame.topMargin(), CompiledViewController::VerticalGutter);
    EXPECT_EQ(frame.bottomMargin(), CompiledViewController::VerticalGutter);
}

TEST_F(CompiledViewControllerTest, turningTheWindowUprightNarrowsTheSideGuttersOfTheShownText)
{
    // The top gutter stays the same; the sides alone change and must still be applied.
    m_navigation->resize(900, 1400);
    QTextDocument* shown = m_controller->compiledView()->document();
    EXPECT_TRUE(waitFor(
        [&] { return shown->rootFrame()->frameFormat().leftMargin() == CompiledViewController::NarrowGutter; }));
    EXPECT_EQ(shown->rootFrame()->frameFormat().rightMargin(), CompiledViewController::NarrowGutter);
    EXPECT_EQ(shown->rootFrame()->frameFormat().topMargin(), CompiledViewController::VerticalGutter);
}

TEST_F(CompiledViewControllerTest, choosingSmallerStoresTheScaleAndRescalesFromTheOldOne)
{
    m_controller->setScaleFont(1.1);
    ASSERT_TRUE(waitFor([] { return !ProgressHud::isActive(); }));
    EXPECT_DOUBLE_EQ(UserDefaults::standard().value(CompiledViewController::FontSizeKey).toDouble(), 1.1);
    EXPECT_DOUBLE_EQ(m_controller->compiledView()->fontSize(), 1.1);
    QTextCursor cursor(m_controller->compiledView()->document());
    cursor.setPosition(1);
    EXPECT_NEAR(cursor.charFormat().fontPointSize(), 14.0 * 1.1, 0.01);
}

TEST_F(CompiledViewControllerTest, exportCopiesToTheChosenPlaceAndLeavesNoPrivateCopy)
{
    // Shown light on dark, the manuscript is still written in black.
    struct PaletteKept {
        QPalette palette = QApplication::palette();
        ~PaletteKept() { QApplication::setPalette(palette); }
    } light;
    QPalette dark = light.palette;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x20));
    QApplication::setPalette(dark);
    QApplication::processEvents();
    QTextCursor shown(m_controller->compiledView()->document());
    shown.setPosition(1);
    ASSERT_EQ(shown.charFormat().foreground().color(), QColor(0xDE, 0xDE, 0xDF));
    QTemporaryDir chosen;
    const QString destination = chosen.filePath(QStringLiteral("Manuscript.docx"));
    QString suggested;
    DocumentPicker::setChooser([&](QWidget*, const QString& name, DocumentPicker::Done done) {
        suggested = name;
        done(destination);
    });
    ConsoleWarnings::lines.clear();
    const ConsoleWarnings warnings;
    m_controller->exportManuscript(0);
    ASSERT_TRUE(waitFor([this] { return !m_controller->exportPath().isEmpty(); }));
    EXPECT_EQ(suggested, QStringLiteral("The Harbour: a novel in three scenes, wi....docx"));
    EXPECT_EQ(m_controller->exportPath(), destination);
    const QByteArray xml = documentXmlOf(destination);
    EXPECT_EQ(xml.count("Scene "), 3);
    EXPECT_EQ(xml.count("<w:drawing>"), 2);
    EXPECT_EQ(xml.count("<w:color w:val=\"000000\"/>"), xml.count("<w:rPr>")) << "written in black";
    const QString exports =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("Exports"));
    EXPECT_TRUE(QDir(exports).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    // The private folder went as it should, so the console reports no failed delete.
    EXPECT_TRUE(ConsoleWarnings::lines.filter(QStringLiteral("Delete file error")).isEmpty())
        << ConsoleWarnings::lines.join(u'\n').toStdString();
}

TEST_F(CompiledViewControllerTest, cancellingTheExportLeavesNothingBehind)
{
    bool asked = false;
    DocumentPicker::setChooser([&](QWidget*, const QString&, DocumentPicker::Done done) {
        asked = true;
        done(std::nullopt);
    });
    m_controller->exportManuscript(2);
    ASSERT_TRUE(waitFor([&] { return asked; }));
    EXPECT_TRUE(m_controller->exportPath().isEmpty());
    const QString exports =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("Exports"));
    EXPECT_TRUE(QDir(exports).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(CompiledViewControllerTest, openInNeverReplacesAFileAlreadyInDownloads)
{
    const QString downloads = *ExportStaging::downloadsFolder();
    const QString taken = QDir(downloads).filePath(QStringLiteral("The Harbour: a novel in three scenes, wi....txt"));
    {
        QFile existing(taken);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("the writer's own file");
    }
    QString opened;
    DocumentPicker::setOpener([&](const QString& path) {
        opened = path;
        return true;
    });
    m_controller->openManuscriptInApplication(3);
    ASSERT_TRUE(waitFor([&] { return !opened.isEmpty(); }));
    EXPECT_EQ(opened, QDir(downloads).filePath(QStringLiteral("The Harbour: a novel in three scenes, wi... 2.txt")));
    QFile original(taken);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), "the writer's own file");
    QFile written(opened);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("Scene 1 begins"));
    QFile::remove(taken);
    QFile::remove(opened);
    // Written privately first, the private copy is gone once the file is in Downloads.
    const QDir exports(
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("Exports")));
    EXPECT_TRUE(exports.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(CompiledViewControllerTest, aFailedWriteShowsErrorAndOpensNothing)
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    QDir(downloads).removeRecursively();
    {
        // A file where the Downloads folder should be: nothing can be written there.
        QFile blocker(downloads);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    bool opened = false;
    DocumentPicker::setOpener([&](const QString&) { return opened = true; });
    m_controller->openManuscriptInApplication(0);
    ASSERT_TRUE(waitFor([] { return Alert::topmost() != nullptr; }));
    EXPECT_EQ(Alert::topmost()->title(), DocumentExport::ErrorTitle);
    EXPECT_FALSE(opened);
    QFile::remove(downloads);
}

TEST_F(CompiledViewControllerTest, thePickerOffersTheFourTypesAndReportsTheChosenRow)
{
    int chosenRow = -1;
    DocumentExport::presentPicker(m_controller, DocumentExport::Purpose::Export, [&](int row) { chosenRow = row; });
    KUVDocPickerViewController* picker = presentedPicker();
    ASSERT_NE(picker, nullptr);
    QAbstractItemModel* tiles = picker->collectionView()->model();
    QStringList titles;
    for (int row = 0; row < tiles->rowCount(); ++row)
        titles << tiles->index(row, 0).data().toString();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Word"), QStringLiteral("RTF"), QStringLiteral("Apple RTF"),
                                   QStringLiteral("Plain Text")}));
    EXPECT_EQ(tiles->index(3, 0).data(KUVDocFormatCell::DescriptionRole).toString(),
              QStringLiteral("Images are not included"));
    EXPECT_EQ(KUVDocPickerViewController::tileSize(350), QSize(145, 193));
    clickTile(*picker, 2);
    ASSERT_TRUE(waitFor([&] { return chosenRow >= 0; }));
    EXPECT_EQ(chosenRow, 2);
}

TEST_F(CompiledViewControllerTest, aViewGoneWhileThePickerIsOpenStartsNoWork)
{
    Delays::setFactor(1);
    auto* view = new PvTextView;
    DocumentExport::chooseAndWrite(m_controller, view, QStringLiteral("Gone"), DocumentExport::Purpose::OpenIn);
    KUVDocPickerViewController* picker = presentedPicker();
    ASSERT_NE(picker, nullptr);
    delete view;
    clickTile(*picker, 3);
    // The choice reaches the caller on the next turn of the loop; this runs right after it.
    bool chosen = false;
    Dispatch::main([&] { chosen = true; });
    ASSERT_TRUE(waitFor([&] { return chosen; }));
    EXPECT_FALSE(ProgressHud::isActive()) << "no indicator for work that cannot be done";
}

TEST_F(CompiledViewControllerTest, theToolbarShowsExportOpenInAndTextSizeInThatOrderWithoutOverlap)
{
    QToolBar* bar = m_controller->toolbar();
    QWidget* exportButton = bar->widgetForAction(bar->findChild<QAction*>(QStringLiteral("exportButton")));
    QWidget* openIn = bar->widgetForAction(bar->findChild<QAction*>(QStringLiteral("openInButton")));
    auto* textSize = bar->findChild<QToolButton*>(QStringLiteral("fontButton"));
    ASSERT_TRUE(exportButton && openIn && textSize);
    ASSERT_TRUE(waitFor([&] { return exportButton->isVisible() && openIn->isVisible() && textSize->isVisible(); }));
    EXPECT_LT(exportButton->geometry().right(), openIn->geometry().left());
    EXPECT_LT(openIn->geometry().right(), textSize->geometry().left());
    EXPECT_GT(textSize->geometry().left(), bar->width() / 2) << "Text Size sits at the far end";
    // Each says what it does beside its symbol.
    for (QWidget* button : {exportButton, openIn, static_cast<QWidget*>(textSize)}) {
        const QString label = qobject_cast<QToolButton*>(button)->text();
        EXPECT_GT(button->width(), button->fontMetrics().horizontalAdvance(label)) << label.toStdString();
    }
    for (QWidget* button : {exportButton, openIn, static_cast<QWidget*>(textSize)})
        EXPECT_EQ(qobject_cast<QToolButton*>(button)->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
}

// The export panel may answer after the screen that asked has closed: the answer touches nothing of it.
TEST_F(CompiledViewControllerTest, anExportPanelAnsweringAfterTheScreenClosedStillReportsAndTouchesNothingGone)
{
    DocumentPicker::Done answer;
    DocumentPicker::setChooser([&](QWidget*, const QString&, DocumentPicker::Done done) { answer = std::move(done); });
    m_controller->exportManuscript(2);
    ASSERT_TRUE(waitFor([&] { return bool(answer); }));
    ViewController::transitionAppearance(m_navigation, false, false);
    delete m_navigation;
    m_navigation = nullptr;
    QTemporaryDir chosen;
    // A place that cannot be written: the copy fails and the error has no screen left to stand over.
    answer(chosen.filePath(QStringLiteral("missing/Manuscript.rtfd")));
    ASSERT_TRUE(waitFor([] { return Alert::topmost() != nullptr; }));
    EXPECT_EQ(Alert::topmost()->title(), DocumentExport::ErrorTitle);
    const QString exports =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("Exports"));
    EXPECT_TRUE(QDir(exports).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(CompiledViewControllerTest, cancellingThePickerReportsNothing)
{
    bool called = false;
    DocumentExport::presentPicker(m_controller, DocumentExport::Purpose::OpenIn, [&](int) { called = true; });
    ViewController* top = ViewController::topmostPresented(m_navigation);
    ASSERT_NE(top, nullptr);
    auto* picker = top->findChild<KUVDocPickerViewController*>();
    ASSERT_NE(picker, nullptr);
    picker->cancel();
    runEventsFor(50);
    EXPECT_FALSE(called);
    EXPECT_EQ(ViewController::topmostPresented(m_navigation), m_navigation);
}

TEST_F(CompiledViewControllerTest, aTitleStartingWithAColonIsWrittenIntoDownloads)
{
    QString opened;
    DocumentPicker::setOpener([&](const QString& path) {
        opened = path;
        return true;
    });
    auto text = SampleDocument::text(QStringLiteral("words"));
    const auto written = DocumentExport::openInApplication(*text, QStringLiteral(":Colon title"), 3, m_controller);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, *ExportStaging::downloadsFolder() + QStringLiteral("/:Colon title.txt"));
    EXPECT_TRUE(QFile::exists(*written));
    EXPECT_FALSE(QFile::exists(QStringLiteral(":Colon title.txt")));
    QFile::remove(*written);
}

TEST_F(CompiledViewControllerTest, screenshotsInBothAppearances)
{
    grabInBothAppearances(m_navigation, QStringLiteral("compiled-view"));
    DocumentExport::presentPicker(m_controller, DocumentExport::Purpose::Export, {});
    ViewController* top = ViewController::topmostPresented(m_navigation);
    ASSERT_NE(top, nullptr);
    grabInBothAppearances(top->window(), QStringLiteral("document-type-picker"));
}

TEST_F(CompiledViewControllerTest, textShownFollowsTheColourScheme)
{
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x20));
    dark.setColor(QPalette::WindowText, Qt::white);
    QApplication::setPalette(dark);
    QApplication::processEvents();
    QTextCursor cursor(m_controller->compiledView()->document());
    cursor.setPosition(1);
    const QColor shown = cursor.charFormat().foreground().color();
    QApplication::setPalette(light);
    QApplication::processEvents();
    EXPECT_EQ(shown, QColor(0xDE, 0xDE, 0xDF));
    cursor.setPosition(1);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(Qt::black));
}

// The image names of the checkboxes of text, in order.
std::string checkboxImages(const QTextDocument& text)
{
    QStringList names;
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (CheckboxAttachment::isCheckboxFormat(it.fragment().charFormat()))
                names << it.fragment().charFormat().stringProperty(CheckboxAttachment::ImageNameProperty);
    return names.join(QLatin1Char(' ')).toStdString();
}

// The names of a ticked box, then an empty one, made in that appearance.
std::string boxPair(bool dark)
{
    return (CheckboxImages::nameFor(true, dark) + QLatin1Char(' ') + CheckboxImages::nameFor(false, dark))
        .toStdString();
}

TEST_F(CompiledViewControllerTest, checkboxesAreDrawnForThePageTheyAreShownOnAndWrittenForPaper)
{
    auto body = SampleDocument::empty();
    QTextCursor cursor(body.get());
    cursor.insertText(QStringLiteral("Lamps: "), SampleDocument::plain());
    SampleDocument::insertCheckbox(cursor, true);
    SampleDocument::insertCheckbox(cursor, false);
    ProjectItem* card = addItem(m_projectId, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Lamps"), 4);
    addDocument(card)->setContent(*RichTextDocumentFormat::getData(*body, std::nullopt));
    ASSERT_NO_FATAL_FAILURE(save());
    const QPalette light = QApplication::palette();
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        closeCompiled();
        QApplication::setPalette(dark ? darkPalette(light) : light);
        ASSERT_NO_FATAL_FAILURE(openCompiled());
        PvTextView* view = m_controller->compiledView();
        ASSERT_TRUE(waitFor([&] { return text().contains(QStringLiteral("Lamps")); }));
        EXPECT_EQ(checkboxImages(*view->document()), boxPair(dark));
        // On screen the ticked box stands out from the page as the text does: light on the dark page.
        QTextCursor box(view->document());
        box.setPosition(int(text().indexOf(QStringLiteral("Lamps: ")) + 7));
        view->setTextCursor(box);
        view->ensureCursorVisible();
        QApplication::processEvents();
        const QRect from = view->cursorRect(box);
        box.movePosition(QTextCursor::NextCharacter);
        const QRect to = view->cursorRect(box);
        const QImage shown = view->viewport()->grab().toImage();
        const double scale = view->viewport()->devicePixelRatioF();
        const QColor page = shown.pixelColor(int(from.left() * scale) - 2, int(from.top() * scale));
        int strongest = 0;
        for (int y = int(from.top() * scale); y < int((from.bottom() + 6) * scale); ++y)
            for (int x = int(from.left() * scale); x < int(to.left() * scale); ++x)
                strongest = std::max(strongest, std::abs(shown.pixelColor(x, y).lightness() - page.lightness()));
        EXPECT_GT(strongest, 120) << "a box that is seen on " << page.name().toStdString();
        // A file is paper: its boxes are the light ones, whichever page the manuscript was shown on.
        EXPECT_EQ(checkboxImages(*DocumentExport::preparedText(*view)), boxPair(false));
    }
    QApplication::setPalette(light);
}

TEST_F(CompiledViewControllerTest, aWriteThatFailsLeavesNoPrivateFolderAndReportsNoDestination)
{
    QString staged;
    std::optional<std::optional<QString>> reported;
    DocumentExport::exportFile(
        QStringLiteral("Broken.txt"),
        [&](const QString& path) {
            staged = path;
            QFile part(path);
            if (part.open(QIODevice::WriteOnly))
                part.write("half");
            return false;
        },
        m_controller, [&](const std::optional<QString>& to) { reported = to; });
    ASSERT_FALSE(staged.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(staged).path())) << "the half-written file's folder is removed";
    ASSERT_TRUE(reported.has_value());
    EXPECT_FALSE(reported->has_value());
    ASSERT_TRUE(waitFor([] { return Alert::topmost() != nullptr; }));
    EXPECT_EQ(Alert::topmost()->title(), DocumentExport::ErrorTitle);
}

TEST_F(CompiledViewControllerTest, aViewGoneBeforeTheWorkStartsPutsTheIndicatorAway)
{
    auto* view = new PvTextView;
    bool reported = false;
    DocumentExport::writeFromView(m_controller, view, QStringLiteral("Gone"), DocumentExport::Purpose::OpenIn, 3,
                                  [&](const std::optional<QString>&) { reported = true; });
    EXPECT_TRUE(ProgressHud::isActive());
    delete view;
    ASSERT_TRUE(waitFor([] { return !ProgressHud::isActive(); }));
    EXPECT_FALSE(reported) << "nothing is written for a view that is gone";
}

TEST(DocumentExportTest, aRowOutsideTheListIsPlainText)
{
    EXPECT_EQ(DocumentExport::row(0).extension, QStringLiteral("docx"));
    EXPECT_EQ(DocumentExport::row(3).extension, QStringLiteral("txt"));
    for (const int index : {-1, 4})
        EXPECT_EQ(DocumentExport::row(index).extension, QStringLiteral("txt")) << index;
}
