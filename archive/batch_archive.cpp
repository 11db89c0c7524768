#include "archive/batch_archive.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "archive/archive_transaction.h"
#include "archive/sql_values.h"
#include "common/time_text.h"

namespace {

constexpr int kKeySelector = 0;

std::u16string Wide(const QString& text) {
    return text.toStdU16String();
}

// The shortest texts that read back to the same bits, NaN and -0 included.
QString ReadingsText(const std::vector<double>& values) {
    std::string text;
    std::array<char, 32> buffer{};
    for (const double value : values) {
        const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
        if (!text.empty()) text += ' ';
        text.append(buffer.data(), end);
    }
    return QString::fromLatin1(text);
}

std::vector<double> ReadingsOf(const QString& text) {
    std::vector<double> values;
    const QByteArray bytes = text.toLatin1();
    const char* at = bytes.constData();
    const char* const end = at + bytes.size();
    while (at < end) {
        double value = 0.0;
        const auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc()) break;
        values.push_back(value);
        at = next;
        while (at < end && *at == ' ') ++at;
    }
    return values;
}

QString FieldsText(const SubItemMap& fields) {
    QJsonObject object;
    for (const auto& [key, text] : fields) object.insert(SqlText(key), SqlText(text));
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

SubItemMap FieldsOf(const QString& text) {
    SubItemMap fields;
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    for (auto it = object.begin(); it != object.end(); ++it) fields.emplace(Wide(it.key()), Wide(it.value().toString()));
    return fields;
}

// A missing field is the empty text, never NULL.
QString FieldOf(const STLedgermillItem& item, std::u16string_view key) {
    const auto field = item.m_subItem.find(key);
    return SqlText(field == item.m_subItem.end() ? std::u16string_view() : std::u16string_view(field->second));
}

// The batch's row, written over the one the station has under its key; the
// row's id, or -1.
qint64 WriteBatchRow(QSqlQuery& query, const STLedgermill& batch, const STArchiveOrigin& origin) {
    query.prepare(QStringLiteral(
        "INSERT INTO batches (station, batch_key, created, model, method, lower_limit, upper_limit, use_limit,"
        " max, min, average, standard_deviation, operator, item_count, archived)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
        " ON CONFLICT (station, batch_key) DO UPDATE SET created = excluded.created, model = excluded.model,"
        " method = excluded.method, lower_limit = excluded.lower_limit, upper_limit = excluded.upper_limit,"
        " use_limit = excluded.use_limit, max = excluded.max, min = excluded.min, average = excluded.average,"
        " standard_deviation = excluded.standard_deviation, operator = excluded.operator,"
        " item_count = excluded.item_count, archived = excluded.archived"
        " RETURNING id"));
    for (const QVariant& value :
         {QVariant(SqlText(origin.m_strStation)), QVariant(SqlText(ArchiveKey(batch))),
          QVariant(static_cast<qint64>(batch.m_time)), QVariant(batch.m_nTestModel), QVariant(batch.m_nTestMethod),
          SqlReal(batch.m_dLowerLimit), SqlReal(batch.m_dUpperLimit), QVariant(batch.m_bUseLimit ? 1 : 0),
          SqlReal(batch.m_dMax), SqlReal(batch.m_dMin), SqlReal(batch.m_dAverage), SqlReal(batch.m_dStandardDeviation),
          QVariant(SqlText(origin.m_strOperator)), QVariant(static_cast<qint64>(batch.m_itemVector.size())),
          QVariant::fromValue<qint64>(QDateTime::currentSecsSinceEpoch())}) {
        query.addBindValue(value);
    }
    if (!query.exec() || !query.next()) return -1;
    return query.value(0).toLongLong();
}

// Items go in many rows to a statement: a server on the network answers
// each statement, and 10,000 answers would take seconds.
constexpr std::size_t kItemRowsPerStatement = 200;

QString ItemInsert(std::size_t rows) {
    QStringList values;
    for (std::size_t row = 0; row < rows; ++row) values << QStringLiteral("(?, ?, COALESCE(?, ''), COALESCE(?, ''), ?, ?, ?, ?)");
    return QStringLiteral("INSERT INTO items (batch_id, position, name, scale, average, pass, readings, fields) VALUES ") +
           values.join(QStringLiteral(", "));
}

bool WriteItemRows(QSqlQuery& query, const STLedgermill& batch, qint64 batchId) {
    const auto& items = batch.m_itemVector;
    std::size_t preparedRows = 0;
    for (std::size_t first = 0; first < items.size(); first += kItemRowsPerStatement) {
        const std::size_t rows = std::min(kItemRowsPerStatement, items.size() - first);
        if (rows != preparedRows) {
            query.prepare(ItemInsert(rows));
            preparedRows = rows;
        }
        int at = 0;
        for (std::size_t index = first; index < first + rows; ++index) {
            const STLedgermillItem& item = *items[index];
            query.bindValue(at++, batchId);
            query.bindValue(at++, static_cast<qint64>(index + 1));
            query.bindValue(at++, FieldOf(item, u"NAME"));
            query.bindValue(at++, FieldOf(item, u"HD"));
            query.bindValue(at++, SqlReal(item.m_dAverage));
            query.bindValue(at++, batch.IsPass(item) ? 1 : 0);
            query.bindValue(at++, ReadingsText(item.m_values));
            query.bindValue(at++, FieldsText(item.m_subItem));
        }
        if (!query.exec()) return false;
    }
    return true;
}

}  // namespace

