#include "dialogs/dlg_new_export.h"

#include <QShowEvent>
#include <array>

#include "common/number_text.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/dialog_units.h"
#include "dialogs/dlg_limit.h"
#include "dialogs/drop_down_list.h"
#include "dialogs/locale_number.h"
#include "dialogs/modal.h"
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

// The typed limit; 0.0 when the text starts with no number.
double TypedLimit(const QLineEdit& edit) {
    double value = 0.0;
    ReadTypedNumber(edit.text(), value);
    return value;
}

}  // namespace

CDlgNewExport::CDlgNewExport(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("New Export"));
    setFont(DialogFont());
    const CDialogUnits units(font());
    units.SizeDialog(*this, 150, 111);
    units.Place(m_testModelLabel, 7, 7, 56, 8);
    PlaceDropDownList(units, m_testModelList, 68, 7, 75, 110);
    units.Place(m_testMethodLabel, 7, 23, 56, 8);
    PlaceDropDownList(units, m_testMethodList, 68, 23, 75, 110);
    units.Place(m_upperLabel, 7, 41, 56, 8);
    units.Place(m_upperEdit, 68, 41, 75, 12);
    units.Place(m_lowerLabel, 7, 57, 56, 8);
    units.Place(m_lowerEdit, 68, 57, 75, 12);
    units.Place(m_useLimitBox, 68, 76, 75, 10);
    units.Place(m_cancelButton, 27, 90, 50, 14);
    units.Place(m_okButton, 84, 90, 50, 14);
    m_okButton.setDefault(true);

    const std::array<QWidget*, 7> tabOrder = {&m_testModelList, &m_testMethodList, &m_upperEdit,
                                              &m_lowerEdit,     &m_useLimitBox,    &m_cancelButton,
                                              &m_okButton};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    connect(&m_useLimitBox, &QCheckBox::clicked, this, [this] { EnableEdits(); });
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
    m_useLimitBox.setChecked(g_stSetting.m_bUseLimit);
    m_lowerEdit.setText(OneDecimal(g_stSetting.m_dLowerLimit));
    m_upperEdit.setText(OneDecimal(g_stSetting.m_dUpperLimit));
    EnableEdits();
}

void CDlgNewExport::EnableEdits() {
    m_lowerEdit.setEnabled(m_useLimitBox.isChecked());
    m_upperEdit.setEnabled(m_useLimitBox.isChecked());
}

// g_stSetting changes only once every check has passed.
void CDlgNewExport::OnOK() {
    const bool useLimit = m_useLimitBox.isChecked();
    if (useLimit) {
        if (m_lowerEdit.text().isEmpty()) {
            RefuseWithPrompt(this, "Lower Limit is wrong.", &m_lowerEdit);
            return;
        }
        const double lower = TypedLimit(m_lowerEdit);
        if (m_upperEdit.text().isEmpty()) {
            RefuseWithPrompt(this, "Upper Limit is wrong.", &m_upperEdit);
            return;
        }
        const double upper = TypedLimit(m_upperEdit);
        if (!(lower < upper)) {
            RefuseWithPrompt(this, "Lower Limit is larger than Upper Limit.", nullptr);
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
