#include "ProjectItem.h"

#include <memory>

QString ProjectItem::entityName()
{
    return QStringLiteral("ProjectItem");
}

FetchRequest ProjectItem::fetchRequest()
{
    return FetchRequest(entityName());
}

void ProjectItem::describe(EntityDescription& entity)
{
    entity.addAttribute(UniqueIdentifierKey, AttributeType::String);
    entity.addAttribute(ProjectIdKey, AttributeType::String);
    entity.addAttribute(ParentItemIdKey, AttributeType::String);
    entity.addAttribute(TitleKey, AttributeType::String);
    entity.addAttribute(SummaryKey, AttributeType::String);
    entity.addAttribute(SummaryImageKey, AttributeType::Binary);
    entity.addAttribute(ItemTypeKey, AttributeType::Integer);
    entity.addAttribute(ItemFormatKey, AttributeType::Integer);
    entity.addAttribute(FolderTypeKey, AttributeType::Integer);
    entity.addAttribute(TagKey, AttributeType::String);
    entity.addAttribute(NotesKey, AttributeType::String);
    entity.addAttribute(TermsKey, AttributeType::String);
    entity.addAttribute(WordCountKey, AttributeType::Integer);
    entity.addAttribute(CharCountKey, AttributeType::Integer);
    entity.addAttribute(DisplayOrderKey, AttributeType::Integer);
    entity.addAttribute(LastModifiedKey, AttributeType::Date);
    entity.addAttribute(CursorPositionKey, AttributeType::Double);
    entity.addAttribute(CustomItemTypeKey, AttributeType::String);
    entity.addAttribute(LinkedPathKey, AttributeType::String);
    entity.addAttribute(PathKey, AttributeType::String);
    entity.addAttribute(DueDateKey, AttributeType::Date);
    entity.addAttribute(LatitudeKey, AttributeType::Double);
    entity.addAttribute(LongitudeKey, AttributeType::Double);
    entity.addAttribute(ContentKey, AttributeType::Binary);
    entity.addIndex({UniqueIdentifierKey});
    entity.addIndex({ProjectIdKey, ParentItemIdKey, DisplayOrderKey});
    // The sidebar counts the whole project's cards on every refresh: all of them, each type, and those changed
    // since a date. Within a project this index holds every column those counts test, so SQLite answers them from
    // the index alone instead of reading each card's row from the table. Folder listings keep the index above,
    // which matches their parent as well.
    entity.addIndex({ProjectIdKey, ItemTypeKey, LastModifiedKey});
    entity.setFactory([] { return std::make_unique<ProjectItem>(); });
}

QString ProjectItem::uniqueIdentifier() const
{
    return value(UniqueIdentifierKey).toString();
}

QString ProjectItem::projectId() const
{
    return value(ProjectIdKey).toString();
}

QString ProjectItem::parentItemId() const
{
    return value(ParentItemIdKey).toString();
}

QString ProjectItem::title() const
{
    return value(TitleKey).toString();
}

QString ProjectItem::summary() const
{
    return value(SummaryKey).toString();
}

QByteArray ProjectItem::summaryImage() const
{
    return value(SummaryImageKey).toByteArray();
}

qint64 ProjectItem::itemType() const
{
    return value(ItemTypeKey).toLongLong();
}

qint64 ProjectItem::itemFormat() const
{
    return value(ItemFormatKey).toLongLong();
}

qint64 ProjectItem::folderType() const
{
    return value(FolderTypeKey).toLongLong();
}

QString ProjectItem::tag() const
{
    return value(TagKey).toString();
}

QString ProjectItem::notes() const
{
    return value(NotesKey).toString();
}

QString ProjectItem::terms() const
{
    return value(TermsKey).toString();
}

qint64 ProjectItem::wordCount() const
{
    return value(WordCountKey).toLongLong();
}

qint64 ProjectItem::charCount() const
{
    return value(CharCountKey).toLongLong();
}

qint64 ProjectItem::displayOrder() const
{
    return value(DisplayOrderKey).toLongLong();
}

QDateTime ProjectItem::lastModified() const
{
    return value(LastModifiedKey).toDateTime();
}

double ProjectItem::cursorPosition() const
{
    return value(CursorPositionKey).toDouble();
}

