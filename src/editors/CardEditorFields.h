#pragma once

#include "core/CardProps.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>

class ManagedObjectContext;
class ProjectItem;

// What the board and the card opener tell every card editor, text or sketch, before it is shown, under the same
// names, so that one opener serves them all.
class CardEditorFields {
public:
    // The store's context (required).
    ManagedObjectContext* managedObjectContext() const { return m_context; }
    void setManagedObjectContext(ManagedObjectContext* context) { m_context = context; }
    // The card; nullptr for a new card until its first save.
    ProjectItem* currentObject() const { return m_currentObject; }
    void setCurrentObject(ProjectItem* item) { m_currentObject = item; }
    // The project (required) and the folder that holds or will hold the card.
    QString currentProjectId() const { return m_currentProjectId; }
    void setCurrentProjectId(const QString& id) { m_currentProjectId = id; }
    QString currentFolderId() const { return m_currentFolderId; }
    void setCurrentFolderId(const QString& id) { m_currentFolderId = id; }
    // The card's type; the card's own type wins once it exists.
    qint64 currentItemType() const { return m_currentItemType; }
    void setCurrentItemType(qint64 type) { m_currentItemType = type; }
    // The folder's cards as the opener shows them.
    const QList<ProjectItem*>& fetchedResults() const { return m_fetchedResults; }
    void setFetchedResults(const QList<ProjectItem*>& cards) { m_fetchedResults = cards; }
    const CardProps& cardProps() const { return m_cardProps; }
    void setCardProps(const CardProps& props) { m_cardProps = props; }
    // A card opened from inside another editor; it arms the secondary quit-guard flag and snapshot.
    bool isSecondaryCard() const { return m_isSecondaryCard; }
    void setIsSecondaryCard(bool secondary) { m_isSecondaryCard = secondary; }
    // A crash-recovery snapshot the writer chose to restore.
    const std::optional<QVariantMap>& autoSaveData() const { return m_autoSaveData; }
    void setAutoSaveData(const std::optional<QVariantMap>& snapshot) { m_autoSaveData = snapshot; }
    // The board that opened the editor.
    QObject* cvController() const { return m_cvController; }
    void setCvController(QObject* board) { m_cvController = board; }
    // Given the card this editor inserted (a new card or a saved copy) once it is saved, for the board's list.
    std::function<void(ProjectItem*)> addedRecord;

protected:
    ManagedObjectContext* m_context = nullptr;
    ProjectItem* m_currentObject = nullptr;
    QString m_currentProjectId;
    QString m_currentFolderId;
    qint64 m_currentItemType = 0;
    QList<ProjectItem*> m_fetchedResults;
    CardProps m_cardProps;
    bool m_isSecondaryCard = false;
    std::optional<QVariantMap> m_autoSaveData;
    QPointer<QObject> m_cvController;
};
