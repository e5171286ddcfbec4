#pragma once

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

// ASSERT_ only returns from a void function, so a helper that answers what it made cannot stop its test with one,
// and a test going on with a null the helper checked crashes the whole test program. required() ends the test
// there instead: the exception is reported by GoogleTest as this test's failure, and the next test runs.
template <class T> T* required(T* value, const std::string& what)
{
    if (!value)
        throw std::runtime_error("missing: " + what);
    return value;
}
