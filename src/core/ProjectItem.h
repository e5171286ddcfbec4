#pragma once

#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// One folder or one card of a project. Its body lives in a ProjectItemDocument.
class ProjectItem : public ManagedObject {
public:
    static inline const QString UniqueIdentifierKey = QStringLiteral("uniqueIdentifier");
    static inline const QString ProjectIdKey = QStringLiteral("projectId");
    static inline const QString ParentItemIdKey = QStringLiteral("parentItemId");
    static inline const QString TitleKey = QStringLiteral("title");
    static inline const QString SummaryKey = QStringLiteral("summary");
    static inline const QString SummaryImageKey = QStringLiteral("summaryImage");
    static inline const QString ItemTypeKey = QStringLiteral("itemType");
    static inline const QString ItemFormatKey = QStringLiteral("itemFormat");
    static inline const QString FolderTypeKey = QStringLiteral("folderType");
    static inline const QString TagKey = QStringLiteral("tag");
    static inline const QString NotesKey = QStringLiteral("notes");
    static inline const QString TermsKey = QStringLiteral("terms");
    static inline const QString WordCountKey = QStringLiteral("wordCount");
    static inline const QString CharCountKey = QStringLiteral("charCount");
    static inline const QString DisplayOrderKey = QStringLiteral("displayOrder");
    static inline const QString LastModifiedKey = QStringLiteral("lastModified");
    static inline const QString CursorPositionKey = QStringLiteral("cursorPosition");
    static inline const QString CustomItemTypeKey = QStringLiteral("customItemType");
    static inline const QString LinkedPathKey = QStringLiteral("linkedPath");
    static inline const QString PathKey = QStringLiteral("path");
    static inline const QString DueDateKey = QStringLiteral("dueDate");
    static inline const QString LatitudeKey = QStringLiteral("latitude");
    static inline const QString LongitudeKey = QStringLiteral("longitude");
    static inline const QString ContentKey = QStringLiteral("content");

    static QString entityName();
    static FetchRequest fetchRequest();
    // Adds the attributes, indexes and record class to the entity.
    static void describe(EntityDescription& entity);

    QString uniqueIdentifier() const;
    QString projectId() const;
    QString parentItemId() const;
    QString title() const;
    QString summary() const;
    QByteArray summaryImage() const;
    qint64 itemType() const;
    qint64 itemFormat() const;
    qint64 folderType() const;
    QString tag() const;
    QString notes() const;
    QString terms() const;
    qint64 wordCount() const;
    qint64 charCount() const;
    qint64 displayOrder() const;
    QDateTime lastModified() const;
    double cursorPosition() const;
    QString customItemType() const;
    QString linkedPath() const;
    QString path() const;
    QDateTime dueDate() const;
    double latitude() const;
    double longitude() const;
    QByteArray content() const;

    // A null text, date or data stores nil, so that "no value" stays apart from an empty one.
    void setUniqueIdentifier(const QString& uniqueIdentifier);
    void setProjectId(const QString& projectId);
    void setParentItemId(const QString& parentItemId);
    void setTitle(const QString& title);
    void setSummary(const QString& summary);
    void setSummaryImage(const QByteArray& summaryImage);
    void setItemType(qint64 itemType);
    void setItemFormat(qint64 itemFormat);
    void setFolderType(qint64 folderType);
    void setTag(const QString& tag);
    void setNotes(const QString& notes);
    void setTerms(const QString& terms);
    void setWordCount(qint64 wordCount);
    void setCharCount(qint64 charCount);
    void setDisplayOrder(qint64 displayOrder);
    void setLastModified(const QDateTime& lastModified);
    void setCursorPosition(double cursorPosition);
    void setCustomItemType(const QString& customItemType);
    void setLinkedPath(const QString& linkedPath);
    void setPath(const QString& path);
    void setDueDate(const QDateTime& dueDate);
    void setLatitude(double latitude);
    void setLongitude(double longitude);
    void setContent(const QByteArray& content);
};
