#pragma once

#include <QString>

// A number typed by the operator, read under the process locale (the user's
// regional settings once the first file has been touched): leading white
// space skipped, the longest number at the start taken. False, value kept,
// when the text starts with no number.
bool ReadTypedNumber(const QString& text, double& value);
