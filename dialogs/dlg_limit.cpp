#include "dialogs/dlg_limit.h"

#include <QShowEvent>

#include "dialogs/dialog_units.h"

CDlgLimit::CDlgLimit(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Limit"));
    setFont(DialogFont());
    const CDialogUnits units(font());
    units.SizeDialog(*this, 120, 79);
    units.Place(m_limits.m_upperLabel, 7, 7, 56, 8);
    units.Place(m_limits.m_upperEdit, 65, 7, 48, 14);
    units.Place(m_limits.m_lowerLabel, 7, 23, 56, 8);
    units.Place(m_limits.m_lowerEdit, 65, 23, 48, 14);
    units.Place(m_limits.m_useLimitBox, 20, 41, 93, 10);
    units.Place(m_cancelButton, 7, 58, 50, 14);
    units.Place(m_okButton, 63, 58, 50, 14);
    m_okButton.setDefault(true);
    setTabOrder(&m_limits.m_upperEdit, &m_limits.m_lowerEdit);
    setTabOrder(&m_limits.m_lowerEdit, &m_limits.m_useLimitBox);
    setTabOrder(&m_limits.m_useLimitBox, &m_cancelButton);
    setTabOrder(&m_cancelButton, &m_okButton);
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
    m_limits.Show(m_dLowerLimit, m_dUpperLimit, m_bUseLimit);
}

// The members change as the checks pass, so a rejected attempt leaves what
// it converted so far.
void CDlgLimit::OnOK() {
    m_bUseLimit = m_limits.m_useLimitBox.isChecked();
    if (m_bUseLimit && !m_limits.ReadLimits(m_dLowerLimit, m_dUpperLimit)) {
        return;
    }
    accept();
}
