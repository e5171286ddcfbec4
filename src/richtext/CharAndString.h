#pragma once

#include <QChar>
#include <QString>
#include <optional>

// One UTF-16 code unit together with the string that holds just it.
class CharAndString {
public:
    explicit CharAndString(QChar value) : m_char(value), m_string(value) {}

    QChar charValue() const { return m_char; }
    void setCharValue(QChar value) { m_char = value; }
    const QString& stringValue() const { return m_string; }
    void setStringValue(const QString& value) { m_string = value; }

    // The character of text at index, nothing when the index lies outside it.
    static std::optional<CharAndString> at(const QString& text, int index)
    {
        if (index < 0 || index >= text.size())
            return std::nullopt;
        return CharAndString(text.at(index));
    }

private:
    QChar m_char;
    QString m_string;
};
