#include "OpmlWriter.h"

#include "Opml.h"
#include "XmlText.h"
#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"

#include <QDateTime>
#include <QDebug>
#include <QIODevice>

namespace {

constexpr qsizetype FlushBytes = 1 << 20;

} // namespace

OpmlWriter::OpmlWriter(const Opml& opml, QIODevice& out, ManagedObjectContext* context, const QString& projectId,
                       bool exportDoneItems)
    : m_opml(opml), m_out(out), m_context(context), m_projectId(projectId), m_exportDoneItems(exportDoneItems)
{
}

QString OpmlWriter::dateCreated(const QDateTime& now)
{
    const QDateTime local = now.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return local.toString(Opml::DateCreatedPattern) + (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

bool OpmlWriter::write(const QString& title, const QString& startItemId)
{
    append(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<opml version=\"1.0\">\n"
                          "<head>\n<title>"));
    append(Helpers::escapeForXML(XmlText::sanitized(title)));
    append(QStringLiteral("</title>\n<dateCreated>\n"));
    append(dateCreated(QDateTime::currentDateTime()));
    append(QStringLiteral("</dateCreated>\n</head>\n<body>\n"));
    if (startItemId == ItemIds::Top) {
        for (ProjectItem* child : DbHelpers::getFolderItems(m_context, m_projectId, ItemIds::Top))
            compileItems(child);
    } else if (ProjectItem* start = DbHelpers::getItem(m_context, startItemId)) {
        compileItems(start);
    }
    append(QStringLiteral("</body>\n</opml>\n"));
    return flush();
}

void OpmlWriter::compileItems(ProjectItem* record)
{
    if (m_failed)
        return;
    if (record->itemType() == ProjectItemTypes::Folder)
        compileFolderItems(record);
    else
        compileItem(record);
    flushIfFull();
}

void OpmlWriter::compileFolderItems(ProjectItem* record)
{
    const QString id = record->uniqueIdentifier();
    append(QStringLiteral("<outline"));
    attribute(Opml::TextAttribute, record->title());
    attribute(Opml::TypeAttribute, typeLabel(record->itemType()));
    attribute(Opml::SummaryAttribute, Helpers::lineEndingsFromApple(record->summary()));
    attribute(Opml::TagAttribute, record->tag());
    attribute(Opml::CardNotesAttribute, record->notes());
    append(QStringLiteral(">\r\n"));
    if (!id.isEmpty() && !m_visited.contains(id)) {
        m_visited.insert(id);
        for (ProjectItem* child : DbHelpers::getFolderItems(m_context, m_projectId, id))
            compileItems(child);
    }
    append(QStringLiteral("</outline>\n"));
}

void OpmlWriter::compileItem(ProjectItem* record)
{
    if (!m_exportDoneItems && record->tag() == Opml::DoneTag)
        return;
    append(QStringLiteral("<outline"));
    attribute(Opml::TextAttribute, Helpers::lineEndingsFromApple(record->title()));
    const Opml::Body body = Opml::bodyOfCard(m_context, record->uniqueIdentifier());
    attribute(Opml::NoteAttribute, Helpers::lineEndingsFromApple(Opml::plainTextOfCard(body, *record)));
    attribute(Opml::TypeAttribute, typeLabel(record->itemType()));
    attribute(Opml::FormatAttribute, m_opml.itemFormatsToLabels().value(QString::number(record->itemFormat()),
                                                                        m_opml.itemFormatsToLabels().value("0")));
    attribute(Opml::SummaryAttribute, Helpers::lineEndingsFromApple(record->summary()));
    const QByteArray summaryImage = record->summaryImage();
    if (!summaryImage.isEmpty())
        attribute(Opml::SummaryImageAttribute, QString::fromLatin1(summaryImage.toBase64()));
    attribute(Opml::TagAttribute, record->tag());
    attribute(Opml::CardNotesAttribute, record->notes());
    if (!body.content.isEmpty()) {
        // Base64 needs no escaping: the bytes go straight out without a second copy as text.
        m_buffer.append(" ").append(Opml::ContentAttribute.toLatin1()).append("=\"");
        m_buffer.append(body.content.toBase64()).append('"');
    }
    append(QStringLiteral("></outline>\n"));
}

void OpmlWriter::attribute(const QString& name, const QString& value)
{
    append(QLatin1Char(' ') + name + QStringLiteral("=\"") + Opml::escapeAttribute(value) + QLatin1Char('"'));
}

void OpmlWriter::append(const QString& text)
{
    m_buffer.append(text.toUtf8());
}

void OpmlWriter::flushIfFull()
{
    if (m_buffer.size() >= FlushBytes)
        flush();
}

bool OpmlWriter::flush()
{
    if (!m_failed && !m_buffer.isEmpty() && m_out.write(m_buffer) != m_buffer.size())
        m_failed = true;
    m_buffer.clear();
    return !m_failed;
}

QString OpmlWriter::typeLabel(qint64 itemType) const
{
    const auto found = m_opml.itemTypesToLabels().constFind(QString::number(itemType));
    if (found != m_opml.itemTypesToLabels().constEnd())
        return *found;
    // No stored card has such a type; it is written as a Story card, the type a reader assumes anyway.
    qWarning().noquote() << Opml::NullTypeLogLine;
    return m_opml.itemTypesToLabels().value(QString::number(ProjectItemTypes::Story));
}
