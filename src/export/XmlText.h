#pragma once

#include <QByteArray>
#include <QString>

// Text on its way into an XML tree. XML 1.0 forbids most control characters, U+FFFE, U+FFFF and unpaired
// surrogates; one of them in a writer's text would make the whole part unreadable, so they are dropped here
// and every other character is kept.
class XmlText {
public:
    static bool isAllowed(char32_t character);
    // The text without the characters XML forbids.
    static QString sanitized(const QString& text);
    // The sanitised text as UTF-8, what libxml2 takes.
    static QByteArray utf8(const QString& text);
};
