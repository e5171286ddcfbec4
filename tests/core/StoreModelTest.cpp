#include "TestStore.h"

#include "core/CardTemplate.h"
#include "core/CardType.h"
#include "core/EditorState.h"
#include "core/Project.h"
#include "core/ProjectCardType.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/ProjectSetting.h"
#include "core/ProjectStat.h"
#include "core/ProjectTemplate.h"
#include "core/ProjectTemplateSetting.h"
#include "core/StoreConstants.h"
#include "core/StoreModel.h"

#include <QTimeZone>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

namespace {

using Attributes = std::map<QString, AttributeType>;

constexpr auto Text = AttributeType::String;
constexpr auto Integer = AttributeType::Integer;
constexpr auto Number = AttributeType::Double;
constexpr auto Date = AttributeType::Date;
constexpr auto Data = AttributeType::Binary;

// Written out by hand, independent of the classes: the names stored records already carry.
const std::map<QString, Attributes>& expectedEntities()
{
    static const std::map<QString, Attributes> entities = {
        {"Project",
         {{"uniqueIdentifier", Text},
          {"projectTitle", Text},
          {"image", Data},
          {"lastModified", Date},
          {"displayOrder", Integer},
          {"projectDate", Date},
          {"projectType", Integer},
          {"linkedPath", Text}}},
        {"ProjectItem",
         {{"uniqueIdentifier", Text},
          {"projectId", Text},
          {"parentItemId", Text},
          {"title", Text},
          {"summary", Text},
          {"summaryImage", Data},
          {"itemType", Integer},
          {"itemFormat", Integer},
          {"folderType", Integer},
          {"tag", Text},
          {"notes", Text},
          {"terms", Text},
          {"wordCount", Integer},
          {"charCount", Integer},
          {"displayOrder", Integer},
          {"lastModified", Date},
          {"cursorPosition", Number},
          {"customItemType", Text},
          {"linkedPath", Text},
          {"path", Text},
          {"dueDate", Date},
          {"latitude", Number},
          {"longitude", Number},
          {"content", Data}}},
        {"ProjectItemDocument",
         {{"uniqueIdentifier", Text},
          {"projectId", Text},
          {"parentItemId", Text},
          {"content", Data},
          {"mimetype", Text}}},
        {"ProjectStat",
         {{"uniqueIdentifier", Text},
          {"projectId", Text},
          {"projectItemId", Text},
          {"startTime", Date},
          {"time", Integer},
          {"wordCount", Integer}}},
        {"ProjectSetting", {{"uniqueIdentifier", Text}, {"projectId", Text}, {"name", Text}, {"value", Text}}},
        {"EditorState", {{"cardItemId", Text}, {"cursorPosition", Integer}}},
        {"CardType", {{"uniqueIdentifier", Text}, {"name", Text}, {"icon", Data}, {"cardHexColor", Text}}},
        {"CardTemplate",
         {{"uniqueIdentifier", Text},
          {"name", Text},
          {"summary", Text},
          {"content", Data},
          {"cardType", Text},
          {"projectTemplateId", Text}}},
        {"ProjectTemplate",
         {{"uniqueIdentifier", Text}, {"name", Text}, {"summary", Text}, {"authorName", Text}, {"authorEmail", Text}}},
        {"ProjectTemplateSetting",
         {{"uniqueIdentifier", Text}, {"key", Text}, {"value", Text}, {"projectTemplateId", Text}}},
        {"ProjectCardType",
         {{"uniqueIdentifier", Text}, {"cardType", Text}, {"displayOrder", Integer}, {"projectTemplateId", Text}}},
    };
    return entities;
}

Attributes attributesOf(const EntityDescription& entity)
{
    Attributes attributes;
    for (const auto& attribute : entity.attributes())
        attributes.emplace(attribute.name(), attribute.type());
    return attributes;
}

template <class Entity>
void expectEntityClass(const ManagedObjectModel& model)
{
    const EntityDescription* entity = model.entity(Entity::entityName());
    ASSERT_NE(entity, nullptr) << Entity::entityName().toStdString();
    EXPECT_NE(dynamic_cast<Entity*>(entity->makeObject().get()), nullptr) << Entity::entityName().toStdString();
    EXPECT_EQ(Entity::fetchRequest().entityName(), Entity::entityName());
}

bool hasIndex(const ManagedObjectModel& model, const QString& entityName, const QStringList& columns)
{
    const EntityDescription* entity = model.entity(entityName);
    return entity && entity->indexes().contains(columns);
}

ManagedObject* fetchOne(ManagedObjectContext* context, FetchRequest request, const QString& key, const QString& id)
{
    request.setPredicate(key + QStringLiteral(" == %@"), {id});
    const QList<ManagedObject*> found = context->fetch(request);
    return found.size() == 1 ? found.first() : nullptr;
}

QDateTime utcMilliseconds(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
}

}  // namespace

