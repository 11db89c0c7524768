// The dialogs as assistive technology sees them: every field is labelled by
// the caption beside it, and the Use Limit box answers its toggle action.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <functional>
#include <memory>

#include "dialog_test_support.h"
#include "dialogs/dlg_limit.h"
#include "dialogs/dlg_new_export.h"
#include "dialogs/dlg_setting.h"
#include "persistence/setting.h"

namespace {

// The captions that name no field: the unit after the sampling rate.
bool NamesAField(const QLabel& label) {
    return label.text() != QStringLiteral("%");
}

void ExpectEveryFieldLabelled(QDialog& dialog) {
    dialog.show();
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (NamesAField(*label)) {
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
        }
    }
    QList<QWidget*> fields;
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
        fields << edit;
    }
    for (QComboBox* list : dialog.findChildren<QComboBox*>()) {
        fields << list;
    }
    ASSERT_FALSE(fields.isEmpty());
    for (QWidget* field : fields) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(field);
        const auto labelledBy = accessible->relations(QAccessible::Label);
        ASSERT_EQ(labelledBy.size(), 1) << field->metaObject()->className();
        const auto* label = qobject_cast<QLabel*>(labelledBy.front().first->object());
        ASSERT_NE(label, nullptr);
        EXPECT_FALSE(label->text().contains('&'));
        if (qobject_cast<QLineEdit*>(field) != nullptr) {
            // A line edit takes its buddy's caption as its name.
            EXPECT_EQ(accessible->text(QAccessible::Name), label->text());
        }
    }
}

class DialogAccessibility : public testing::Test {
protected:
    void SetUp() override {
        ResetDefaults(g_stSetting);
        CRecordingModal::InstallNew();
    }
    void TearDown() override { CModal::Install(nullptr); }
};

}  // namespace

TEST_F(DialogAccessibility, EveryFieldIsLabelledByItsCaption) {
    {
        SCOPED_TRACE("Setting");
        CDlgSetting dialog(nullptr, "/nonexistent/");
        ExpectEveryFieldLabelled(dialog);
    }
    {
        SCOPED_TRACE("Limit");
        CDlgLimit dialog;
        ExpectEveryFieldLabelled(dialog);
    }
    {
        SCOPED_TRACE("New Export");
        CDlgNewExport dialog;
        ExpectEveryFieldLabelled(dialog);
    }
}

TEST_F(DialogAccessibility, TheUseLimitBoxToggledByItsActionEnablesTheLimits) {
    CDlgLimit dialog;
    dialog.m_bUseLimit = false;
    dialog.show();
    ASSERT_FALSE(dialog.LowerEdit().isEnabled());
    QAccessibleActionInterface* actions =
        QAccessible::queryAccessibleInterface(&dialog.UseLimitBox())->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(dialog.UseLimitBox().isChecked());
    EXPECT_TRUE(dialog.LowerEdit().isEnabled());
    EXPECT_TRUE(dialog.UpperEdit().isEnabled());
}
