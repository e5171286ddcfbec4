#include "core/DbHelpersFixture.h"

#include "TestFiles.h"
#include "TestScreenshots.h"
#include "TestWait.h"
#include "board/BoardImportExport.h"
#include "core/DbHelpers.h"
#include "export/KUVDocPickerViewController.h"
#include "platform/Alert.h"
#include "platform/DocumentPicker.h"
#include "platform/NavigationController.h"
#include "platform/ProgressHud.h"
#include "platform/ViewController.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

const QString ProjectId = QStringLiteral("P");

} // namespace

class BoardImportExportTest : public DbHelpersFixture {
protected:
    void SetUp() override
    {
        addProject(QStringLiteral("Novel"))->setUniqueIdentifier(ProjectId);
        m_folder = addFolder(ProjectId, ItemIds::Top, QStringLiteral("Chapter"), 1)->uniqueIdentifier();
        m_other = addFolder(ProjectId, ItemIds::Top, QStringLiteral("Other"), 2)->uniqueIdentifier();
        for (int i = 1; i <= 5; ++i)
            addItem(ProjectId, m_folder, ProjectItemTypes::Story, QStringLiteral("Card %1").arg(i), i);
        ASSERT_NO_FATAL_FAILURE(save());
        m_place = {ProjectId, m_folder, QStringLiteral("My: \"Chapter\""), ProjectItemTypes::Location};
        BoardImportExport::Hooks hooks;
        hooks.stopObservingStoreChanges = [this] {
            m_calls << QStringLiteral("stop");
        };
        hooks.startObservingStoreChanges = [this] {
            m_calls << QStringLiteral("start");
        };
        hooks.reloadCards = [this] {
            m_calls << QStringLiteral("reloadCards");
        };
        hooks.reloadBoard = [this](bool end) {
            m_calls << QStringLiteral("reloadBoard %1").arg(end);
        };
        hooks.refreshSidebar = [this] {
            m_calls << QStringLiteral("sidebar");
        };
        m_board.resize(900, 700);
        m_io = std::make_unique<BoardImportExport>(
            &m_board, context(), [this] { return m_place; }, hooks);
        QObject::connect(m_io.get(), &BoardImportExport::importFinished, [this](bool ok) { m_imported = ok; });
        QObject::connect(m_io.get(), &BoardImportExport::exportFinished, [this](bool ok) { m_exported = ok; });
    }

    void TearDown() override
    {
        DocumentPicker::setChooser({});
        DocumentPicker::setPickChooser({});
        for (Alert* alert : Alert::presented())
            alert->trigger(0);
        ProgressHud::reset();
    }

    QString write(const QString& name, const QByteArray& bytes) { return writeTestFile(m_dir, name, bytes); }

    // The panel answers with path; the board moves to the other folder right after the pick.
    void pick(const QString& path)
    {
        DocumentPicker::setPickChooser(
            [this, path](QWidget*, const QString&, const QStringList& filters, DocumentPicker::Done done) {
                m_filters = filters;
                done(path);
                m_place.folderId = m_other;
            });
    }

    KUVDocPickerViewController* chooser()
    {
        auto* navigation = qobject_cast<NavigationController*>(m_board.presentedViewController());
        return navigation ? qobject_cast<KUVDocPickerViewController*>(navigation->topViewController()) : nullptr;
    }

    ViewController m_board;
    QString m_folder;
    QString m_other;
    BoardImportExport::Place m_place;
    std::unique_ptr<BoardImportExport> m_io;
    QStringList m_calls;
    QStringList m_filters;
    std::optional<bool> m_imported;
    std::optional<bool> m_exported;
    QTemporaryDir m_dir;
};

TEST_F(BoardImportExportTest, choosersOfferTheirFormats)
{
    m_io->showImportChooser();
    ASSERT_NE(chooser(), nullptr);
    EXPECT_EQ(chooser()->formTitle(), BoardImportExport::ImportTitle);
    EXPECT_EQ(chooser()->formSubTitle(), QStringLiteral("Choose a document type to import"));
    ASSERT_EQ(chooser()->formats().size(), 1);
    ASSERT_EQ(chooser()->formats()[0].size(), 3);
    EXPECT_EQ(chooser()->formats()[0][0].formatDescription, QStringLiteral("For outlining applications"));
    EXPECT_EQ(chooser()->formats()[0][2].formatTitle, QStringLiteral("Plain Text"));
    if (qEnvironmentVariableIsSet("PLOTVANE_BOARD_SHOT"))
        grabInBothAppearances(m_board.presentedViewController()->window(), QStringLiteral("board-import-chooser"));
    chooser()->cancel();
    ASSERT_TRUE(waitFor([&] { return m_board.presentedViewController() == nullptr; }));
    m_io->showExportChooser();
    ASSERT_NE(chooser(), nullptr);
    EXPECT_EQ(chooser()->formTitle(), QStringLiteral("Export"));
    EXPECT_EQ(chooser()->formSubTitle(), QStringLiteral("Choose a document type to export"));
    ASSERT_EQ(chooser()->formats()[0].size(), 2);
    EXPECT_EQ(chooser()->formats()[0][1].formatTitle, QStringLiteral("CSV"));
    if (qEnvironmentVariableIsSet("PLOTVANE_BOARD_SHOT"))
        grabInBothAppearances(m_board.presentedViewController()->window(), QStringLiteral("board-export-chooser"));
    chooser()->cancel();
}

