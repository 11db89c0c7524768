#include "dialogs/dlg_new_export.h"

#include <QShowEvent>
#include <array>

#include "common/number_text.h"
#include "dialogs/dialog_units.h"
#include "dialogs/drop_down_list.h"
#include "persistence/setting.h"

namespace {

// Both items at their positions, the position as value; the item at
// position selected, none when position names no item.
void FillTwoItems(QComboBox& list, const QString& first, const QString& second, int position) {
    list.clear();
    list.insertItem(0, first, 0);
    list.insertItem(1, second, 1);
    list.setCurrentIndex(position >= 0 && position < list.count() ? position : -1);
}

}  // namespace

CDlgNewExport::CDlgNewExport(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("New Export"));
    setFont(DialogFont());
    const CDialogUnits units(font());
    units.SizeDialog(*this, 150, 111);
    units.Place(m_testModelLabel, 7, 7, 56, 8);
    m_testModelLabel.setBuddy(&m_testModelList);
    PlaceDropDownList(units, m_testModelList, 68, 7, 75, 110);
    units.Place(m_testMethodLabel, 7, 23, 56, 8);
    m_testMethodLabel.setBuddy(&m_testMethodList);
    PlaceDropDownList(units, m_testMethodList, 68, 23, 75, 110);
    units.Place(m_limits.m_upperLabel, 7, 41, 56, 8);
    units.Place(m_limits.m_upperEdit, 68, 41, 75, 12);
    units.Place(m_limits.m_lowerLabel, 7, 57, 56, 8);
    units.Place(m_limits.m_lowerEdit, 68, 57, 75, 12);
    units.Place(m_limits.m_useLimitBox, 68, 76, 75, 10);
    units.Place(m_cancelButton, 27, 90, 50, 14);
    units.Place(m_okButton, 84, 90, 50, 14);
    m_okButton.setDefault(true);

    const std::array<QWidget*, 7> tabOrder = {&m_testModelList,        &m_testMethodList,
                                              &m_limits.m_upperEdit,   &m_limits.m_lowerEdit,
                                              &m_limits.m_useLimitBox, &m_cancelButton,
                                              &m_okButton};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    connect(&m_okButton, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(&m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void CDlgNewExport::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        OnInitDialog();
    }
}

void CDlgNewExport::OnInitDialog() {
    FillTwoItems(m_testModelList, QStringLiteral("Batch"), QStringLiteral("Average"),
                 g_stSetting.m_nTestModel);
    FillTwoItems(m_testMethodList, QStringLiteral("UCI"), QStringLiteral("Leeb"),
                 g_stSetting.m_nTestMethod);
    m_limits.Show(g_stSetting.m_dLowerLimit, g_stSetting.m_dUpperLimit, g_stSetting.m_bUseLimit);
}

// g_stSetting changes only once every check has passed.
void CDlgNewExport::OnOK() {
    const bool useLimit = m_limits.m_useLimitBox.isChecked();
    if (useLimit) {
        double lower = 0.0;
        double upper = 0.0;
        if (!m_limits.ReadLimits(lower, upper)) {
            return;
        }
        g_stSetting.m_dLowerLimit = lower;
        g_stSetting.m_dUpperLimit = upper;
    }
    g_stSetting.m_bUseLimit = useLimit;
    g_stSetting.m_nTestModel = m_testModelList.currentIndex();
    g_stSetting.m_nTestMethod = m_testMethodList.currentIndex();
    accept();
}
