// The classic "C" conventions as a locale object, for conversions that must
// not follow the process locale (which switches to the user's default once
// the first file has been touched).
#pragma once

#include <locale.h>

locale_t ClassicLocale();
