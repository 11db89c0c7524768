#include "dialogs/dlg_limit.h"

#include <QShowEvent>

#include "dialogs/dialog_texts.h"
#include "dialogs/dialog_units.h"
#include "dialogs/locale_number.h"
#include "dialogs/modal.h"

CDlgLimit::CDlgLimit(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Limit"));
    setFont(DialogFont());
    const CDialogUnits units(font());
    units.SizeDialog(*this, 120, 79);
    units.Place(m_upperLabel, 7, 7, 56, 8);
    units.Place(m_upperEdit, 65, 7, 48, 14);
    units.Place(m_lowerLabel, 7, 23, 56, 8);
    units.Place(m_lowerEdit, 65, 23, 48, 14);
    units.Place(m_useLimitBox, 20, 41, 93, 10);
    units.Place(m_cancelButton, 7, 58, 50, 14);
    units.Place(m_okButton, 63, 58, 50, 14);
    m_okButton.setDefault(true);
    setTabOrder(&m_upperEdit, &m_lowerEdit);
    setTabOrder(&m_lowerEdit, &m_useLimitBox);
    setTabOrder(&m_useLimitBox, &m_cancelButton);
    setTabOrder(&m_cancelButton, &m_okButton);
    connect(&m_useLimitBox, &QCheckBox::clicked, this, [this] { EnableEdits(); });
    connect(&m_okButton, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(&m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void CDlgLimit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        OnInitDialog();
    }
}

void CDlgLimit::OnInitDialog() {
    m_useLimitBox.setChecked(m_bUseLimit);
    m_lowerEdit.setText(OneDecimal(m_dLowerLimit));
    m_upperEdit.setText(OneDecimal(m_dUpperLimit));
    EnableEdits();
}

void CDlgLimit::EnableEdits() {
    m_lowerEdit.setEnabled(m_useLimitBox.isChecked());
    m_upperEdit.setEnabled(m_useLimitBox.isChecked());
}

// The members change as the checks pass, so a rejected attempt leaves what
// it converted so far.
void CDlgLimit::OnOK() {
    m_bUseLimit = m_useLimitBox.isChecked();
    if (!m_bUseLimit) {
        accept();
        return;
    }
    if (m_lowerEdit.text().isEmpty()) {
        RefuseWithPrompt(this, "Lower Limit is wrong.", &m_lowerEdit);
        return;
    }
    ReadTypedNumber(m_lowerEdit.text(), m_dLowerLimit);
    if (m_upperEdit.text().isEmpty()) {
        RefuseWithPrompt(this, "Upper Limit is wrong.", &m_upperEdit);
        return;
    }
    ReadTypedNumber(m_upperEdit.text(), m_dUpperLimit);
    if (!(m_dUpperLimit > m_dLowerLimit)) {
        RefuseWithPrompt(this, "Lower Limit is larger than Upper Limit.", nullptr);
        return;
    }
    accept();
}
