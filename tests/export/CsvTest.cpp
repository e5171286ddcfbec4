#include "core/DbHelpersFixture.h"

#include "ExternalTools.h"
#include "RequiredTools.h"
#include "export/Csv.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

const QString ProjectId = QStringLiteral("P");

} // namespace

class CsvTest : public DbHelpersFixture {
protected:
    void SetUp() override
    {
        addProject(QStringLiteral("Novel"))->setUniqueIdentifier(ProjectId);
        ASSERT_NO_FATAL_FAILURE(save());
    }

    ProjectItem* card(const QString& parent, qint64 type, const QString& title, qint64 order,
                      const QString& summary = QString())
    {
        ProjectItem* item = addItem(ProjectId, parent, type, title, order);
        item->setSummary(summary);
        return item;
    }

    QString csv(const QString& start = ItemIds::Top) { return Csv().getCsvWithContext(context(), ProjectId, start); }
};

TEST_F(CsvTest, emptyProjectGivesEmptyText)
{
    EXPECT_EQ(csv(), QString());
}

TEST_F(CsvTest, labelsQuotingAndNestedFolderPlace)
{
    card(ItemIds::Top, ProjectItemTypes::Person, QStringLiteral("Ann"), 1, QStringLiteral("tall, \"kind\""));
    ProjectItem* a = addFolder(ProjectId, ItemIds::Top, QStringLiteral("A"), 2);
    ProjectItem* b = addFolder(ProjectId, a->uniqueIdentifier(), QStringLiteral("B"), 1);
    ProjectItem* c = addFolder(ProjectId, b->uniqueIdentifier(), QStringLiteral("C"), 1);
    card(c->uniqueIdentifier(), ProjectItemTypes::Thing, QStringLiteral("Ring"), 1, QStringLiteral("line\nbreak"));
    card(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Say \"hi\""), 3);
    card(ItemIds::Top, 42, QStringLiteral("Unknown type"), 4);
    card(ItemIds::Top, ProjectItemTypes::Event, QString(), 5);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(csv(), QStringLiteral("Character,\"Ann\",\"tall, \"\"kind\"\"\"\n"
                                    "Props,\"Ring\",\"line\nbreak\"\n"
                                    "Story,\"Say \"\"hi\"\"\",\"\"\n"));
    EXPECT_EQ(csv(b->uniqueIdentifier()), QStringLiteral("Props,\"Ring\",\"line\nbreak\"\n"));
}

TEST_F(CsvTest, folderCycleEndsTheWalk)
{
    ProjectItem* a = addFolder(ProjectId, ItemIds::Top, QStringLiteral("A"), 1);
    ProjectItem* b = addFolder(ProjectId, a->uniqueIdentifier(), QStringLiteral("B"), 1);
    a->setParentItemId(b->uniqueIdentifier());
    card(b->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("Loop"), 2);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(csv(a->uniqueIdentifier()), QStringLiteral("Idea,\"Loop\",\"\"\n"));
}

TEST_F(CsvTest, pythonCsvReadsEveryField)
{
    REQUIRE_TOOL("python3");
    card(ItemIds::Top, ProjectItemTypes::Location, QStringLiteral("Inn, \"Red\""), 1, QStringLiteral("two\nlines"));
    card(ItemIds::Top, ProjectItemTypes::Reminder, QStringLiteral("Café"), 2);
    ASSERT_NO_FATAL_FAILURE(save());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(csv().toUtf8());
    file.close();
    const ExternalTools::Run run =
        ExternalTools::run(QStringLiteral("python3"),
                           {QStringLiteral("-c"),
                            QStringLiteral("import csv, sys, json\n"
                                           "rows = list(csv.reader(open(sys.argv[1], encoding='utf-8', newline='')))\n"
                                           "sys.stdout.write(json.dumps(rows))\n"),
                            path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(run.out),
              QStringLiteral(
                  "[[\"Location\", \"Inn, \\\"Red\\\"\", \"two\\nlines\"], [\"Reminder\", \"Caf\\u00e9\", \"\"]]"));
}
