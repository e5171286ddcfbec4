#include "Csv.h"

#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"

namespace {

QString quoted(const QString& text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

} // namespace

Csv::Csv()
    : m_typeMappings({{ProjectItemTypes::Story, QStringLiteral("Story")},
                      {ProjectItemTypes::Reminder, QStringLiteral("Reminder")},
                      {ProjectItemTypes::Question, QStringLiteral("Question")},
                      {ProjectItemTypes::Idea, QStringLiteral("Idea")},
                      {ProjectItemTypes::Person, QStringLiteral("Character")},
                      {ProjectItemTypes::Thing, QStringLiteral("Props")},
                      {ProjectItemTypes::Location, QStringLiteral("Location")},
                      {ProjectItemTypes::Event, QStringLiteral("Event")}})
{
}

QString Csv::getCsvWithContext(ManagedObjectContext* context, const QString& projectId,
                               const QString& startItemId) const
{
    QString out;
    QSet<QString> visited;
    csv(context, projectId, startItemId, out, visited);
    return out;
}

QString Csv::line(qint64 itemType, const QString& title, const QString& summary) const
{
    const auto label = m_typeMappings.constFind(itemType);
    if (label == m_typeMappings.constEnd() || title.isNull())
        return QString();
    return *label + QLatin1Char(',') + quoted(title) + QLatin1Char(',') + quoted(summary);
}

void Csv::csv(ManagedObjectContext* context, const QString& projectId, const QString& folderId, QString& out,
              QSet<QString>& visited) const
{
    // A folder cycle (two machines moving folders into each other) must end the walk.
    if (visited.contains(folderId))
        return;
    visited.insert(folderId);
    for (ProjectItem* child : DbHelpers::getFolderItems(context, projectId, folderId)) {
        if (child->itemType() == ProjectItemTypes::Folder) {
            if (!child->uniqueIdentifier().isEmpty())
                csv(context, projectId, child->uniqueIdentifier(), out, visited);
            continue;
        }
        const QString text = line(child->itemType(), child->title(), child->summary());
        if (!text.isEmpty())
            out += text + QLatin1Char('\n');
    }
}
