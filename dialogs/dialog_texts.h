// What the dialogs show and say, the same way in each.
#pragma once

#include <QString>

class QWidget;

// Caption of the dialogs' validation messages.
inline constexpr char kPromptCaption[] = "提示";

// A number with one decimal and a full stop, rounded as the views round.
QString OneDecimal(double value);

// Refuses an OK: the message under the prompt caption, then the focus to
// the control it concerns, if any.
void RefuseWithPrompt(QWidget* dialog, const char* message, QWidget* focus);
