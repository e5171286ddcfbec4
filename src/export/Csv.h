#pragma once

#include <QHash>
#include <QSet>
#include <QString>

class ManagedObjectContext;

// The cards of a folder subtree as comma-separated lines: the card's label, then its title and its summary,
// both always quoted with inner quotes doubled. Folders write no line of their own; their cards stand at the
// folder's place in display order. There is no header line and no reader.
class Csv {
public:
    Csv();

    // Item type → the label of the first column; folders and unknown types have none.
    const QHash<qint64, QString>& typeMappings() const { return m_typeMappings; }

    // "_top" gives the whole project, a folder's identifier that folder's contents, a card's an empty text.
    QString getCsvWithContext(ManagedObjectContext* context, const QString& projectId,
                              const QString& startItemId) const;
    // One card's line without its line feed; empty when the card has no label or no title.
    QString line(qint64 itemType, const QString& title, const QString& summary) const;

private:
    void csv(ManagedObjectContext* context, const QString& projectId, const QString& folderId, QString& out,
             QSet<QString>& visited) const;

    QHash<qint64, QString> m_typeMappings;
};
