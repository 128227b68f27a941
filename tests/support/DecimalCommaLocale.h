// Switches the numeric locale to one with a decimal comma for a test. Where
// none is installed the test is skipped, except in CI (QVL_REQUIRE_TEST_LOCALE
// set by tools/dev.sh, which installs de_DE.UTF-8 on Linux; the Windows C
// runtime has German built in), where that fails it.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

class DecimalCommaLocale {
public:
    DecimalCommaLocale()
    {
        const char* old = std::setlocale(LC_NUMERIC, nullptr);
        saved = old != nullptr ? old : "C";
        for (const char* name : candidates)
            if (std::setlocale(LC_NUMERIC, name) != nullptr && *std::localeconv()->decimal_point == ',') {
                active = true;
                break;
            }
    }
    ~DecimalCommaLocale() { restore(); }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool isActive() const { return active; }
    void restore() { std::setlocale(LC_NUMERIC, saved.c_str()); }
    static bool required() { return std::getenv("QVL_REQUIRE_TEST_LOCALE") != nullptr; }

private:
    // The POSIX name, then the names the Windows C runtime knows.
    static constexpr const char* candidates[] = {"de_DE.UTF-8", "de-DE", "German_Germany.1252", "German"};
    std::string saved;
    bool active = false;
};

// In a test body: switches the locale or skips (fails in CI) when it cannot.
#define QVL_USE_DECIMAL_COMMA_LOCALE(guard)                                                                            \
    DecimalCommaLocale guard;                                                                                          \
    if (!guard.isActive()) {                                                                                           \
        if (DecimalCommaLocale::required())                                                                            \
            FAIL() << "the de_DE.UTF-8 locale is not installed (tools/dev.sh installs it)";                            \
        GTEST_SKIP() << "no de_DE locale";                                                                             \
    }
