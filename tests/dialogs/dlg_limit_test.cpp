#include "dialogs/dlg_limit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <cstdlib>

#include "dialogs/modal.h"
#include "support/comma_locale.h"

namespace {

// Answers every message box at once and keeps what it was asked.
class CRecordingModal : public CModal {
public:
    void ShowMessage(QWidget*, const QString& caption, const QString& text) override {
        m_messages.push_back(caption + "|" + text);
    }
    std::vector<QString> m_messages;
};

class LimitDialog : public testing::Test {
protected:
    void SetUp() override {
        auto modal = std::make_unique<CRecordingModal>();
        m_pModal = modal.get();
        CModal::Install(std::move(modal));
        m_dialog.m_dLowerLimit = 0.0;
        m_dialog.m_dUpperLimit = 3000.0;
        m_dialog.m_bUseLimit = true;
        m_dialog.show();
    }
    void TearDown() override { CModal::Install(nullptr); }

    void Type(const QString& lower, const QString& upper) {
        m_dialog.LowerEdit().setText(lower);
        m_dialog.UpperEdit().setText(upper);
    }
    QString LastMessage() const {
        return m_pModal->m_messages.empty() ? QString() : m_pModal->m_messages.back();
    }

    CDlgLimit m_dialog;
    CRecordingModal* m_pModal = nullptr;
};

}  // namespace

TEST_F(LimitDialog, ShowsTheLimitsWithOneDecimalAndEnablesEditsByTheBox) {
    EXPECT_EQ(m_dialog.windowTitle(), "Limit");
    EXPECT_EQ(m_dialog.LowerEdit().text(), "0.0");
    EXPECT_EQ(m_dialog.UpperEdit().text(), "3000.0");
    EXPECT_TRUE(m_dialog.LowerEdit().isEnabled());
    m_dialog.m_dLowerLimit = 12.25;  // rounded as the views round it
    m_dialog.OnInitDialog();
    EXPECT_EQ(m_dialog.LowerEdit().text(), "12.2");
    m_dialog.UseLimitBox().click();
    EXPECT_FALSE(m_dialog.LowerEdit().isEnabled());
    EXPECT_FALSE(m_dialog.UpperEdit().isEnabled());
}

TEST_F(LimitDialog, CrossedLimitsAreRefusedUntilLimitsAreSwitchedOff) {
    Type("500", "100");
    m_dialog.OnOK();
    EXPECT_EQ(LastMessage(), QString::fromUtf8("提示|Lower Limit is larger than Upper Limit."));
    EXPECT_TRUE(m_dialog.isVisible());
    Type("200", "200");
    m_dialog.OnOK();
    EXPECT_EQ(m_pModal->m_messages.size(), 2u);
    Type("500", "100");
    m_dialog.OnOK();
    m_dialog.UseLimitBox().click();
    m_dialog.OnOK();
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog.m_dLowerLimit, 500.0);
    EXPECT_EQ(m_dialog.m_dUpperLimit, 100.0);
    EXPECT_FALSE(m_dialog.m_bUseLimit);
}

TEST_F(LimitDialog, EmptyEditsAreWrongAndTextsThatAreNoNumberAreRefused) {
    Type("", "");
    m_dialog.OnOK();
    EXPECT_EQ(m_pModal->m_messages.size(), 1u);
    EXPECT_EQ(LastMessage(), QString::fromUtf8("提示|Lower Limit is wrong."));
    EXPECT_EQ(m_dialog.focusWidget(), &m_dialog.LowerEdit());
    Type("10", "");
    m_dialog.OnOK();
    EXPECT_EQ(LastMessage(), QString::fromUtf8("提示|Upper Limit is wrong."));
    EXPECT_EQ(m_dialog.focusWidget(), &m_dialog.UpperEdit());
    Type("10", "abc");
    m_dialog.OnOK();
    EXPECT_EQ(LastMessage(), QString::fromUtf8("提示|Upper Limit is not a number."));
    EXPECT_EQ(m_dialog.result(), 0);
    EXPECT_EQ(m_dialog.m_dUpperLimit, 3000.0);
}

