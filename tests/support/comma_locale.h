// Activates a locale whose decimal separator is a comma for the lifetime of
// the object, as the program does after its first file access on a PC with
// such regional settings.
#pragma once

#include <clocale>
#include <string>

class CommaDecimalLocale {
public:
    CommaDecimalLocale() : m_previous(std::setlocale(LC_ALL, nullptr)) {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                m_active = *std::localeconv()->decimal_point == ',';
                if (m_active) {
                    return;
                }
            }
        }
    }
    ~CommaDecimalLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

    bool IsActive() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};

#define REQUIRE_COMMA_LOCALE(locale)                         \
    if (!(locale).IsActive())                                \
    GTEST_SKIP() << "no comma-decimal locale is installed; " \
                    "scripts/install-deps generates de_DE.UTF-8"
