#include "app/refusal_notice.h"

#include <algorithm>

#include "app/window_text.h"
#include "instrument/record_keys.h"

namespace {

QString MethodName(int method) {
    return method == kTestMethodLeeb  ? QStringLiteral("Leeb")
           : method == kTestMethodUci ? QStringLiteral("UCI")
                                      : QString();
}

// One of what the item is, such as "UCI record" or "Leeb average record".
QString KindOf(const STLedgermillItem& item, const STLedgermill& batch) {
    const bool leeb = item.m_subItem.contains(kKeyImpact);
    const bool uci = item.m_subItem.contains(kKeyForce);
    if (item.m_subItem.empty()) {
        return QStringLiteral("record without fields");
    }
    if (!leeb && !uci) {
        return QStringLiteral("record of neither method");
    }
    const bool batchLeeb = batch.m_nTestMethod == kTestMethodLeeb;
    if (!(batchLeeb ? leeb : uci)) {
        return leeb ? QStringLiteral("Leeb record") : QStringLiteral("UCI record");
    }
    return (batchLeeb ? QStringLiteral("Leeb") : QStringLiteral("UCI")) +
           (item.m_subItem.contains(kKeyAverage) ? QStringLiteral(" average record")
                                                 : QStringLiteral(" single reading"));
}

QString BatchTakes(const STLedgermill& batch) {
    const QString method = MethodName(batch.m_nTestMethod);
    if (method.isEmpty() ||
        (batch.m_nTestModel != kTestModelBatch && batch.m_nTestModel != kTestModelAverage)) {
        return QStringLiteral("no records");
    }
    return method + (batch.m_nTestModel == kTestModelBatch ? QStringLiteral(" single readings")
                                                           : QStringLiteral(" average records"));
}

// "1 is a UCI record", "2 are UCI records".
QString CountedKind(std::size_t count, const QString& kind) {
    if (count == 1) {
        const bool vowel = QStringLiteral("AEIOUaeiou").contains(kind.front()) &&
                           !kind.startsWith(QStringLiteral("UCI"));
        return QStringLiteral("1 is %1 %2")
            .arg(vowel ? QStringLiteral("an") : QStringLiteral("a"), kind);
    }
    const QString plural = kind.startsWith(QStringLiteral("record "))
                               ? QStringLiteral("records") + kind.mid(6)
                               : kind + u's';
    return QStringLiteral("%1 are %2").arg(count).arg(plural);
}

QString Happened(std::size_t count, const QString& what) {
    return QStringLiteral("%1 %2 %3")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("was") : QStringLiteral("were"), what);
}

QString JournalsText(const std::vector<std::string>& journals) {
    QStringList paths;
    for (const std::string& journal : journals) {
        paths << QString::fromStdString(journal);
    }
    if (paths.isEmpty()) {
        return {};
    }
    const QString last = paths.takeLast();
    return QStringLiteral("The received bytes are kept in %1.")
        .arg(paths.isEmpty() ? last
                             : paths.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last);
}

}  // namespace

std::size_t STRefusalCounts::Refused() const {
    std::size_t refused = m_nDamaged + m_nCutOff;
    for (const auto& [kind, count] : m_wrongKinds) {
        refused += count;
    }
    return refused;
}

void STRefusalCounts::AddWrongKind(const STLedgermillItem& item, const STLedgermill& batch) {
    m_strBatchTakes = BatchTakes(batch);
    CountKind(KindOf(item, batch), 1);
}

void STRefusalCounts::CountKind(const QString& kind, std::size_t count) {
    const auto found = std::find_if(m_wrongKinds.begin(), m_wrongKinds.end(),
                                    [&kind](const auto& entry) { return entry.first == kind; });
    if (found == m_wrongKinds.end()) {
        m_wrongKinds.emplace_back(kind, count);
    } else {
        found->second += count;
    }
}

void STRefusalCounts::Add(const STRefusalCounts& more) {
    m_nOffered += more.m_nOffered;
    for (const auto& [kind, count] : more.m_wrongKinds) {
        CountKind(kind, count);
    }
    if (!more.m_strBatchTakes.isEmpty()) {
        m_strBatchTakes = more.m_strBatchTakes;
    }
    m_nDamaged += more.m_nDamaged;
    m_nCutOff += more.m_nCutOff;
    for (const std::string& journal : more.m_journals) {
        if (std::find(m_journals.begin(), m_journals.end(), journal) == m_journals.end()) {
            m_journals.push_back(journal);
        }
    }
}

QString RefusalText(const STRefusalCounts& counts) {
    QStringList reasons;
    if (!counts.m_wrongKinds.empty()) {
        QStringList kinds;
        for (const auto& [kind, count] : counts.m_wrongKinds) {
            kinds << CountedKind(count, kind);
        }
        reasons << kinds.join(QStringLiteral(", ")) + QStringLiteral(", the batch takes ") +
                       counts.m_strBatchTakes;
    }
    if (counts.m_nDamaged > 0) {
        reasons << Happened(counts.m_nDamaged, QStringLiteral("damaged on the line"));
    }
    if (counts.m_nCutOff > 0) {
        reasons << Happened(counts.m_nCutOff, QStringLiteral("cut off"));
    }
    return QStringLiteral("%1 of %2 records refused: %3.")
        .arg(counts.Refused())
        .arg(counts.m_nOffered)
        .arg(reasons.join(QStringLiteral("; ")));
}

CRefusalNotice::CRefusalNotice(QWidget* parent) : m_box(parent) {
    m_box.setWindowTitle(kMarloCaption);
    m_box.setIcon(QMessageBox::NoIcon);
    m_box.setStandardButtons(QMessageBox::Ok);
    m_box.setModal(false);
    m_box.setWindowModality(Qt::NonModal);
    QObject::connect(&m_box, &QMessageBox::finished, &m_box, [this] { m_shown = {}; });
}

void CRefusalNotice::Report(const STRefusalCounts& counts) {
    if (!m_box.isVisible()) {
        m_shown = {};
    }
    m_shown.Add(counts);
    QString text = kMessage + u'\n' + RefusalText(m_shown);
    if (const QString journals = JournalsText(m_shown.m_journals); !journals.isEmpty()) {
        text += u'\n' + journals;
    }
    m_box.setText(text);
    if (!m_box.isVisible()) {
        m_box.show();
    }
}
