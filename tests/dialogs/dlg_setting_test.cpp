#include "dialogs/dlg_setting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <utility>

#include "dialog_test_support.h"
#include "dialogs/dialog_units.h"
#include "persistence/setting.h"
#include "support/comma_locale.h"
#include "support/temp_folder.h"

namespace {

// What the dialog shows and stores.
auto Shown(const STSetting& s) {
    return std::tuple(s.m_nCom, s.m_ulBaudRate, s.m_ucParity, s.m_ucSize, s.m_ucStopBits,
                      s.m_strTitleOne, s.m_strTitleTwo, s.m_strOperator, s.m_strDepartment,
                      s.m_strSpecimen, s.m_dSamplingRate);
}

// Devices are looked for in a fresh temporary folder.
class SettingDialog : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ResetDefaults(g_stSetting);
        m_pModal = &CRecordingModal::InstallNew();
    }
    void TearDown() override {
        m_pDialog.reset();
        CModal::Install(nullptr);
        TempFolder::TearDown();
    }
    CDlgSetting& Open() {
        m_pDialog = std::make_unique<CDlgSetting>(nullptr, m_root.string() + "/");
        m_pDialog->show();
        return *m_pDialog;
    }
    QStringList Selected() const {
        return {m_pDialog->PortList().currentText(), m_pDialog->BaudRateList().currentText(),
                m_pDialog->ParityList().currentText(), m_pDialog->DataBitList().currentText(),
                m_pDialog->StopBitList().currentText()};
    }

    std::unique_ptr<CDlgSetting> m_pDialog;
    CRecordingModal* m_pModal = nullptr;
};

}  // namespace

TEST_F(SettingDialog, ListsHoldTheirItemsInOrderAndOpenOnTheSettings) {
    CDlgSetting& dialog = Open();
    EXPECT_EQ(dialog.windowTitle(), "Setting");
    ASSERT_EQ(dialog.PortList().count(), 30);
    EXPECT_EQ(dialog.PortList().itemText(29), "COM30");
    EXPECT_EQ(ItemValues(dialog.PortList()).back(), 30);
    EXPECT_EQ(ItemTexts(dialog.BaudRateList()).join(' '),
              "110 300 600 1200 2400 4800 9600 14400 19200 38400 56000 57600 115200 128000 "
              "256000");
    EXPECT_EQ(ItemValues(dialog.BaudRateList())[14], 256000);
    EXPECT_EQ(ItemTexts(dialog.ParityList()), QStringList({"No", "Odd", "Even", "Mark", "Space"}));
    EXPECT_EQ(ItemValues(dialog.ParityList()), std::vector<int>({0, 1, 2, 3, 4}));
    EXPECT_EQ(ItemTexts(dialog.DataBitList()), QStringList({"8", "7", "6"}));
    EXPECT_EQ(ItemValues(dialog.DataBitList()), std::vector<int>({8, 7, 6}));
    EXPECT_EQ(ItemTexts(dialog.StopBitList()), QStringList({"1", "1.5", "2"}));
    EXPECT_EQ(ItemValues(dialog.StopBitList()), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(Selected(), QStringList({"COM1", "115200", "No", "8", "1"}));
    EXPECT_EQ(QStringList({dialog.TitleOneEdit().text(), dialog.TitleTwoEdit().text(),
                           dialog.OperatorEdit().text(), dialog.DepartmentEdit().text(),
                           dialog.SpecimenEdit().text(), dialog.SamplingRateEdit().text()}),
              QStringList({"TitleOne", "TitleTwo", "Operator", "Department", "Specimen", "1.0"}));

    // Shown again: filled afresh from the settings.
    g_stSetting = {.m_nCom = 7,
                   .m_ulBaudRate = 9600,
                   .m_ucSize = 6,
                   .m_ucParity = 4,
                   .m_ucStopBits = 1,
                   .m_dSamplingRate = 7.25};
    dialog.hide();
    dialog.show();
    EXPECT_EQ(dialog.PortList().count(), 30);
    EXPECT_EQ(Selected(), QStringList({"COM7", "9600", "Space", "6", "1.5"}));
    EXPECT_EQ(dialog.SamplingRateEdit().text(), "7.2");  // rounded as the views round
}

TEST_F(SettingDialog, ValuesNotInTheListsSelectTheFirstItemWhichOkStores) {
    g_stSetting = {
        .m_nCom = 31, .m_ulBaudRate = 250000, .m_ucSize = 5, .m_ucParity = 9, .m_ucStopBits = 3};
    Open().OnOK();
    EXPECT_EQ(Selected(), QStringList({"COM1", "110", "No", "8", "1"}));
    EXPECT_EQ(m_pDialog->result(), QDialog::Accepted);
    EXPECT_EQ(Shown(g_stSetting), Shown(STSetting{.m_nCom = 1, .m_ulBaudRate = 110}));
}

TEST_F(SettingDialog, UsbAndAcmDevicesFollowCom30ByNumber) {
    for (const char* name : {"ttyACM2", "ttyUSB1", "ttyS0", "ttyUSB0", "ttyUSBx", "ttyACM"}) {
        WriteBytes(name, "");
    }
    g_stSetting.m_nCom = 203;
    CDlgSetting& dialog = Open();
    EXPECT_EQ(ItemTexts(dialog.PortList()).mid(29),
              QStringList({"COM30", "ttyUSB0", "ttyUSB1", "ttyACM2"}));
    EXPECT_EQ(ItemValues(dialog.PortList()).back(), 203);
    EXPECT_EQ(dialog.PortList().currentText(), "ttyACM2");
    dialog.PortList().setCurrentIndex(30);
    dialog.OnOK();
    EXPECT_EQ(g_stSetting.m_nCom, 101);
    g_stSetting.m_nCom = 105;  // unplugged since
    dialog.show();
    EXPECT_EQ(dialog.PortList().currentText(), "COM1");
}

TEST_F(SettingDialog, EnterStoresEveryControlAsItStandsCancelAndEscapeNothing) {
    for (const int key : {0, int{Qt::Key_Escape}, int{Qt::Key_Return}}) {
        Open();
        for (QComboBox* list : m_pDialog->findChildren<QComboBox*>()) {
            list->setCurrentIndex(2);
        }
        m_pDialog->TitleOneEdit().setText(QStringLiteral("  Hardness "));
        m_pDialog->TitleTwoEdit().setText(QString());
        m_pDialog->OperatorEdit().setText(QString::fromUtf8("王工"));
        m_pDialog->SamplingRateEdit().setText(QStringLiteral(" 2,5 "));
        if (key == 0) {
            m_pDialog->CancelButton().click();
        } else {
            PressKey(*m_pDialog, key);
        }
        EXPECT_FALSE(m_pDialog->isVisible());
        if (key != Qt::Key_Return) {
            EXPECT_EQ(m_pDialog->result(), QDialog::Rejected);
            EXPECT_EQ(Shown(g_stSetting), Shown(STSetting{}));
        }
    }
    EXPECT_EQ(m_pDialog->result(), QDialog::Accepted);
    EXPECT_TRUE(m_pModal->m_messages.empty());
    EXPECT_EQ(Shown(g_stSetting), Shown(STSetting{.m_nCom = 3,
                                                  .m_ulBaudRate = 600,
                                                  .m_ucSize = 6,
                                                  .m_ucParity = 2,
                                                  .m_ucStopBits = 2,
                                                  .m_strTitleOne = u"  Hardness ",
                                                  .m_strTitleTwo = u"",
                                                  .m_strOperator = u"王工",
                                                  .m_dSamplingRate = 2.5}));
}

// Each time: one message naming the field by its label, the focus on it,
// the dialog open and nothing stored, not even the controls before it.
TEST_F(SettingDialog, ASamplingRateThatIsNoNumberIsRefusedAndNothingStored) {
    CommaDecimalLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    CDlgSetting& dialog = Open();
    for (const char* text : {"abc", "12x", "", "2.5%", "1,2,3"}) {
        m_pModal->m_messages.clear();
        dialog.PortList().setCurrentIndex(4);
        dialog.TitleOneEdit().setText(QStringLiteral("Changed"));
        dialog.SamplingRateEdit().setText(QString::fromUtf8(text));
        dialog.TitleOneEdit().setFocus();
        dialog.OnOK();
        ASSERT_EQ(m_pModal->m_messages.size(), 1u) << text;
        EXPECT_EQ(m_pModal->m_messages.back(), Prompt("Sampling Rate is not a number."));
        EXPECT_EQ(dialog.focusWidget(), &dialog.SamplingRateEdit()) << text;
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), 0);
        EXPECT_EQ(Shown(g_stSetting), Shown(STSetting{})) << text;
    }
}