std::u16string ArchiveKey(const STLedgermill& batch) {
    return FormatTime(kKeySelector, batch.m_time);
}

bool WriteArchivedBatch(QSqlDatabase& database, const STLedgermill& batch, const STArchiveOrigin& origin,
                        std::string& failure) {
    QSqlQuery query(database);
    const qint64 batchId = WriteBatchRow(query, batch, origin);
    if (batchId >= 0) {
        query.finish();
        query.prepare(QStringLiteral("DELETE FROM items WHERE batch_id = ?"));
        query.addBindValue(batchId);
        if (query.exec() && WriteItemRows(query, batch, batchId)) return true;
    }
    failure = query.lastError().text().toStdString();
    return false;
}

bool ArchiveBatch(QSqlDatabase& database, const STLedgermill& batch, const STArchiveOrigin& origin,
                  std::string& failure) {
    if (!BeginWriting(database, failure)) return false;
    if (!WriteArchivedBatch(database, batch, origin, failure)) {
        AbandonWriting(database);
        return false;
    }
    return CommitWriting(database, failure);
}

bool LoadArchivedBatch(QSqlDatabase& database, std::u16string_view station, std::u16string_view key,
                       STLedgermill& batch, std::string& failure) {
    STArchiveOrigin origin;
    return LoadArchivedBatch(database, station, key, batch, origin, failure);
}

bool LoadArchivedBatch(QSqlDatabase& database, std::u16string_view station, std::u16string_view key,
                       STLedgermill& batch, STArchiveOrigin& origin, std::string& failure) {
    failure.clear();
    QSqlQuery query(database);
    query.prepare(QStringLiteral(
        "SELECT id, created, model, method, lower_limit, upper_limit, use_limit, operator FROM batches"
        " WHERE station = ? AND batch_key = ?"));
    query.addBindValue(SqlText(station));
    query.addBindValue(SqlText(key));
    if (!query.exec()) {
        failure = query.lastError().text().toStdString();
        return false;
    }
    if (!query.next()) return false;
    STLedgermill loaded;
    const qint64 batchId = query.value(0).toLongLong();
    loaded.m_time = query.value(1).toLongLong();
    loaded.m_nTestModel = query.value(2).toInt();
    loaded.m_nTestMethod = query.value(3).toInt();
    loaded.m_dLowerLimit = RealOfSql(query.value(4));
    loaded.m_dUpperLimit = RealOfSql(query.value(5));
    loaded.m_bUseLimit = query.value(6).toInt() != 0;
    const std::u16string operatorName = Wide(query.value(7).toString());

    query.prepare(QStringLiteral("SELECT readings, fields FROM items WHERE batch_id = ? ORDER BY position"));
    query.addBindValue(batchId);
    if (!query.exec()) {
        failure = query.lastError().text().toStdString();
        return false;
    }
    while (query.next()) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_values = ReadingsOf(query.value(0).toString());
        item->m_subItem = FieldsOf(query.value(1).toString());
        item->UpdateStatistics();
        loaded.AddItem(std::move(item));
    }
    loaded.UpdateStatistics();
    batch = std::move(loaded);
    origin = {std::u16string(station), operatorName};
    return true;
}
