#include "platform/archive/AttributedStringRuns.h"

namespace {

void appendVarint(QByteArray& out, quint64 value)
{
    while (value >= 0x80) {
        out.append(char((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.append(char(value));
}

// Lengths and indexes beyond 2^56 cannot be real; refusing them keeps every sum below overflow.
std::optional<quint64> readVarint(const QByteArray& in, qsizetype& position)
{
    quint64 value = 0;
    for (int shift = 0; shift < 56; shift += 7) {
        if (position >= in.size()) {
            return std::nullopt;
        }
        const auto byte = quint8(in.at(position++));
        value |= quint64(byte & 0x7F) << shift;
        if (!(byte & 0x80)) {
            return value;
        }
    }
    return std::nullopt;
}

} // namespace

void AttributedStringRuns::append(qsizetype length, int index, bool merge)
{
    if (length <= 0) {
        return;
    }
    if (merge && !m_runs.isEmpty() && m_runs.last().index == index) {
        m_runs.last().length += length;
        return;
    }
    m_runs.append(Run{length, index});
}

QByteArray AttributedStringRuns::encoded() const
{
    QByteArray out;
    out.reserve(m_runs.size() * 3);
    for (const Run& run : m_runs) {
        appendVarint(out, quint64(run.length));
        appendVarint(out, quint64(run.index));
    }
    return out;
}

std::optional<AttributedStringRuns> AttributedStringRuns::decode(const QByteArray& info, qsizetype textLength,
                                                                 qsizetype dictionaryCount)
{
    AttributedStringRuns result;
    qsizetype position = 0;
    quint64 covered = 0;
    while (position < info.size()) {
        const auto length = readVarint(info, position);
        const auto index = length ? readVarint(info, position) : std::nullopt;
        if (!index || *index >= quint64(dictionaryCount)) {
            return std::nullopt;
        }
        covered += *length;
        if (covered > quint64(textLength)) {
            return std::nullopt;
        }
        // Kept unmerged: a run boundary can separate two attachments that share one dictionary.
        result.append(qsizetype(*length), int(*index), false);
    }
    return result;
}
