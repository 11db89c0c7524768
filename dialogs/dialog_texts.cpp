#include "dialogs/dialog_texts.h"

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "common/number_text.h"
#include "dialogs/locale_number.h"
#include "dialogs/modal.h"

QString OneDecimal(double value) {
    return QString::fromStdU16String(DoubleToText(value));
}

void RefuseWithPrompt(QWidget* dialog, const QString& message, QWidget* focus) {
    CModal::Current().ShowMessage(dialog, QString::fromUtf8(kPromptCaption), message);
    if (focus != nullptr) {
        focus->setFocus();
    }
}

std::optional<double> ReadNumberEdit(QWidget* dialog, const QLabel& label, QLineEdit& edit) {
    std::optional<double> value = ParseTypedNumber(edit.text());
    if (!value) {
        QString field = label.text().trimmed();
        if (field.endsWith(u':')) {
            field.chop(1);
        }
        RefuseWithPrompt(dialog, field + QStringLiteral(" is not a number."), &edit);
    }
    return value;
}
