#include "dialogs/dlg_new_export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "dialog_test_support.h"
#include "dialogs/dialog_units.h"
#include "persistence/setting.h"
#include "support/comma_locale.h"

namespace {

// What the dialog stores.
auto Stored(const STSetting& s) {
    return std::tuple(s.m_nTestModel, s.m_nTestMethod, s.m_dLowerLimit, s.m_dUpperLimit,
                      s.m_bUseLimit);
}

class NewExportDialog : public testing::Test {
protected:
    void SetUp() override {
        ResetDefaults(g_stSetting);
        m_pModal = &CRecordingModal::InstallNew();
    }
    void TearDown() override { CModal::Install(nullptr); }

    void Type(const QString& lower, const QString& upper) {
        m_dialog.LowerEdit().setText(lower);
        m_dialog.UpperEdit().setText(upper);
    }
    void ExpectRejected(const char* message) {
        EXPECT_EQ(m_pModal->m_messages.size(), ++m_nMessages);
        EXPECT_EQ(m_pModal->m_messages.back(), Prompt(message));
        EXPECT_TRUE(m_dialog.isVisible());
    }
    static void ExpectNothingStored() { EXPECT_EQ(Stored(g_stSetting), Stored(STSetting{})); }
    // Model, method, upper, lower, and whether the limits are on and editable.
    QStringList Shown() {
        const auto onOff = [](bool on) {
            return on ? QStringLiteral("on") : QStringLiteral("off");
        };
        return {m_dialog.TestModelList().currentText(),
                m_dialog.TestMethodList().currentText(),
                m_dialog.UpperEdit().text(),
                m_dialog.LowerEdit().text(),
                onOff(m_dialog.UseLimitBox().isChecked()),
                onOff(m_dialog.UpperEdit().isEnabled()),
                onOff(m_dialog.LowerEdit().isEnabled())};
    }

    CDlgNewExport m_dialog;
    CRecordingModal* m_pModal = nullptr;
    std::size_t m_nMessages = 0;
};

}  // namespace

TEST_F(NewExportDialog, ListsHoldTwoItemsAndOpenOnTheStoredChoices) {
    m_dialog.show();
    EXPECT_EQ(m_dialog.windowTitle(), "New Export");
    EXPECT_EQ(ItemTexts(m_dialog.TestModelList()), QStringList({"Batch", "Average"}));
    EXPECT_EQ(ItemTexts(m_dialog.TestMethodList()), QStringList({"UCI", "Leeb"}));
    EXPECT_EQ(ItemValues(m_dialog.TestMethodList()), std::vector<int>({0, 1}));
    EXPECT_EQ(Shown(), QStringList({"Batch", "UCI", "3000.0", "0.0", "on", "on", "on"}));
    m_dialog.UseLimitBox().click();
    EXPECT_EQ(Shown(), QStringList({"Batch", "UCI", "3000.0", "0.0", "off", "off", "off"}));

    // Shown again: filled afresh; 12.25 rounded as the views round.
    g_stSetting = {.m_nTestModel = 1,
                   .m_nTestMethod = 1,
                   .m_dUpperLimit = 523.46,
                   .m_dLowerLimit = 12.25,
                   .m_bUseLimit = false};
    m_dialog.hide();
    m_dialog.show();
    EXPECT_EQ(m_dialog.TestModelList().count(), 2);
    EXPECT_EQ(Shown(), QStringList({"Average", "Leeb", "523.5", "12.2", "off", "off", "off"}));
}

TEST_F(NewExportDialog, PositionsOutsideTheListsOpenWithoutSelectionAndStoreMinusOne) {
    g_stSetting.m_nTestModel = 2;
    g_stSetting.m_nTestMethod = -1;
    m_dialog.show();
    EXPECT_EQ(m_dialog.TestModelList().currentIndex(), -1);
    EXPECT_EQ(m_dialog.TestMethodList().currentIndex(), -1);
    m_dialog.OnOK();
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Stored(g_stSetting), std::tuple(-1, -1, 0.0, 3000.0, true));
}

TEST_F(NewExportDialog, ChecksRunInOrderAndNothingIsStoredUntilAllPass) {
    m_dialog.show();
    m_dialog.TestModelList().setCurrentIndex(1);
    m_dialog.TestMethodList().setCurrentIndex(1);
    Type("", "");
    m_dialog.OnOK();
    ExpectRejected("Lower Limit is wrong.");
    EXPECT_EQ(m_dialog.focusWidget(), &m_dialog.LowerEdit());
    Type("10", "");
    m_dialog.OnOK();
    ExpectRejected("Upper Limit is wrong.");
    EXPECT_EQ(m_dialog.focusWidget(), &m_dialog.UpperEdit());
    Type("abc", "abc");
    m_dialog.OnOK();
    ExpectRejected("Lower Limit is not a number.");
    EXPECT_EQ(m_dialog.focusWidget(), &m_dialog.LowerEdit());
    Type("10", "abc");
    m_dialog.OnOK();
    ExpectRejected("Upper Limit is not a number.");
    EXPECT_EQ(m_dialog.focusWidget(), &m_dialog.UpperEdit());
    m_dialog.TestModelList().setFocus();
    Type("200", "200");
    m_dialog.OnOK();
    ExpectRejected("Lower Limit is larger than Upper Limit.");
    EXPECT_EQ(m_dialog.focusWidget(), &m_dialog.TestModelList());
    Type("500", "100");
    PressKey(m_dialog, Qt::Key_Return);
    ExpectRejected("Lower Limit is larger than Upper Limit.");
    ExpectNothingStored();

    Type("0,0", " 5");
    m_dialog.OkButton().click();
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_pModal->m_messages.size(), m_nMessages);
    EXPECT_EQ(Stored(g_stSetting), std::tuple(1, 1, 0.0, 5.0, true));
    m_dialog.show();
    EXPECT_EQ(Shown(), QStringList({"Average", "Leeb", "5.0", "0.0", "on", "on", "on"}));
}

