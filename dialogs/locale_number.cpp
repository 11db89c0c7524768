#include "dialogs/locale_number.h"

#include <cstdlib>

bool ReadTypedNumber(const QString& text, double& value) {
    const QByteArray bytes = text.toLocal8Bit();
    char* end = nullptr;
    const double read = std::strtod(bytes.constData(), &end);
    if (end == bytes.constData()) {
        return false;
    }
    value = read;
    return true;
}
