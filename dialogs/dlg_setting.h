// The Setting dialog: the serial-port parameters used when the port is
// opened and the texts printed in the report. It keeps nothing itself: it
// shows g_stSetting and, on an OK that passes, writes the choices back into it;
// Cancel leaves g_stSetting as it was.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

class CDlgSetting : public QDialog {
public:
    // devFolder is where the USB and CDC-ACM serial devices are looked for.
    explicit CDlgSetting(QWidget* parent = nullptr, std::string devFolder = "/dev/");

    // Fills the lists and shows g_stSetting; called when the dialog is shown.
    void OnInitDialog();
    // Stores every control into g_stSetting and closes, unless the sampling
    // rate is no number: then it says so and stores nothing.
    void OnOK();

    QComboBox& PortList() { return m_portList; }
    QComboBox& BaudRateList() { return m_baudRateList; }
    QComboBox& ParityList() { return m_parityList; }
    QComboBox& DataBitList() { return m_dataBitList; }
    QComboBox& StopBitList() { return m_stopBitList; }
    QLineEdit& TitleOneEdit() { return m_titleOneEdit; }
    QLineEdit& TitleTwoEdit() { return m_titleTwoEdit; }
    QLineEdit& OperatorEdit() { return m_operatorEdit; }
    QLineEdit& DepartmentEdit() { return m_departmentEdit; }
    QLineEdit& SpecimenEdit() { return m_specimenEdit; }
    QLineEdit& SamplingRateEdit() { return m_samplingRateEdit; }
    QPushButton& OkButton() { return m_okButton; }
    QPushButton& CancelButton() { return m_cancelButton; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillLists();

    std::string m_strDevFolder;

    // Declared in the order the controls stack and take the focus.
    QGroupBox m_serialGroup{QStringLiteral("Serial Port Setting"), this};
    QLabel m_portLabel{QStringLiteral("Port:"), this};
    QComboBox m_portList{this};
    QLabel m_baudRateLabel{QStringLiteral("Baud Rate:"), this};
    QComboBox m_baudRateList{this};
    QLabel m_parityLabel{QStringLiteral("Parity Bit:"), this};
    QComboBox m_parityList{this};
    QLabel m_dataBitLabel{QStringLiteral("Data Bit:"), this};
    QComboBox m_dataBitList{this};
    QLabel m_stopBitLabel{QStringLiteral("Stop Bit:"), this};
    QComboBox m_stopBitList{this};
    QGroupBox m_reportGroup{QStringLiteral("Report Setting"), this};
    QLabel m_titleOneLabel{QStringLiteral("Title One:"), this};
    QLineEdit m_titleOneEdit{this};
    QLabel m_titleTwoLabel{QStringLiteral("Title Two:"), this};
    QLineEdit m_titleTwoEdit{this};
    QLabel m_operatorLabel{QStringLiteral("Operator:"), this};
    QLineEdit m_operatorEdit{this};
    QLabel m_departmentLabel{QStringLiteral("Department:"), this};
    QLineEdit m_departmentEdit{this};
    QLabel m_specimenLabel{QStringLiteral("Specimen:"), this};
    QLineEdit m_specimenEdit{this};
    QLabel m_samplingRateLabel{QStringLiteral("Sampling Rate:"), this};
    QLineEdit m_samplingRateEdit{this};
    QLabel m_percentLabel{QStringLiteral("%"), this};
    QPushButton m_okButton{QStringLiteral("OK"), this};
    QPushButton m_cancelButton{QStringLiteral("Cancel"), this};
};
