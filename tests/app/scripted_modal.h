// Answers every modal question of the program as the test says, and keeps
// what was asked.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "dialogs/modal.h"

class CScriptedModal : public CModal {
public:
    std::function<int(QDialog&)> m_answer = [](QDialog&) { return int(QDialog::Accepted); };
    QString m_fileName;
    // The file type chosen in a save dialog that offers several, and the
    // filters it offered.
    int m_nFileType = 0;
    QStringList m_fileTypes;
    bool m_bYes = true;
    // Which button the last question made the default.
    bool m_bLastDefaultYes = true;
    std::vector<QString> m_messages;
    // The folder the last file dialog started in.
    QString m_folder;

    void ShowMessage(QWidget*, const QString& caption, const QString& text) override {
        m_messages.push_back(caption + "|" + text);
    }
    bool AskYesNo(QWidget*, const QString& caption, const QString& text,
                  bool defaultYes = true) override {
        m_messages.push_back(caption + "|" + text);
        m_bLastDefaultYes = defaultYes;
        return m_bYes;
    }
    int Run(QDialog& dialog) override { return m_answer(dialog); }
    QString OpenFileName(QWidget*, const QString& title, const QString&, const QString&,
                         const QString& folder) override {
        m_messages.push_back(title);
        m_folder = folder;
        return m_fileName;
    }
    QString SaveFileName(QWidget*, const QString& title, const QString&, const QString&,
                         const QString& folder) override {
        m_messages.push_back(title);
        m_folder = folder;
        return m_fileName;
    }
    QString SaveFileNameOfType(QWidget*, const QString& title, const QStringList& filters, const QString&,
                               const QString& folder, int& chosenType) override {
        m_messages.push_back(title);
        m_folder = folder;
        m_fileTypes = filters;
        chosenType = m_nFileType;
        return m_fileName;
    }
    QString ExistingFolder(QWidget*, const QString& title, const QString& folder) override {
        m_messages.push_back(title);
        m_folder = folder;
        return m_fileName;
    }
};

// Installs a fresh scripted modal for the test and returns it; the
// program's own answers come back with CModal::Install(nullptr).
inline CScriptedModal* InstallScriptedModal() {
    auto modal = std::make_unique<CScriptedModal>();
    CScriptedModal* installed = modal.get();
    CModal::Install(std::move(modal));
    return installed;
}
