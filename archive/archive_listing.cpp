#include "archive/archive_listing.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <cmath>
#include <iterator>

#include "archive/archive_transaction.h"
#include "archive/sql_values.h"

namespace {

// The text as a LIKE pattern that matches it anywhere, literally.
QString ContainsPattern(const std::u16string& text) {
    QString pattern = SqlText(text);
    pattern.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("\\%")).replace(u'_', QStringLiteral("\\_"));
    return u'%' + pattern + u'%';
}

// The conditions and their values, in the same order.
struct STConditions {
    QStringList m_clauses;
    QVariantList m_values;

    void Add(const QString& clause, const QVariant& value) {
        m_clauses << clause;
        m_values << value;
    }
};

// Case-insensitive on both engines: SQLite's LIKE already is for ASCII.
QString LikeOperator(const QSqlDatabase& database) {
    return IsPostgres(database) ? QStringLiteral("ILIKE") : QStringLiteral("LIKE");
}

STConditions ConditionsOf(const QSqlDatabase& database, const STArchiveFilter& filter) {
    STConditions conditions;
    if (filter.m_oFrom) conditions.Add(QStringLiteral("created >= ?"), QVariant::fromValue<qint64>(*filter.m_oFrom));
    if (filter.m_oTo) conditions.Add(QStringLiteral("created <= ?"), QVariant::fromValue<qint64>(*filter.m_oTo));
    if (filter.m_oMethod) conditions.Add(QStringLiteral("method = ?"), *filter.m_oMethod);
    if (filter.m_oModel) conditions.Add(QStringLiteral("model = ?"), *filter.m_oModel);
    if (!filter.m_strStation.empty()) conditions.Add(QStringLiteral("station = ?"), SqlText(filter.m_strStation));
    if (!filter.m_strNameText.empty()) {
        // One pass over the items' names, rather than a look into each
        // batch's items in the order of the listing.
        conditions.Add(QStringLiteral("id IN (SELECT batch_id FROM items WHERE name %1 ? ESCAPE '\\')")
                           .arg(LikeOperator(database)),
                       ContainsPattern(filter.m_strNameText));
    }
    return conditions;
}

// The ORDER BY clause, only ever from this table. Missing figures go last
// either way, as both engines then agree; station and key, unique together,
// settle ties so that equal rows keep one order between queries.
QString OrderOf(const STArchiveFilter& filter) {
    static const char* const kColumns[] = {"created",  "station",    "operator", "method",
                                           "model",    "item_count", "average",  "standard_deviation"};
    const auto sort = static_cast<std::size_t>(filter.m_eSort);
    const char* column = sort < std::size(kColumns) ? kColumns[sort] : kColumns[0];
    const QString direction = filter.m_bDescending ? QStringLiteral("DESC") : QStringLiteral("ASC");
    QString order = QStringLiteral(" ORDER BY %1 %2 NULLS LAST").arg(QLatin1String(column), direction);
    if (filter.m_eSort != EArchiveSort::kTime) order += QStringLiteral(", created DESC");
    return order + QStringLiteral(", station, batch_key");
}

}  // namespace

bool ListArchivedBatches(QSqlDatabase& database, const STArchiveFilter& filter, std::vector<STArchivedBatch>& batches,
                         std::string& failure) {
    const STConditions conditions = ConditionsOf(database, filter);
    QString statement = QStringLiteral(
        "SELECT station, batch_key, created, model, method, lower_limit, upper_limit, use_limit, average,"
        " standard_deviation, operator, item_count FROM batches");
    if (!conditions.m_clauses.isEmpty()) statement += QStringLiteral(" WHERE ") + conditions.m_clauses.join(" AND ");
    statement += OrderOf(filter) + QStringLiteral(" LIMIT ?");
    QSqlQuery query(database);
    query.setForwardOnly(true);
    query.prepare(statement);
    for (const QVariant& value : conditions.m_values) query.addBindValue(value);
    query.addBindValue(QVariant::fromValue<qint64>(filter.m_nLimit));
    if (!query.exec()) {
        failure = query.lastError().text().toStdString();
        return false;
    }
    batches.clear();
    while (query.next()) {
        batches.push_back({query.value(0).toString().toStdU16String(), query.value(1).toString().toStdU16String(),
                           query.value(2).toLongLong(), query.value(3).toInt(), query.value(4).toInt(),
                           RealOfSql(query.value(5)), RealOfSql(query.value(6)), query.value(7).toInt() != 0,
                           RealOfSql(query.value(8)), RealOfSql(query.value(9)), query.value(10).toString().toStdU16String(),
                           query.value(11).toLongLong()});
    }
    return true;
}