QString ProjectItem::customItemType() const
{
    return value(CustomItemTypeKey).toString();
}

QString ProjectItem::linkedPath() const
{
    return value(LinkedPathKey).toString();
}

QString ProjectItem::path() const
{
    return value(PathKey).toString();
}

QDateTime ProjectItem::dueDate() const
{
    return value(DueDateKey).toDateTime();
}

double ProjectItem::latitude() const
{
    return value(LatitudeKey).toDouble();
}

double ProjectItem::longitude() const
{
    return value(LongitudeKey).toDouble();
}

QByteArray ProjectItem::content() const
{
    return value(ContentKey).toByteArray();
}

void ProjectItem::setUniqueIdentifier(const QString& uniqueIdentifier)
{
    setValue(UniqueIdentifierKey, uniqueIdentifier.isNull() ? QVariant() : QVariant(uniqueIdentifier));
}

void ProjectItem::setProjectId(const QString& projectId)
{
    setValue(ProjectIdKey, projectId.isNull() ? QVariant() : QVariant(projectId));
}

void ProjectItem::setParentItemId(const QString& parentItemId)
{
    setValue(ParentItemIdKey, parentItemId.isNull() ? QVariant() : QVariant(parentItemId));
}

void ProjectItem::setTitle(const QString& title)
{
    setValue(TitleKey, title.isNull() ? QVariant() : QVariant(title));
}

void ProjectItem::setSummary(const QString& summary)
{
    setValue(SummaryKey, summary.isNull() ? QVariant() : QVariant(summary));
}

void ProjectItem::setSummaryImage(const QByteArray& summaryImage)
{
    setValue(SummaryImageKey, summaryImage.isNull() ? QVariant() : QVariant(summaryImage));
}

void ProjectItem::setItemType(qint64 itemType)
{
    setValue(ItemTypeKey, itemType);
}

void ProjectItem::setItemFormat(qint64 itemFormat)
{
    setValue(ItemFormatKey, itemFormat);
}

void ProjectItem::setFolderType(qint64 folderType)
{
    setValue(FolderTypeKey, folderType);
}

void ProjectItem::setTag(const QString& tag)
{
    setValue(TagKey, tag.isNull() ? QVariant() : QVariant(tag));
}

void ProjectItem::setNotes(const QString& notes)
{
    setValue(NotesKey, notes.isNull() ? QVariant() : QVariant(notes));
}

void ProjectItem::setTerms(const QString& terms)
{
    setValue(TermsKey, terms.isNull() ? QVariant() : QVariant(terms));
}

void ProjectItem::setWordCount(qint64 wordCount)
{
    setValue(WordCountKey, wordCount);
}

void ProjectItem::setCharCount(qint64 charCount)
{
    setValue(CharCountKey, charCount);
}

void ProjectItem::setDisplayOrder(qint64 displayOrder)
{
    setValue(DisplayOrderKey, displayOrder);
}

void ProjectItem::setLastModified(const QDateTime& lastModified)
{
    setValue(LastModifiedKey, lastModified.isNull() ? QVariant() : QVariant(lastModified));
}

void ProjectItem::setCursorPosition(double cursorPosition)
{
    setValue(CursorPositionKey, cursorPosition);
}

void ProjectItem::setCustomItemType(const QString& customItemType)
{
    setValue(CustomItemTypeKey, customItemType.isNull() ? QVariant() : QVariant(customItemType));
}

void ProjectItem::setLinkedPath(const QString& linkedPath)
{
    setValue(LinkedPathKey, linkedPath.isNull() ? QVariant() : QVariant(linkedPath));
}

void ProjectItem::setPath(const QString& path)
{
    setValue(PathKey, path.isNull() ? QVariant() : QVariant(path));
}

void ProjectItem::setDueDate(const QDateTime& dueDate)
{
    setValue(DueDateKey, dueDate.isNull() ? QVariant() : QVariant(dueDate));
}

void ProjectItem::setLatitude(double latitude)
{
    setValue(LatitudeKey, latitude);
}

void ProjectItem::setLongitude(double longitude)
{
    setValue(LongitudeKey, longitude);
}

void ProjectItem::setContent(const QByteArray& content)
{
    setValue(ContentKey, content.isNull() ? QVariant() : QVariant(content));
}
