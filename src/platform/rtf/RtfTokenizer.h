#pragma once

#include "RtfToken.h"

#include <QByteArrayView>

// Splits RTF bytes into tokens without interpreting them. Every call consumes at least one byte until the end,
// so a caller looping on next() always terminates, whatever the input.
class RtfTokenizer {
public:
    explicit RtfTokenizer(QByteArrayView input) : m_input(input) {}

    RtfToken next();
    qsizetype position() const { return m_position; }

private:
    RtfToken readControl();
    RtfToken readControlWord();
    RtfToken readBinary(int length);
    RtfToken readText();
    bool atEnd() const { return m_position >= m_input.size(); }
    char peek() const { return m_input[m_position]; }

    QByteArrayView m_input;
    qsizetype m_position = 0;
};
