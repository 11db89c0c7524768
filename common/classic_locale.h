// The classic "C" conventions as a locale object, for conversions that must
// not follow the process locale (which switches to the user's default once
// the first file has been touched).
#pragma once

#include <locale.h>

locale_t ClassicLocale();

// Makes the calling thread use the classic conventions until it goes, for
// libraries that format numbers with the C library's printf family.
class CClassicLocaleScope {
public:
    CClassicLocaleScope() : m_previous(uselocale(ClassicLocale())) {}
    ~CClassicLocaleScope() { uselocale(m_previous); }
    CClassicLocaleScope(const CClassicLocaleScope&) = delete;
    CClassicLocaleScope& operator=(const CClassicLocaleScope&) = delete;

private:
    locale_t m_previous;
};
