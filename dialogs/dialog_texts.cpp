#include "dialogs/dialog_texts.h"

#include <QWidget>

#include "common/number_text.h"
#include "dialogs/modal.h"

QString OneDecimal(double value) {
    return QString::fromStdU16String(DoubleToText(value));
}

void RefuseWithPrompt(QWidget* dialog, const char* message, QWidget* focus) {
    CModal::Current().ShowMessage(dialog, QString::fromUtf8(kPromptCaption),
                                  QString::fromUtf8(message));
    if (focus != nullptr) {
        focus->setFocus();
    }
}
