#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QSet>
#include <QString>

class ManagedObjectContext;
class Opml;
class ProjectItem;
class QIODevice;

// Writes one OPML document to a device as it walks the folder tree, flushing in blocks, so a large project is
// never held as one text. The walk keeps a visited set: a folder cycle ends instead of recursing forever.
class OpmlWriter {
public:
    OpmlWriter(const Opml& opml, QIODevice& out, ManagedObjectContext* context, const QString& projectId,
               bool exportDoneItems);

    // The whole document; false when the device refused a write.
    bool write(const QString& title, const QString& startItemId);

    // The creation stamp: local time with milliseconds and the offset from UTC as +hhmm.
    static QString dateCreated(const QDateTime& now);

private:
    void compileItems(ProjectItem* record);
    void compileFolderItems(ProjectItem* record);
    void compileItem(ProjectItem* record);
    void attribute(const QString& name, const QString& value);
    void append(const QString& text);
    void flushIfFull();
    bool flush();
    QString typeLabel(qint64 itemType) const;

    const Opml& m_opml;
    QIODevice& m_out;
    ManagedObjectContext* m_context;
    QString m_projectId;
    bool m_exportDoneItems;
    QByteArray m_buffer;
    QSet<QString> m_visited;
    bool m_failed = false;
};
