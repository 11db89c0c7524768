// What the dialogs show and say, the same way in each.
#pragma once

#include <QString>
#include <optional>

class QLabel;
class QLineEdit;
class QWidget;

// Caption of the dialogs' validation messages.
inline constexpr char kPromptCaption[] = "提示";

// A number with one decimal and a full stop, rounded as the views round.
QString OneDecimal(double value);

// Refuses an OK: the message under the prompt caption, then the focus to
// the control it concerns, if any.
void RefuseWithPrompt(QWidget* dialog, const QString& message, QWidget* focus);

// The number in edit (see ParseTypedNumber). When the text is none, the OK
// is refused with "<label> is not a number.", the label's text without its
// colon naming the field, and the result is empty.
std::optional<double> ReadNumberEdit(QWidget* dialog, const QLabel& label, QLineEdit& edit);
