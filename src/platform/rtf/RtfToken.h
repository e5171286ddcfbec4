#pragma once

#include <QByteArrayView>

// One lexical unit of an RTF stream. Views point into the tokenizer's input and stay valid as long as it does.
struct RtfToken {
    enum class Type {
        End,
        GroupStart,
        GroupEnd,
        // A control word such as \b0 or \fs24: name holds the letters, parameter the number when hasParameter.
        ControlWord,
        // A control symbol such as \* or \~: symbol holds the character after the backslash.
        ControlSymbol,
        // \'hh: byte holds the value.
        HexByte,
        // A run of plain text bytes (line breaks removed, escaped \\ \{ \} arrive as one-byte runs).
        Text,
        // The raw data that follows \binN.
        Binary,
    };

    Type type = Type::End;
    QByteArrayView name;
    QByteArrayView data;
    int parameter = 0;
    bool hasParameter = false;
    char symbol = 0;
    unsigned char byte = 0;
};
