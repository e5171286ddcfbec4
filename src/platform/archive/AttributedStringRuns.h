#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// The attribute runs of an attributed string: consecutive UTF-16 lengths, each with the index of its attribute
// dictionary. Archived as "NSAttributeInfo", pairs of unsigned variable-length integers (seven bits a byte, least
// significant first, high bit set on every byte but the last).
class AttributedStringRuns {
public:
    struct Run {
        qsizetype length = 0;
        int index = 0;
    };

    // Adds a run, extending the last one when it uses the same dictionary and merge is true.
    void append(qsizetype length, int index, bool merge = true);
    qsizetype count() const { return m_runs.size(); }
    const QList<Run>& runs() const { return m_runs; }
    QByteArray encoded() const;

    // nullopt when info is malformed, names a dictionary at or past dictionaryCount, or its runs cover more
    // than textLength code units.
    static std::optional<AttributedStringRuns> decode(const QByteArray& info, qsizetype textLength,
                                                      qsizetype dictionaryCount);

private:
    QList<Run> m_runs;
};
