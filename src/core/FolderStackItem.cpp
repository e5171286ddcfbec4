#include "FolderStackItem.h"

FolderStackItem::FolderStackItem(const QString& folderId, const QString& parentId, const QString& title,
                                 ProjectItem* record)
    : m_folderId(folderId), m_folderParentId(parentId), m_folderTitle(title), m_folderRecord(record)
{
}
