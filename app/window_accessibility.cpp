// What a screen reader says for each control of the main window. The
// visible captions stay as they are; where a caption alone is ambiguous
// ("Delete" twice, "Add") the accessible name adds what it acts on, and
// always starts with the caption so that voice control finds it by what is
// shown.
#include <initializer_list>
#include <utility>

#include "app/ledgermill_dlg.h"

namespace {

// The label's caption without its colon names the field, and the buddy
// relation tells assistive technology which label belongs to it.
void NameByLabel(QLabel& label, QWidget& field) {
    label.setBuddy(&field);
    QString name = label.text();
    if (name.endsWith(QLatin1Char(':'))) {
        name.chop(1);
    }
    field.setAccessibleName(name);
}

void Describe(QWidget& control, const QString& name, const QString& description) {
    if (!name.isEmpty()) {
        control.setAccessibleName(name);
    }
    control.setAccessibleDescription(description);
}

}  // namespace

void CLedgermillDlg::NameControlsForAssistiveTechnology() {
    // Open keeps its caption ("Open", "Close") as its name and its tool tip,
    // which says why the port failed, as its description.
    Describe(m_settingButton, {}, QStringLiteral("Serial port parameters and report texts"));
    Describe(m_realTimeBox, {},
             QStringLiteral("Files complete records into the selected batch as they arrive"));
    Describe(m_rawText, QStringLiteral("Received Text"),
             QStringLiteral("The text received from the instrument"));
    Describe(m_clearButton, QStringLiteral("Clear Received Text"),
             QStringLiteral("Empties the received text"));
    Describe(m_addButton, QStringLiteral("Add Received Records"),
             QStringLiteral("Files the complete records received into the selected batch"));
    Describe(m_batchList, QStringLiteral("Batches"),
             QStringLiteral("The batches of this run; the selected one is on display"));
    Describe(m_deleteBatchButton, QStringLiteral("Delete Batch"),
             QStringLiteral("Removes the selected batch"));
    Describe(m_newButton, QStringLiteral("New Batch"),
             QStringLiteral("Creates a batch with a test model, method and limits"));
    Describe(m_loadButton, QStringLiteral("Load Batch File"),
             QStringLiteral("Adds the batches of an HDB file to the list"));
    Describe(m_saveButton, QStringLiteral("Save Batch"),
             QStringLiteral("Writes the selected batch to an HDB file"));
    Describe(m_reportButton, {},
             QStringLiteral("Writes the chart picture and the workbook of the selected batch"));
    Describe(m_limitButton, {}, QStringLiteral("Sets the limits of the batch on display"));
    for (const auto& [label, field] : std::initializer_list<std::pair<QLabel*, QLineEdit*>>{
             {&m_lowerLimitLabel, &m_lowerLimitEdit},
             {&m_upperLimitLabel, &m_upperLimitEdit},
             {&m_minLabel, &m_minEdit},
             {&m_maxLabel, &m_maxEdit},
             {&m_averageLabel, &m_averageEdit},
             {&m_deviationLabel, &m_deviationEdit}}) {
        NameByLabel(*label, *field);
    }
    Describe(m_capabilityLabel, QStringLiteral("Process Capability"),
             QStringLiteral("Cp, Cpk, pass rate and NG items of the batch on display against its limits"));
    Describe(m_leebList, QStringLiteral("Leeb Measurements"),
             QStringLiteral("The records of the batch on display"));
    Describe(m_uciList, QStringLiteral("UCI Measurements"),
             QStringLiteral("The records of the batch on display"));
    Describe(m_valuesList, QStringLiteral("Readings"),
             QStringLiteral("The single readings of the selected average record"));
    Describe(m_titleEdit, QStringLiteral("Batch on Display"),
             QStringLiteral("Creation time, test model and test method of the batch"));
    Describe(m_deleteMeasurementButton, QStringLiteral("Delete Measurement"),
             QStringLiteral("Removes the selected record from the batch on display"));
    Describe(m_statusBar, QStringLiteral("Status"),
             QStringLiteral("Port state, received counts, last record and journal"));
}
