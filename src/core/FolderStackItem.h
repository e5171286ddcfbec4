#pragma once

#include <QPointF>
#include <QString>

class ProjectItem;

// One folder of a folder list (move targets, the peek panel's folders): its identifiers, title, the
// path shown for it and its record. The record is owned by the store context, never by the entry.
class FolderStackItem {
public:
    FolderStackItem() = default;
    FolderStackItem(const QString& folderId, const QString& parentId, const QString& title, ProjectItem* record);

    QString folderId() const { return m_folderId; }
    void setFolderId(const QString& folderId) { m_folderId = folderId; }
    QString folderParentId() const { return m_folderParentId; }
    void setFolderParentId(const QString& folderParentId) { m_folderParentId = folderParentId; }
    QString folderTitle() const { return m_folderTitle; }
    void setFolderTitle(const QString& folderTitle) { m_folderTitle = folderTitle; }
    // Titles from the top level down to this folder joined by " > "; empty until a list builder sets it.
    QString folderPath() const { return m_folderPath; }
    void setFolderPath(const QString& folderPath) { m_folderPath = folderPath; }
    ProjectItem* folderRecord() const { return m_folderRecord; }
    void setFolderRecord(ProjectItem* folderRecord) { m_folderRecord = folderRecord; }
    // A scroll position kept with the folder for whoever lists it.
    QPointF contentOffset() const { return m_contentOffset; }
    void setContentOffset(const QPointF& contentOffset) { m_contentOffset = contentOffset; }

private:
    QString m_folderId;
    QString m_folderParentId;
    QString m_folderTitle;
    QString m_folderPath;
    ProjectItem* m_folderRecord = nullptr;
    QPointF m_contentOffset;
};
