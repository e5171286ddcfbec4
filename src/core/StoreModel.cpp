#include "StoreModel.h"

#include "CardTemplate.h"
#include "CardType.h"
#include "EditorState.h"
#include "Project.h"
#include "ProjectCardType.h"
#include "ProjectItem.h"
#include "ProjectItemDocument.h"
#include "ProjectSetting.h"
#include "ProjectStat.h"
#include "ProjectTemplate.h"
#include "ProjectTemplateSetting.h"

namespace {

template <class Entity>
void addEntity(ManagedObjectModel& model)
{
    Entity::describe(model.addEntity(Entity::entityName()));
}

}  // namespace

ManagedObjectModel StoreModel::model()
{
    ManagedObjectModel model(Version);
    addEntity<Project>(model);
    addEntity<ProjectItem>(model);
    addEntity<ProjectItemDocument>(model);
    addEntity<ProjectStat>(model);
    addEntity<ProjectSetting>(model);
    addEntity<EditorState>(model);
    // Template records: nothing reads or writes them, but mirrored stores expect the tables.
    addEntity<CardType>(model);
    addEntity<CardTemplate>(model);
    addEntity<ProjectTemplate>(model);
    addEntity<ProjectTemplateSetting>(model);
    addEntity<ProjectCardType>(model);
    return model;
}
