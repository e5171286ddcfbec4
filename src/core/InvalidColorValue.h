#pragma once

#include <QString>
#include <exception>
#include <string>

// Raised by HexColor::colorWithHexString for a text that is no colour; callers that read colours
// from outside the application catch it.
class InvalidColorValue : public std::exception {
public:
    static inline const QString Name = QStringLiteral("Invalid color value");

    explicit InvalidColorValue(const QString& value);

    QString name() const { return Name; }
    QString reason() const { return m_reason; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    QString m_reason;
    std::string m_what;
};
