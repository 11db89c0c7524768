#include "archive/sql_values.h"

#include <cmath>

QString SqlText(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant SqlReal(double value) {
    return std::isnan(value) ? QVariant(QMetaType::fromType<double>()) : QVariant(value);
}

double RealOfSql(const QVariant& value) {
    return value.isNull() ? std::nan("") : value.toDouble();
}
