#include "dialogs/limit_edits.h"

#include <QDialog>

#include "dialogs/dialog_texts.h"
#include "dialogs/locale_number.h"

CLimitEdits::CLimitEdits(QWidget* dialog)
    : m_upperLabel(QStringLiteral("Upper Limit:"), dialog),
      m_upperEdit(dialog),
      m_lowerLabel(QStringLiteral("Lower Limit:"), dialog),
      m_lowerEdit(dialog),
      m_useLimitBox(QStringLiteral("Use Limit"), dialog),
      m_pDialog(dialog) {
    QObject::connect(&m_useLimitBox, &QCheckBox::clicked, dialog, [this] { EnableEdits(); });
}

void CLimitEdits::Show(double lower, double upper, bool useLimit) {
    m_useLimitBox.setChecked(useLimit);
    m_lowerEdit.setText(OneDecimal(lower));
    m_upperEdit.setText(OneDecimal(upper));
    EnableEdits();
}

void CLimitEdits::EnableEdits() {
    m_lowerEdit.setEnabled(m_useLimitBox.isChecked());
    m_upperEdit.setEnabled(m_useLimitBox.isChecked());
}

bool CLimitEdits::ReadLimits(double& lower, double& upper) {
    if (m_lowerEdit.text().isEmpty()) {
        RefuseWithPrompt(m_pDialog, "Lower Limit is wrong.", &m_lowerEdit);
        return false;
    }
    if (const std::optional<double> read = ParseTypedNumber(m_lowerEdit.text())) {
        lower = *read;
    }
    if (m_upperEdit.text().isEmpty()) {
        RefuseWithPrompt(m_pDialog, "Upper Limit is wrong.", &m_upperEdit);
        return false;
    }
    if (const std::optional<double> read = ParseTypedNumber(m_upperEdit.text())) {
        upper = *read;
    }
    if (!(lower < upper)) {
        RefuseWithPrompt(m_pDialog, "Lower Limit is larger than Upper Limit.", nullptr);
        return false;
    }
    return true;
}