TEST_F(NewExportDialog, WithoutLimitsEmptyEditsPassAndTheStoredLimitsStay) {
    m_dialog.show();
    m_dialog.UseLimitBox().click();
    Type("", "");
    m_dialog.OnOK();
    EXPECT_TRUE(m_pModal->m_messages.empty());
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Stored(g_stSetting), std::tuple(0, 0, 0.0, 3000.0, false));
}

TEST_F(NewExportDialog, CancelAndEscapeChangeNothing) {
    for (const bool escape : {false, true}) {
        m_dialog.show();
        m_dialog.TestModelList().setCurrentIndex(1);
        m_dialog.TestMethodList().setCurrentIndex(1);
        Type("1", "2");
        m_dialog.UseLimitBox().click();
        if (escape) {
            PressKey(m_dialog, Qt::Key_Escape);
        } else {
            m_dialog.CancelButton().click();
        }
        EXPECT_EQ(m_dialog.result(), QDialog::Rejected);
        EXPECT_FALSE(m_dialog.isVisible());
        ExpectNothingStored();
    }
}

TEST_F(NewExportDialog, ControlsSitAtTheirRectanglesInTabOrder) {
    m_dialog.show();
    EXPECT_EQ(TabChain(m_dialog.TestModelList()),
              std::vector<QWidget*>({&m_dialog.TestModelList(), &m_dialog.TestMethodList(),
                                     &m_dialog.UpperEdit(), &m_dialog.LowerEdit(),
                                     &m_dialog.UseLimitBox(), &m_dialog.CancelButton(),
                                     &m_dialog.OkButton()}));
    EXPECT_TRUE(m_dialog.OkButton().isDefault());
    const CDialogUnits units(m_dialog.font());
    EXPECT_EQ(m_dialog.size(), units.ToPixels(0, 0, 150, 111).size());
    EXPECT_EQ(m_dialog.UpperEdit().geometry(), units.ToPixels(68, 41, 75, 12));
    EXPECT_LT(m_dialog.TestModelList().geometry().bottom(), m_dialog.TestMethodList().y());
    EXPECT_LT(m_dialog.TestMethodList().geometry().bottom(), m_dialog.UpperEdit().y());
}

// A comma-decimal desktop: the limits are shown with a full stop, either
// separator reads alike, and an unchanged OK keeps what was shown.
TEST_F(NewExportDialog, TypedLimitsTakeEitherSeparatorWhateverTheLocale) {
    CommaDecimalLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    struct {
        const char* m_pszLower;
        const char* m_pszUpper;
        double m_dLower;
        double m_dUpper;
    } const cases[] = {{nullptr, nullptr, 10.5, 1234.5},
                       {"12,5", "480,25", 12.5, 480.25},
                       {"12.5", "480.25", 12.5, 480.25}};
    for (const auto& typed : cases) {
        g_stSetting.m_dLowerLimit = 10.5;
        g_stSetting.m_dUpperLimit = 1234.5;
        m_dialog.show();
        EXPECT_EQ(Shown().mid(2, 2), QStringList({"1234.5", "10.5"}));
        if (const char* folder = std::getenv("MARLO_SCREENSHOTS")) {
            m_dialog.grab().save(QString::fromUtf8(folder) + "/new_export_dialog.png");
        }
        if (typed.m_pszLower != nullptr) {
            Type(typed.m_pszLower, typed.m_pszUpper);
        }
        m_dialog.OnOK();
        EXPECT_FALSE(m_dialog.isVisible());
        EXPECT_EQ(Stored(g_stSetting), std::tuple(0, 0, typed.m_dLower, typed.m_dUpper, true))
            << typed.m_pszLower;
    }
    EXPECT_TRUE(m_pModal->m_messages.empty());
}

TEST_F(NewExportDialog, ALimitThatIsNoNumberIsRefusedAndNothingStored) {
    CommaDecimalLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    m_dialog.show();
    m_dialog.TestModelList().setCurrentIndex(1);
    m_dialog.UseLimitBox().setFocus();
    Type("12,5", "abc");
    m_dialog.OnOK();
    ExpectRejected("Upper Limit is not a number.");
    EXPECT_EQ(m_dialog.result(), 0);
    EXPECT_EQ(m_dialog.focusWidget(), &m_dialog.UpperEdit());
    ExpectNothingStored();
}
