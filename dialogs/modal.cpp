#include "dialogs/modal.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <algorithm>

namespace {

std::unique_ptr<CModal>& Installed() {
    static std::unique_ptr<CModal> installed = std::make_unique<CModal>();
    return installed;
}

}  // namespace

void CModal::ShowMessage(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

bool CModal::AskYesNo(QWidget* parent, const QString& caption, const QString& text,
                      bool defaultYes) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int CModal::Run(QDialog& dialog) {
    return dialog.exec();
}

CModal& CModal::Current() {
    return *Installed();
}

std::unique_ptr<CModal> CModal::Install(std::unique_ptr<CModal> modal) {
    std::unique_ptr<CModal> previous = std::move(Installed());
    Installed() = modal ? std::move(modal) : std::make_unique<CModal>();
    return previous;
}

namespace {

QString AskFileName(QWidget* parent, const QString& title, const QStringList& filters,
                    const QString& suffix, const QString& folder, QFileDialog::AcceptMode mode,
                    int* chosenType = nullptr) {
    QFileDialog dialog(parent, title, folder);
    dialog.setNameFilters(filters);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    if (chosenType != nullptr) {
        *chosenType = std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    }
    return dialog.selectedFiles().front();
}

}  // namespace

QString CModal::OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                             const QString& suffix, const QString& folder) {
    return AskFileName(parent, title, {filter}, suffix, folder, QFileDialog::AcceptOpen);
}

QString CModal::SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                             const QString& suffix, const QString& folder) {
    return AskFileName(parent, title, {filter}, suffix, folder, QFileDialog::AcceptSave);
}

QString CModal::SaveFileNameOfType(QWidget* parent, const QString& title, const QStringList& filters,
                                   const QString& suffix, const QString& folder, int& chosenType) {
    return AskFileName(parent, title, filters, suffix, folder, QFileDialog::AcceptSave, &chosenType);
}

QString CModal::ExistingFolder(QWidget* parent, const QString& title, const QString& folder) {
    return QFileDialog::getExistingDirectory(parent, title, folder);
}
