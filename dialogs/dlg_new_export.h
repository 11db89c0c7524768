// The New Export dialog: test model, test method and limits of the batch
// about to be created. It shows g_stSetting and, on OK, once every check has
// passed, writes the choices back into it; the New command then creates the
// batch from there. Cancel leaves g_stSetting as it was.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "dialogs/limit_edits.h"

class CDlgNewExport : public QDialog {
public:
    explicit CDlgNewExport(QWidget* parent = nullptr);

    // Fills the lists and shows g_stSetting; called when the dialog is shown.
    void OnInitDialog();
    // Checks the limits and stores the choices; closes only when they pass.
    void OnOK();

    QComboBox& TestModelList() { return m_testModelList; }
    QComboBox& TestMethodList() { return m_testMethodList; }
    QLineEdit& UpperEdit() { return m_limits.m_upperEdit; }
    QLineEdit& LowerEdit() { return m_limits.m_lowerEdit; }
    QCheckBox& UseLimitBox() { return m_limits.m_useLimitBox; }
    QPushButton& OkButton() { return m_okButton; }
    QPushButton& CancelButton() { return m_cancelButton; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Declared in the order the controls take the focus.
    QLabel m_testModelLabel{QStringLiteral("Test Model:"), this};
    QComboBox m_testModelList{this};
    QLabel m_testMethodLabel{QStringLiteral("Test Method:"), this};
    QComboBox m_testMethodList{this};
    CLimitEdits m_limits{this};
    QPushButton m_cancelButton{QStringLiteral("Cancel"), this};
    QPushButton m_okButton{QStringLiteral("OK"), this};
};