TEST_F(SettingDialog, ControlsSitAtTheirRectanglesInTabOrderWithoutOverlapping) {
    CDlgSetting& dialog = Open();
    EXPECT_EQ(TabChain(dialog.PortList()),
              std::vector<QWidget*>(
                  {&dialog.PortList(), &dialog.BaudRateList(), &dialog.ParityList(),
                   &dialog.DataBitList(), &dialog.StopBitList(), &dialog.TitleOneEdit(),
                   &dialog.TitleTwoEdit(), &dialog.OperatorEdit(), &dialog.DepartmentEdit(),
                   &dialog.SpecimenEdit(), &dialog.SamplingRateEdit(), &dialog.OkButton(),
                   &dialog.CancelButton()}));
    EXPECT_TRUE(dialog.OkButton().isDefault());
    const CDialogUnits units(dialog.font());
    EXPECT_EQ(dialog.size(), units.ToPixels(0, 0, 442, 159).size());
    EXPECT_EQ(dialog.SamplingRateEdit().geometry(), units.ToPixels(248, 112, 37, 14));
    EXPECT_EQ(dialog.PortList().pos(), units.ToPixels(71, 23, 80, 91).topLeft());
    std::vector<QWidget*> controls;
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QGroupBox*>(child) == nullptr) {
            EXPECT_TRUE(dialog.rect().contains(child->geometry()));
            for (QWidget* other : controls) {
                EXPECT_FALSE(child->geometry().intersects(other->geometry()));
            }
            controls.push_back(child);
        }
    }
}

// A comma-decimal desktop: the rate is shown with a full stop, either
// separator reads alike, and an unchanged OK keeps what was shown.
TEST_F(SettingDialog, TypedSamplingRateTakesEitherSeparatorWhateverTheLocale) {
    CommaDecimalLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    WriteBytes("ttyUSB0", "");
    const std::pair<const char*, double> cases[] = {
        {nullptr, 1.5}, {"12,5", 12.5}, {"12.5", 12.5}, {"\t0,25", 0.25}};
    for (const auto& [text, stored] : cases) {
        g_stSetting.m_dSamplingRate = 1.5;
        CDlgSetting& dialog = Open();
        EXPECT_EQ(dialog.SamplingRateEdit().text(), "1.5");
        if (const char* folder = std::getenv("MARLO_SCREENSHOTS")) {
            dialog.grab().save(QString::fromUtf8(folder) + "/setting_dialog.png");
        }
        if (text != nullptr) {
            dialog.SamplingRateEdit().setText(QString::fromUtf8(text));
        }
        dialog.OnOK();
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << text;
        EXPECT_EQ(g_stSetting.m_dSamplingRate, stored) << text;
    }
    EXPECT_TRUE(m_pModal->m_messages.empty());
}