TEST(StoreModelTest, everyEntityKeepsItsStoredAttributeNamesAndTypes)
{
    const ManagedObjectModel model = StoreModel::model();
    EXPECT_EQ(model.version(), StoreModel::Version);
    EXPECT_EQ(model.entities().size(), qsizetype(expectedEntities().size()));
    for (const auto& [name, attributes] : expectedEntities()) {
        const EntityDescription* entity = model.entity(name);
        ASSERT_NE(entity, nullptr) << name.toStdString();
        EXPECT_EQ(attributesOf(*entity), attributes) << name.toStdString();
    }
}

TEST(StoreModelTest, everyEntityMakesItsOwnClass)
{
    const ManagedObjectModel model = StoreModel::model();
    expectEntityClass<Project>(model);
    expectEntityClass<ProjectItem>(model);
    expectEntityClass<ProjectItemDocument>(model);
    expectEntityClass<ProjectStat>(model);
    expectEntityClass<ProjectSetting>(model);
    expectEntityClass<EditorState>(model);
    expectEntityClass<CardType>(model);
    expectEntityClass<CardTemplate>(model);
    expectEntityClass<ProjectTemplate>(model);
    expectEntityClass<ProjectTemplateSetting>(model);
    expectEntityClass<ProjectCardType>(model);
}

TEST(StoreModelTest, lookupKeysAreIndexed)
{
    const ManagedObjectModel model = StoreModel::model();
    for (const EntityDescription* entity : model.entities()) {
        if (entity->hasUniqueIdentifier()) {
            EXPECT_TRUE(hasIndex(model, entity->name(), {"uniqueIdentifier"})) << entity->name().toStdString();
        }
    }
    EXPECT_TRUE(hasIndex(model, "ProjectItem", {"projectId", "parentItemId", "displayOrder"}));
    EXPECT_TRUE(hasIndex(model, "ProjectItem", {"projectId", "itemType", "lastModified"}))
        << "the sidebar's whole-project counts";
    EXPECT_TRUE(hasIndex(model, "ProjectItemDocument", {"parentItemId"}));
    EXPECT_TRUE(hasIndex(model, "ProjectStat", {"projectId"}));
    EXPECT_TRUE(hasIndex(model, "ProjectSetting", {"projectId", "name"}));
    EXPECT_TRUE(hasIndex(model, "EditorState", {"cardItemId"}));
    EXPECT_TRUE(hasIndex(model, "Project", {"displayOrder"}));
}

