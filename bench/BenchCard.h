#pragma once

#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "platform/store/ManagedObjectContext.h"

#include <QByteArray>
#include <QString>

// One project holding one card at the top level with a stored rich-text body, saved: what the editor
// benchmarks open.
inline void seedCardWithBody(ManagedObjectContext* context, const QString& projectId, const QString& cardId,
                             qint64 itemType, const QString& title, qint64 words, const QString& documentId,
                             const QByteArray& body)
{
    auto* project = context->insertNew<Project>();
    project->setUniqueIdentifier(projectId);
    project->setProjectTitle(QStringLiteral("Bench"));
    auto* card = context->insertNew<ProjectItem>();
    card->setUniqueIdentifier(cardId);
    card->setProjectId(projectId);
    card->setParentItemId(ItemIds::Top);
    card->setItemType(itemType);
    card->setTitle(title);
    card->setWordCount(words);
    card->setDisplayOrder(1);
    auto* document = context->insertNew<ProjectItemDocument>();
    document->setUniqueIdentifier(documentId);
    document->setProjectId(projectId);
    document->setParentItemId(cardId);
    document->setMimetype(DocumentMimeTypes::RichText);
    document->setContent(body);
    context->save();
}