TEST_F(BoardImportExportTest, outlineFollowsTheStoredChildrenOfThePickedFolder)
{
    pick(write(QStringLiteral("outline.OPML"), "<opml><body><outline text=\"New\"><outline text=\"Inner\"/>"
                                               "</outline></body></opml>"));
    m_io->importRow(BoardImportExport::ImportOpml);
    ASSERT_TRUE(waitFor([&] { return m_imported.has_value(); }));
    EXPECT_TRUE(*m_imported);
    const QList<ProjectItem*> items = DbHelpers::getFolderItems(context(), ProjectId, m_folder);
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items.last()->title(), QStringLiteral("New"));
    EXPECT_EQ(items.last()->displayOrder(), 6);
    EXPECT_EQ(DbHelpers::getFolderItemsCount(context(), ProjectId, m_other), 0u);
    EXPECT_EQ(m_calls, QStringList({"stop", "reloadCards", "sidebar", "start"}));
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(BoardImportExportTest, brokenOutlineShowsErrorAndAddsNothing)
{
    pick(write(QStringLiteral("bad.opml"), "<opml><body><outline text=\"x\"></body>"));
    m_io->importRow(BoardImportExport::ImportOpml);
    ASSERT_TRUE(waitFor([&] { return m_imported.has_value(); }));
    EXPECT_FALSE(*m_imported);
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->title(), BoardImportExport::ErrorTitle);
    EXPECT_EQ(DbHelpers::getFolderItemsCount(context(), ProjectId, m_folder), 5u);
    EXPECT_TRUE(m_calls.contains(QStringLiteral("start")));
}

TEST_F(BoardImportExportTest, upperCaseTextFileBecomesCardOfTheFilteredType)
{
    pick(write(QStringLiteral("NOTES.TXT"), "A quiet inn by the road."));
    m_io->importRow(BoardImportExport::ImportPlainText);
    EXPECT_EQ(m_filters, BoardImportExport::nameFilters(BoardImportExport::ImportPlainText));
    ASSERT_TRUE(waitFor([&] { return m_imported.has_value(); }));
    EXPECT_TRUE(*m_imported);
    const QList<ProjectItem*> items = DbHelpers::getFolderItems(context(), ProjectId, m_folder);
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items.last()->itemType(), ProjectItemTypes::Location);
    EXPECT_EQ(items.last()->displayOrder(), 6);
    EXPECT_EQ(m_calls, QStringList({"stop", "reloadBoard 1", "start", "sidebar"}));
}

TEST_F(BoardImportExportTest, otherEndingIsRefusedWithTheMessage)
{
    pick(write(QStringLiteral("novel.docx"), "PK"));
    m_io->importRow(BoardImportExport::ImportRtf);
    ASSERT_TRUE(m_imported.has_value());
    EXPECT_FALSE(*m_imported);
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->message(),
              QStringLiteral("Unable to import the specified file.\r\nOnly RTF, Plain Text and OPML files may be "
                             "imported."));
    EXPECT_TRUE(m_calls.isEmpty());
}

TEST_F(BoardImportExportTest, exportOffersTheFolderUnderItsTitleAndStagesPrivately)
{
    QString suggested;
    const QString target = m_dir.filePath(QStringLiteral("chosen.csv"));
    DocumentPicker::setChooser([&](QWidget*, const QString& name, DocumentPicker::Done done) {
        suggested = name;
        m_place.folderId = m_other;
        done(target);
    });
    m_io->exportRow(BoardImportExport::ExportCsv);
    ASSERT_TRUE(waitFor([&] { return m_exported.has_value(); }));
    EXPECT_TRUE(*m_exported);
    EXPECT_EQ(suggested, QStringLiteral("My: Chapter.csv"));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("Story,\"Card 1\",\"\"\n"));
    // Gone while the export waits, it writes nothing and leaves no progress on screen.
    m_io->exportRow(BoardImportExport::ExportOpml);
    m_io.reset();
    ASSERT_TRUE(waitFor([] { return !ProgressHud::isActive(); }));
}

TEST_F(BoardImportExportTest, aFolderWithoutCardsIsOfferedAsAnEmptyTable)
{
    QString offered;
    const QString target = m_dir.filePath(QStringLiteral("empty.csv"));
    DocumentPicker::setChooser([&](QWidget*, const QString& name, DocumentPicker::Done done) {
        offered = name;
        done(target);
    });
    m_place.folderId = m_other;
    m_io->exportRow(BoardImportExport::ExportCsv);
    ASSERT_TRUE(waitFor([&] { return m_exported.has_value(); }));
    EXPECT_TRUE(*m_exported);
    EXPECT_EQ(offered, QStringLiteral("My: Chapter.csv"));
    EXPECT_TRUE(Alert::presented().isEmpty());
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.size(), 0);
}

TEST_F(BoardImportExportTest, aCopyThatCannotBeMadeShowsTheError)
{
    DocumentPicker::setChooser([&](QWidget*, const QString&, DocumentPicker::Done done) {
        done(m_dir.filePath(QStringLiteral("no such folder/chosen.csv")));
    });
    m_io->exportRow(BoardImportExport::ExportCsv);
    ASSERT_TRUE(waitFor([&] { return m_exported.has_value(); }));
    EXPECT_FALSE(*m_exported);
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->message(), BoardImportExport::ExportFailedMessage);
}