// Typed setters must write the very keys other code reads by name, and every value must survive a relaunch.
TEST(StoreModelTest, projectItemAttributesSurviveSaveAndReopenUnderTheirKeys)
{
    TestStore store;
    const QDateTime modified = utcMilliseconds(1'700'000'000'123);
    const QDateTime due = utcMilliseconds(1'800'000'000'999);
    auto* item = store.context()->insertNew<ProjectItem>();
    ASSERT_NE(item, nullptr);
    item->setUniqueIdentifier("ITEM-1");
    item->setProjectId("PROJECT-1");
    item->setParentItemId(ItemIds::Top);
    item->setTitle("Chapter \"One\"");
    item->setSummary("A summary");
    item->setSummaryImage(QByteArray("\x89PNG\0\x01", 6));
    item->setItemType(ProjectItemTypes::Person);
    item->setItemFormat(ProjectItemFormats::Sketch);
    item->setFolderType(ProjectFolderTypes::Card);
    item->setTag("done");
    item->setNotes("notes");
    item->setTerms(" rose garden");
    item->setWordCount(4'000'000'000);
    item->setCharCount(17);
    item->setDisplayOrder(3);
    item->setLastModified(modified);
    item->setCursorPosition(42.5);
    item->setCustomItemType("custom");
    item->setLinkedPath("/linked");
    item->setPath("/path");
    item->setDueDate(due);
    item->setLatitude(-33.8688197);
    item->setLongitude(151.2092955);
    item->setContent(QByteArray("body\0bytes", 10));
    ASSERT_FALSE(store.context()->save().has_value());

    store.reopen();
    auto* read = dynamic_cast<ProjectItem*>(
        fetchOne(store.context(), ProjectItem::fetchRequest(), "uniqueIdentifier", "ITEM-1"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->value("projectId").toString(), "PROJECT-1");
    EXPECT_EQ(read->value("parentItemId").toString(), "_top");
    EXPECT_EQ(read->value("title").toString(), "Chapter \"One\"");
    EXPECT_EQ(read->value("summary").toString(), "A summary");
    EXPECT_EQ(read->value("summaryImage").toByteArray(), QByteArray("\x89PNG\0\x01", 6));
    EXPECT_EQ(read->value("itemType").toLongLong(), 5);
    EXPECT_EQ(read->value("itemFormat").toLongLong(), 1);
    EXPECT_EQ(read->value("folderType").toLongLong(), 1);
    EXPECT_EQ(read->value("tag").toString(), "done");
    EXPECT_EQ(read->value("notes").toString(), "notes");
    EXPECT_EQ(read->value("terms").toString(), " rose garden");
    EXPECT_EQ(read->value("wordCount").toLongLong(), 4'000'000'000);
    EXPECT_EQ(read->value("charCount").toLongLong(), 17);
    EXPECT_EQ(read->value("displayOrder").toLongLong(), 3);
    EXPECT_EQ(read->value("lastModified").toDateTime(), modified);
    EXPECT_DOUBLE_EQ(read->value("cursorPosition").toDouble(), 42.5);
    EXPECT_EQ(read->value("customItemType").toString(), "custom");
    EXPECT_EQ(read->value("linkedPath").toString(), "/linked");
    EXPECT_EQ(read->value("path").toString(), "/path");
    EXPECT_EQ(read->value("dueDate").toDateTime(), due);
    EXPECT_DOUBLE_EQ(read->value("latitude").toDouble(), -33.8688197);
    EXPECT_DOUBLE_EQ(read->value("longitude").toDouble(), 151.2092955);
    EXPECT_EQ(read->value("content").toByteArray(), QByteArray("body\0bytes", 10));

    // The getters read the same keys back.
    EXPECT_EQ(read->uniqueIdentifier(), "ITEM-1");
    EXPECT_EQ(read->projectId(), "PROJECT-1");
    EXPECT_EQ(read->parentItemId(), ItemIds::Top);
    EXPECT_EQ(read->title(), "Chapter \"One\"");
    EXPECT_EQ(read->summary(), "A summary");
    EXPECT_EQ(read->summaryImage(), QByteArray("\x89PNG\0\x01", 6));
    EXPECT_EQ(read->itemType(), ProjectItemTypes::Person);
    EXPECT_EQ(read->itemFormat(), ProjectItemFormats::Sketch);
    EXPECT_EQ(read->folderType(), ProjectFolderTypes::Card);
    EXPECT_EQ(read->tag(), "done");
    EXPECT_EQ(read->notes(), "notes");
    EXPECT_EQ(read->terms(), " rose garden");
    EXPECT_EQ(read->wordCount(), 4'000'000'000);
    EXPECT_EQ(read->charCount(), 17);
    EXPECT_EQ(read->displayOrder(), 3);
    EXPECT_EQ(read->lastModified(), modified);
    EXPECT_DOUBLE_EQ(read->cursorPosition(), 42.5);
    EXPECT_EQ(read->customItemType(), "custom");
    EXPECT_EQ(read->linkedPath(), "/linked");
    EXPECT_EQ(read->path(), "/path");
    EXPECT_EQ(read->dueDate(), due);
    EXPECT_DOUBLE_EQ(read->latitude(), -33.8688197);
    EXPECT_DOUBLE_EQ(read->longitude(), 151.2092955);
    EXPECT_EQ(read->content(), QByteArray("body\0bytes", 10));
}

// "No tag" and "no notes" are nil in queries such as (tag == nil); an empty text must stay apart from it.
TEST(StoreModelTest, nullTextStoresNilAndEmptyTextStaysEmpty)
{
    TestStore store;
    auto* item = store.context()->insertNew<ProjectItem>();
    ASSERT_NE(item, nullptr);
    item->setUniqueIdentifier("ITEM-1");
    item->setTag(QString());
    item->setNotes(QStringLiteral(""));
    item->setLastModified(QDateTime());
    item->setContent(QByteArray());
    ASSERT_FALSE(store.context()->save().has_value());

    store.reopen();
    auto* read = dynamic_cast<ProjectItem*>(
        fetchOne(store.context(), ProjectItem::fetchRequest(), "uniqueIdentifier", "ITEM-1"));
    ASSERT_NE(read, nullptr);
    EXPECT_FALSE(read->value("tag").isValid());
    EXPECT_TRUE(read->value("notes").isValid());
    EXPECT_EQ(read->value("notes").toString(), "");
    EXPECT_FALSE(read->value("lastModified").isValid());
    EXPECT_FALSE(read->value("content").isValid());
    EXPECT_EQ(read->itemType(), 0);
    EXPECT_EQ(read->displayOrder(), 0);
    EXPECT_EQ(read->latitude(), 0.0);
}

TEST(StoreModelTest, otherRecordAttributesSurviveSaveAndReopenUnderTheirKeys)
{
    TestStore store;
    ManagedObjectContext* context = store.context();
    const QDateTime when = utcMilliseconds(1'650'000'000'007);

    auto* project = context->insertNew<Project>();
    project->setUniqueIdentifier("P");
    project->setProjectTitle("Novel");
    project->setImage(QByteArray("cover"));
    project->setLastModified(when);
    project->setDisplayOrder(2);
    project->setProjectDate(when.addDays(-1));
    project->setProjectType(7);
    project->setLinkedPath("/p");

    auto* document = context->insertNew<ProjectItemDocument>();
    document->setUniqueIdentifier("D");
    document->setProjectId("P");
    document->setParentItemId("C");
    document->setContent(QByteArray("rtf", 3));
    document->setMimetype(DocumentMimeTypes::Rtf);

    auto* stat = context->insertNew<ProjectStat>();
    stat->setUniqueIdentifier("S");
    stat->setProjectId("P");
    stat->setProjectItemId("C");
    stat->setStartTime(when);
    stat->setTime(95);
    stat->setWordCount(-12);

    auto* setting = context->insertNew<ProjectSetting>();
    setting->setUniqueIdentifier("T");
    setting->setProjectId("P");
    setting->setName("WordTarget");
    setting->setValue(QStringLiteral("50000"));

    auto* editorState = context->insertNew<EditorState>();
    editorState->setCardItemId("C");
    editorState->setCursorPosition(123);
    ASSERT_FALSE(context->save().has_value());

    store.reopen();
    context = store.context();
    ManagedObject* p = fetchOne(context, Project::fetchRequest(), "uniqueIdentifier", "P");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->value("projectTitle").toString(), "Novel");
    EXPECT_EQ(p->value("image").toByteArray(), "cover");
    EXPECT_EQ(p->value("lastModified").toDateTime(), when);
    EXPECT_EQ(p->value("displayOrder").toLongLong(), 2);
    EXPECT_EQ(p->value("projectDate").toDateTime(), when.addDays(-1));
    EXPECT_EQ(p->value("projectType").toLongLong(), 7);
    EXPECT_EQ(p->value("linkedPath").toString(), "/p");

    ManagedObject* d = fetchOne(context, ProjectItemDocument::fetchRequest(), "uniqueIdentifier", "D");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->value("projectId").toString(), "P");
    EXPECT_EQ(d->value("parentItemId").toString(), "C");
    EXPECT_EQ(d->value("content").toByteArray(), "rtf");
    EXPECT_EQ(d->value("mimetype").toString(), "application/rtf");

    auto* s = dynamic_cast<ProjectStat*>(fetchOne(context, ProjectStat::fetchRequest(), "uniqueIdentifier", "S"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->value("projectId").toString(), "P");
    EXPECT_EQ(s->value("projectItemId").toString(), "C");
    EXPECT_EQ(s->value("startTime").toDateTime(), when);
    EXPECT_EQ(s->value("time").toLongLong(), 95);
    EXPECT_EQ(s->wordCount(), -12);

    auto* t = dynamic_cast<ProjectSetting*>(fetchOne(context, ProjectSetting::fetchRequest(), "uniqueIdentifier", "T"));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->value("projectId").toString(), "P");
    EXPECT_EQ(t->value("name").toString(), "WordTarget");
    EXPECT_EQ(t->value("value").toString(), "50000");
    EXPECT_EQ(t->value(), "50000");

    auto* e = dynamic_cast<EditorState*>(fetchOne(context, EditorState::fetchRequest(), "cardItemId", "C"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->value("cursorPosition").toLongLong(), 123);
    EXPECT_EQ(e->cursorPosition(), 123);
}
