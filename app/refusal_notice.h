// Why received records were not filed, and the one message that says so.
// The message never blocks receiving: it is not modal, at most one is open,
// and refusals that come while it is open are added to it.
#pragma once

#include <QMessageBox>
#include <QString>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "model/ledgermill.h"

struct STRefusalCounts {
    // Records received for filing, filed or not.
    std::size_t m_nOffered = 0;
    // Records the batch does not take, by what they are ("UCI record").
    std::vector<std::pair<QString, std::size_t>> m_wrongKinds;
    // What the batch takes ("Leeb single readings").
    QString m_strBatchTakes;
    std::size_t m_nDamaged = 0;
    std::size_t m_nCutOff = 0;
    // Where the received bytes are kept.
    std::vector<std::string> m_journals;

    std::size_t Refused() const;
    // Counts an item the batch refused.
    void AddWrongKind(const STLedgermillItem& item, const STLedgermill& batch);
    void Add(const STRefusalCounts& more);

private:
    void CountKind(const QString& kind, std::size_t count);
};

// "3 of 12 records refused: 2 are UCI records, the batch takes Leeb single
// readings; 1 was cut off."
QString RefusalText(const STRefusalCounts& counts);

class CRefusalNotice {
public:
    static inline const QString kMessage = QStringLiteral("Part of the data is the error data.");

    explicit CRefusalNotice(QWidget* parent);

    // Shows the refusals, added to those already shown while the message is
    // open.
    void Report(const STRefusalCounts& counts);
    // As the operator's OK does.
    void Dismiss() { m_box.done(QMessageBox::Ok); }
    bool IsOpen() const { return m_box.isVisible(); }
    QString Text() const { return m_box.text(); }

private:
    QMessageBox m_box;
    STRefusalCounts m_shown;
};
