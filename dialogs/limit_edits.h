// The limit group both limit dialogs share: the upper and lower limit edits
// with their labels and the Use Limit box that enables them.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

class CLimitEdits {
public:
    explicit CLimitEdits(QWidget* dialog);

    void Show(double lower, double upper, bool useLimit);
    // The edits follow the Use Limit box.
    void EnableEdits();
    // Reads the lower, then the upper limit into the arguments as each passes
    // its check (empty: "... is wrong.", no number: "... is not a number.");
    // false, after the operator has been told, at the first failure.
    bool ReadLimits(double& lower, double& upper);

    // Declared in the order the controls take the focus.
    QLabel m_upperLabel;
    QLineEdit m_upperEdit;
    QLabel m_lowerLabel;
    QLineEdit m_lowerEdit;
    QCheckBox m_useLimitBox;

private:
    QWidget* m_pDialog;
};
