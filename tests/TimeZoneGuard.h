#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

// Runs a test in another time zone and puts the process's own back afterwards, so no other test in the
// process sees it.
class TimeZoneGuard {
public:
    explicit TimeZoneGuard(const char* zone)
    {
        if (const char* previous = std::getenv("TZ"))
            m_previous = previous;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZoneGuard()
    {
        if (m_previous)
            ::setenv("TZ", m_previous->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    TimeZoneGuard(const TimeZoneGuard&) = delete;
    TimeZoneGuard& operator=(const TimeZoneGuard&) = delete;

private:
    std::optional<std::string> m_previous;
};
