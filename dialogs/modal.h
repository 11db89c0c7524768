// The one way the program asks the operator something modally: message
// boxes, file dialogs and sub-dialogs. Tests install their own answers.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QDialog;
class QWidget;

class CModal {
public:
    virtual ~CModal() = default;

    // A message with an OK button and no icon.
    virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text);
    // Yes or No; true for Yes. defaultYes says which button Enter presses.
    virtual bool AskYesNo(QWidget* parent, const QString& caption, const QString& text,
                          bool defaultYes = true);
    // Runs the dialog modally; its result code.
    virtual int Run(QDialog& dialog);
    // The platform's file dialogs for one kind of file (filter such as
    // "HDB Files (*.hdb)", default suffix "hdb"), starting in folder; empty
    // when cancelled. Saving accepts new names and asks before replacing an
    // existing file.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& suffix, const QString& folder);
    virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& suffix, const QString& folder);
    // SaveFileName offering several file types, one filter each; chosenType
    // gets the index of the one chosen.
    virtual QString SaveFileNameOfType(QWidget* parent, const QString& title, const QStringList& filters,
                                       const QString& suffix, const QString& folder, int& chosenType);
    // An existing folder chosen in the platform's dialog, starting in
    // folder; empty when cancelled.
    virtual QString ExistingFolder(QWidget* parent, const QString& title, const QString& folder);

    // The installed instance; the platform's dialogs unless a test replaced it.
    static CModal& Current();
    // Installs modal (null: the platform's again); returns the one before.
    static std::unique_ptr<CModal> Install(std::unique_ptr<CModal> modal);
};
