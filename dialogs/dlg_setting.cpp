#include "dialogs/dlg_setting.h"

#include <QShowEvent>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <utility>

#include "common/number_text.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/dialog_units.h"
#include "dialogs/drop_down_list.h"
#include "persistence/setting.h"
#include "serial/port_names.h"

namespace {

constexpr int kComPortCount = 30;
constexpr std::array<std::int32_t, 15> kBaudRates = {110,   300,   600,    1200,   2400,
                                                     4800,  9600,  14400,  19200,  38400,
                                                     56000, 57600, 115200, 128000, 256000};

struct STListItem {
    const char* m_pszText;
    int m_nValue;
};

constexpr std::array<STListItem, 5> kParities = {
    {{"No", 0}, {"Odd", 1}, {"Even", 2}, {"Mark", 3}, {"Space", 4}}};
constexpr std::array<STListItem, 3> kDataBits = {{{"8", 8}, {"7", 7}, {"6", 6}}};
constexpr std::array<STListItem, 3> kStopBits = {{{"1", 0}, {"1.5", 1}, {"2", 2}}};

QString IntText(std::int32_t value) {
    return QString::fromStdU16String(IntToText(value));
}

template <std::size_t N>
void FillFixedList(QComboBox& list, const std::array<STListItem, N>& items) {
    for (const STListItem& item : items) {
        list.insertItem(list.count(), QString::fromUtf8(item.m_pszText), item.m_nValue);
    }
}

// The value of the selected item.
int SelectedValue(const QComboBox& list) {
    return list.currentData().toInt();
}

std::uint8_t LowByte(int value) {
    return static_cast<std::uint8_t>(static_cast<unsigned>(value) & 0xFFu);
}

}  // namespace

CDlgSetting::CDlgSetting(QWidget* parent, std::string devFolder)
    : QDialog(parent), m_strDevFolder(std::move(devFolder)) {
    setWindowTitle(QStringLiteral("Setting"));
    setFont(DialogFont());
    const CDialogUnits units(font());
    units.SizeDialog(*this, 442, 159);

    units.Place(m_serialGroup, 7, 7, 152, 124);
    const std::array<QLabel*, 5> serialLabels = {&m_portLabel, &m_baudRateLabel, &m_parityLabel,
                                                 &m_dataBitLabel, &m_stopBitLabel};
    const std::array<int, 5> serialLabelTops = {23, 45, 66, 90, 111};
    const std::array<QComboBox*, 5> lists = {&m_portList, &m_baudRateList, &m_parityList,
                                             &m_dataBitList, &m_stopBitList};
    const std::array<int, 5> listTops = {23, 45, 68, 90, 111};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        serialLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        serialLabels[i]->setBuddy(lists[i]);
        units.Place(*serialLabels[i], 19, serialLabelTops[i], 46, 8);
        PlaceDropDownList(units, *lists[i], 71, listTops[i], 80, 91);
    }

    units.Place(m_reportGroup, 169, 7, 266, 124);
    const std::array<QLabel*, 6> reportLabels = {&m_titleOneLabel, &m_titleTwoLabel,
                                                 &m_operatorLabel, &m_departmentLabel,
                                                 &m_specimenLabel, &m_samplingRateLabel};
    const std::array<QLineEdit*, 6> edits = {&m_titleOneEdit, &m_titleTwoEdit,
                                             &m_operatorEdit, &m_departmentEdit,
                                             &m_specimenEdit, &m_samplingRateEdit};
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const int top = 22 + 18 * static_cast<int>(i);
        reportLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        reportLabels[i]->setBuddy(edits[i]);
        units.Place(*reportLabels[i], 180, top, 64, 8);
        units.Place(*edits[i], 248, top, i + 1 < edits.size() ? 181 : 37, 14);
    }
    units.Place(m_percentLabel, 289, 112, 8, 8);
    m_samplingRateEdit.setAccessibleDescription(QStringLiteral("Percent"));

    units.Place(m_okButton, 385, 138, 50, 14);
    units.Place(m_cancelButton, 330, 138, 50, 14);
    m_okButton.setDefault(true);

    const std::array<QWidget*, 13> tabOrder = {
        &m_portList,         &m_baudRateList, &m_parityList,   &m_dataBitList,    &m_stopBitList,
        &m_titleOneEdit,     &m_titleTwoEdit, &m_operatorEdit, &m_departmentEdit, &m_specimenEdit,
        &m_samplingRateEdit, &m_okButton,     &m_cancelButton};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    connect(&m_okButton, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(&m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void CDlgSetting::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        OnInitDialog();
    }
}

