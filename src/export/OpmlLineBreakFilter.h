#pragma once

#include <QByteArray>
#include <QIODevice>

// Reads an OPML file on its way to the XML reader and turns every literal line break inside an attribute value
// into the character reference "&#10;". An XML reader replaces a literal line feed in an attribute by a blank,
// yet other outliners write multi-line notes that way; a carriage return with its line feed counts as one
// break. Everything else passes unchanged, a chunk at a time, so a large file is never held whole.
class OpmlLineBreakFilter : public QIODevice {
public:
    explicit OpmlLineBreakFilter(QIODevice* source, QObject* parent = nullptr);

    bool isSequential() const override { return true; }
    bool atEnd() const override;
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    enum class State { Text, Tag, Value, Comment, CData };

    bool fill();
    void filter(const QByteArray& chunk);
    void filterByte(char byte);

    QIODevice* m_source;
    State m_state = State::Text;
    char m_quote = 0;
    bool m_pendingCarriageReturn = false;
    // The bytes after "<" seen so far, to tell a comment or CDATA section from a tag.
    QByteArray m_opening;
    QByteArray m_recent;
    QByteArray m_out;
    qint64 m_outPos = 0;
};
