#include "OpmlLineBreakFilter.h"

namespace {

constexpr qint64 ChunkBytes = 64 * 1024;
const QByteArray CommentOpening = QByteArrayLiteral("<!--");
const QByteArray CDataOpening = QByteArrayLiteral("<![CDATA[");
const QByteArray LineFeedReference = QByteArrayLiteral("&#10;");

} // namespace

OpmlLineBreakFilter::OpmlLineBreakFilter(QIODevice* source, QObject* parent) : QIODevice(parent), m_source(source)
{
    open(QIODevice::ReadOnly);
}

bool OpmlLineBreakFilter::atEnd() const
{
    return m_outPos >= m_out.size() && m_source->atEnd() && QIODevice::atEnd();
}

qint64 OpmlLineBreakFilter::bytesAvailable() const
{
    return (m_out.size() - m_outPos) + QIODevice::bytesAvailable();
}

qint64 OpmlLineBreakFilter::readData(char* data, qint64 maxSize)
{
    if (m_outPos >= m_out.size() && !fill())
        return m_source->atEnd() ? -1 : 0;
    const qint64 count = qMin(maxSize, qint64(m_out.size()) - m_outPos);
    memcpy(data, m_out.constData() + m_outPos, size_t(count));
    m_outPos += count;
    return count;
}

bool OpmlLineBreakFilter::fill()
{
    m_out.clear();
    m_outPos = 0;
    while (m_out.isEmpty()) {
        const QByteArray chunk = m_source->read(ChunkBytes);
        if (chunk.isEmpty())
            return false;
        filter(chunk);
    }
    return true;
}

void OpmlLineBreakFilter::filter(const QByteArray& chunk)
{
    m_out.reserve(chunk.size() + chunk.size() / 16);
    for (const char byte : chunk)
        filterByte(byte);
}

void OpmlLineBreakFilter::filterByte(char byte)
{
    switch (m_state) {
    case State::Text:
        if (byte == '<') {
            m_state = State::Tag;
            m_opening = QByteArrayLiteral("<");
        }
        break;
    case State::Tag:
        if (!m_opening.isEmpty()) {
            m_opening.append(byte);
            if (m_opening == CommentOpening || m_opening == CDataOpening) {
                m_state = m_opening == CommentOpening ? State::Comment : State::CData;
                m_opening.clear();
                m_recent.clear();
                break;
            }
            if (!CommentOpening.startsWith(m_opening) && !CDataOpening.startsWith(m_opening))
                m_opening.clear();
        }
        if (byte == '"' || byte == '\'') {
            m_state = State::Value;
            m_quote = byte;
        } else if (byte == '>') {
            m_state = State::Text;
        }
        break;
    case State::Value:
        if (byte == '\r' || (byte == '\n' && !m_pendingCarriageReturn)) {
            m_pendingCarriageReturn = byte == '\r';
            m_out.append(LineFeedReference);
            return;
        }
        if (byte == '\n') {
            m_pendingCarriageReturn = false;
            return;
        }
        m_pendingCarriageReturn = false;
        if (byte == m_quote)
            m_state = State::Tag;
        break;
    case State::Comment:
    case State::CData:
        m_recent.append(byte);
        if (m_recent.size() > 3)
            m_recent.remove(0, 1);
        if (m_recent == (m_state == State::Comment ? QByteArrayLiteral("-->") : QByteArrayLiteral("]]>")))
            m_state = State::Text;
        break;
    }
    m_out.append(byte);
}
