// The Limit dialog: the lower and upper limit of the batch on display and
// whether they are in use. The caller sets the three members, runs the
// dialog and, on OK, reads them back.
#pragma once

#include <QDialog>
#include <QPushButton>

#include "dialogs/limit_edits.h"

class CDlgLimit : public QDialog {
public:
    explicit CDlgLimit(QWidget* parent = nullptr);

    double m_dUpperLimit = 0.0;
    double m_dLowerLimit = 0.0;
    bool m_bUseLimit = false;

    // Shows the members; called when the dialog is shown.
    void OnInitDialog();
    // Checks and stores the limits; closes only when they pass.
    void OnOK();

    QLineEdit& UpperEdit() { return m_limits.m_upperEdit; }
    QLineEdit& LowerEdit() { return m_limits.m_lowerEdit; }
    QCheckBox& UseLimitBox() { return m_limits.m_useLimitBox; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    CLimitEdits m_limits{this};
    QPushButton m_cancelButton{QStringLiteral("Cancel"), this};
    QPushButton m_okButton{QStringLiteral("OK"), this};
};
