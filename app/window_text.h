// Wide text as the window shows it, and the program's message caption.
#pragma once

#include <QString>
#include <string_view>

#include "model/ledgermill.h"

inline const QString kMarloCaption = QStringLiteral("Marlo");

inline QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A batch's test model and method as the lists name them.
inline QString ModelText(int model) {
    return model != kTestModelBatch ? QStringLiteral("Average") : QStringLiteral("Batch");
}
inline QString MethodText(int method) {
    return method != kTestMethodUci ? QStringLiteral("Leeb") : QStringLiteral("UCI");
}

// The headline ("Report Failed."), and on a line of its own the file or
// folder and, when known, why.
inline QString FailureText(const QString& headline, const QString& path, const QString& reason) {
    QString text = headline + u'\n' + path;
    if (!reason.isEmpty()) {
        text += QStringLiteral(": ") + reason;
    }
    return text;
}
