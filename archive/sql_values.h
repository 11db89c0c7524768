// Values between the program's types and Qt Sql's, alike on both engines.
#pragma once

#include <QString>
#include <QVariant>
#include <string_view>

// Wide text as Qt Sql binds it.
QString SqlText(std::u16string_view text);

// NaN has no place in a REAL column: it is stored as NULL and read back so.
// The null is typed, as PostgreSQL wants to know what it stands for.
QVariant SqlReal(double value);
double RealOfSql(const QVariant& value);