TEST_F(LimitDialog, WithLimitsOffEmptyEditsPassUnchanged) {
    m_dialog.UseLimitBox().click();
    Type("", "");
    m_dialog.OnOK();
    EXPECT_TRUE(m_pModal->m_messages.empty());
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog.m_dUpperLimit, 3000.0);
}

TEST_F(LimitDialog, EnterChecksAndEscapeCancels) {
    Type("500", "100");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&m_dialog, &enter);
    EXPECT_EQ(m_pModal->m_messages.size(), 1u);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&m_dialog, &escape);
    EXPECT_EQ(m_dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(m_dialog.isVisible());
}

// A comma-decimal desktop: either separator reads alike and an unchanged
// OK keeps what was shown.
TEST_F(LimitDialog, TypedNumbersTakeEitherSeparatorWhateverTheLocale) {
    CommaDecimalLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    struct {
        const char* m_pszLower;
        const char* m_pszUpper;
        double m_dLower;
        double m_dUpper;
    } const cases[] = {{nullptr, nullptr, 12.5, 480.5},
                       {"12,5", "480,25", 12.5, 480.25},
                       {"12.5", " 480.25 ", 12.5, 480.25},
                       {"-0,5", "3000", -0.5, 3000.0}};
    for (const auto& typed : cases) {
        m_dialog.m_dLowerLimit = 12.5;
        m_dialog.m_dUpperLimit = 480.5;
        m_dialog.setResult(0);
        m_dialog.hide();
        m_dialog.show();
        if (typed.m_pszLower != nullptr) {
            Type(typed.m_pszLower, typed.m_pszUpper);
        }
        m_dialog.OnOK();
        EXPECT_EQ(m_dialog.result(), QDialog::Accepted) << typed.m_pszLower;
        EXPECT_EQ(m_dialog.m_dLowerLimit, typed.m_dLower) << typed.m_pszLower;
        EXPECT_EQ(m_dialog.m_dUpperLimit, typed.m_dUpper) << typed.m_pszLower;
    }
    EXPECT_TRUE(m_pModal->m_messages.empty());
    if (const char* folder = std::getenv("MARLO_SCREENSHOTS")) {
        m_dialog.show();
        m_dialog.grab().save(QString::fromUtf8(folder) + "/limit_dialog.png");
    }
}

// Each time: one message naming the field, the focus on it, the dialog open
// and the limit it names as it was.
TEST_F(LimitDialog, ATextThatIsNoNumberIsRefusedNamingItsField) {
    CommaDecimalLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    struct {
        const char* m_pszLower;
        const char* m_pszUpper;
        const char* m_pszMessage;
        bool m_bLowerNamed;
    } const cases[] = {{"abc", "480", "Lower Limit is not a number.", true},
                       {"1,2,3", "480", "Lower Limit is not a number.", true},
                       {" ", "480", "Lower Limit is not a number.", true},
                       {"12,5", "12x", "Upper Limit is not a number.", false},
                       {"12,5", "4.8,0", "Upper Limit is not a number.", false}};
    for (const auto& typed : cases) {
        m_pModal->m_messages.clear();
        m_dialog.m_dLowerLimit = 1.0;
        m_dialog.m_dUpperLimit = 2.0;
        Type(typed.m_pszLower, typed.m_pszUpper);
        m_dialog.UseLimitBox().setFocus();
        m_dialog.OnOK();
        ASSERT_EQ(m_pModal->m_messages.size(), 1u) << typed.m_pszLower;
        EXPECT_EQ(LastMessage(), QString::fromUtf8("提示|") + typed.m_pszMessage);
        EXPECT_EQ(m_dialog.focusWidget(),
                  typed.m_bLowerNamed ? &m_dialog.LowerEdit() : &m_dialog.UpperEdit());
        EXPECT_TRUE(m_dialog.isVisible());
        EXPECT_EQ(m_dialog.result(), 0);
        EXPECT_EQ(typed.m_bLowerNamed ? m_dialog.m_dLowerLimit : m_dialog.m_dUpperLimit,
                  typed.m_bLowerNamed ? 1.0 : 2.0);
    }
}
