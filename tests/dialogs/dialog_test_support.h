// What the dialog suites share: a modal seam that answers at once and keeps
// what it was asked, and readers for lists and the focus chain.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QStringList>
#include <memory>
#include <vector>

#include "dialogs/modal.h"

class CRecordingModal : public CModal {
public:
    void ShowMessage(QWidget*, const QString& caption, const QString& text) override {
        m_messages.push_back(caption + "|" + text);
    }
    // Installs a fresh one and returns it; CModal::Install(nullptr) removes it.
    static CRecordingModal& InstallNew() {
        auto modal = std::make_unique<CRecordingModal>();
        CRecordingModal& installed = *modal;
        CModal::Install(std::move(modal));
        return installed;
    }
    std::vector<QString> m_messages;
};

inline QString Prompt(const char* text) {
    return QString::fromUtf8("提示|") + QString::fromUtf8(text);
}

inline QStringList ItemTexts(const QComboBox& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) {
        texts << list.itemText(i);
    }
    return texts;
}

inline std::vector<int> ItemValues(const QComboBox& list) {
    std::vector<int> values;
    for (int i = 0; i < list.count(); ++i) {
        values.push_back(list.itemData(i).toInt());
    }
    return values;
}

// The controls Tab visits, starting at first.
inline std::vector<QWidget*> TabChain(QWidget& first) {
    std::vector<QWidget*> chain;
    QWidget* widget = &first;
    do {
        if (widget->focusPolicy() & Qt::TabFocus) {
            chain.push_back(widget);
        }
        widget = widget->nextInFocusChain();
    } while (widget != &first);
    return chain;
}

inline void PressKey(QWidget& dialog, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &event);
}
