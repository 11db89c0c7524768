#include "dialogs/limit_edits.h"

#include <QDialog>

#include "dialogs/dialog_texts.h"

CLimitEdits::CLimitEdits(QWidget* dialog)
    : m_upperLabel(QStringLiteral("Upper Limit:"), dialog),
      m_upperEdit(dialog),
      m_lowerLabel(QStringLiteral("Lower Limit:"), dialog),
      m_lowerEdit(dialog),
      m_useLimitBox(QStringLiteral("Use Limit"), dialog),
      m_pDialog(dialog) {
    m_upperLabel.setBuddy(&m_upperEdit);
    m_lowerLabel.setBuddy(&m_lowerEdit);
    // Toggled, not clicked: a screen reader's toggle action enables them too.
    QObject::connect(&m_useLimitBox, &QCheckBox::toggled, dialog, [this] { EnableEdits(); });
}

void CLimitEdits::Show(double lower, double upper, bool useLimit) {
    {
        const QSignalBlocker shown(m_useLimitBox);  // enabled once, below
        m_useLimitBox.setChecked(useLimit);
    }
    m_lowerEdit.setText(OneDecimal(lower));
    m_upperEdit.setText(OneDecimal(upper));
    EnableEdits();
}

void CLimitEdits::EnableEdits() {
    m_lowerEdit.setEnabled(m_useLimitBox.isChecked());
    m_upperEdit.setEnabled(m_useLimitBox.isChecked());
}

namespace {

// Nothing typed keeps the message it always had; any other text that is no
// number is named as such.
bool ReadLimit(QWidget* dialog, const QLabel& label, QLineEdit& edit, const char* emptyMessage,
               double& limit) {
    if (edit.text().isEmpty()) {
        RefuseWithPrompt(dialog, QString::fromUtf8(emptyMessage), &edit);
        return false;
    }
    const std::optional<double> read = ReadNumberEdit(dialog, label, edit);
    if (!read) {
        return false;
    }
    limit = *read;
    return true;
}

}  // namespace

bool CLimitEdits::ReadLimits(double& lower, double& upper) {
    if (!ReadLimit(m_pDialog, m_lowerLabel, m_lowerEdit, "Lower Limit is wrong.", lower) ||
        !ReadLimit(m_pDialog, m_upperLabel, m_upperEdit, "Upper Limit is wrong.", upper)) {
        return false;
    }
    if (!(lower < upper)) {
        RefuseWithPrompt(m_pDialog, QStringLiteral("Lower Limit is larger than Upper Limit."),
                         nullptr);
        return false;
    }
    return true;
}