void CDlgSetting::FillLists() {
    m_portList.clear();
    for (std::int32_t port = 1; port <= kComPortCount; ++port) {
        m_portList.insertItem(m_portList.count(), QStringLiteral("COM") + IntText(port), port);
    }
    for (const STPortDevice& device : ListUsbSerialDevices(m_strDevFolder)) {
        const std::string name = std::filesystem::path(device.m_strPath).filename().string();
        m_portList.insertItem(m_portList.count(), QString::fromLocal8Bit(name), device.m_nCom);
    }
    m_baudRateList.clear();
    for (const std::int32_t rate : kBaudRates) {
        m_baudRateList.insertItem(m_baudRateList.count(), IntText(rate), rate);
    }
    m_parityList.clear();
    FillFixedList(m_parityList, kParities);
    m_dataBitList.clear();
    FillFixedList(m_dataBitList, kDataBits);
    m_stopBitList.clear();
    FillFixedList(m_stopBitList, kStopBits);
}

void CDlgSetting::OnInitDialog() {
    FillLists();
    SelectItemByValue(m_portList, g_stSetting.m_nCom);
    SelectItemByValue(m_baudRateList, g_stSetting.m_ulBaudRate);
    SelectItemByValue(m_parityList, g_stSetting.m_ucParity);
    SelectItemByValue(m_dataBitList, g_stSetting.m_ucSize);
    SelectItemByValue(m_stopBitList, g_stSetting.m_ucStopBits);

    m_titleOneEdit.setText(QString::fromStdU16String(g_stSetting.m_strTitleOne));
    m_titleTwoEdit.setText(QString::fromStdU16String(g_stSetting.m_strTitleTwo));
    m_operatorEdit.setText(QString::fromStdU16String(g_stSetting.m_strOperator));
    m_departmentEdit.setText(QString::fromStdU16String(g_stSetting.m_strDepartment));
    m_specimenEdit.setText(QString::fromStdU16String(g_stSetting.m_strSpecimen));
    m_samplingRateEdit.setText(OneDecimal(g_stSetting.m_dSamplingRate));
}

// Only the sampling rate is checked, before anything is stored, so that a
// refused OK leaves g_stSetting as it was; the rest is stored as it stands.
void CDlgSetting::OnOK() {
    const std::optional<double> samplingRate =
        ReadNumberEdit(this, m_samplingRateLabel, m_samplingRateEdit);
    if (!samplingRate) {
        return;
    }
    g_stSetting.m_nCom = SelectedValue(m_portList);
    g_stSetting.m_ulBaudRate = static_cast<std::uint32_t>(SelectedValue(m_baudRateList));
    g_stSetting.m_ucParity = LowByte(SelectedValue(m_parityList));
    g_stSetting.m_ucSize = LowByte(SelectedValue(m_dataBitList));
    g_stSetting.m_ucStopBits = LowByte(SelectedValue(m_stopBitList));

    g_stSetting.m_strTitleOne = m_titleOneEdit.text().toStdU16String();
    g_stSetting.m_strTitleTwo = m_titleTwoEdit.text().toStdU16String();
    g_stSetting.m_strOperator = m_operatorEdit.text().toStdU16String();
    g_stSetting.m_strDepartment = m_departmentEdit.text().toStdU16String();
    g_stSetting.m_strSpecimen = m_specimenEdit.text().toStdU16String();

    g_stSetting.m_dSamplingRate = *samplingRate;
    accept();
}
