// The program ended by SIGTERM while a batch has unsaved changes: the batch
// is written to the recovery folder, the settings are kept, and the program
// ends without asking. Its own binary: ending the program ends every event
// loop of the process for good.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <csignal>
#include <filesystem>

#include "app/ledgermill_app.h"
#include "app/ledgermill_dlg.h"
#include "common/time_text.h"
#include "common/utf.h"
#include "dialogs/modal.h"
#include "persistence/batch_file_reader.h"
#include "persistence/setting.h"
#include "support/temp_folder.h"
#include "test_folders.h"

namespace fs = std::filesystem;

namespace {

// The main window runs for real; any other dialog would wait for a person.
class CRunningWindowModal : public CModal {
public:
    int Run(QDialog& dialog) override {
        if (dynamic_cast<CLedgermillDlg*>(&dialog) != nullptr) {
            return dialog.exec();
        }
        ++m_nOtherDialogs;
        return QDialog::Rejected;
    }
    void ShowMessage(QWidget*, const QString&, const QString& text) override {
        m_messages << text;
    }
    bool AskYesNo(QWidget*, const QString&, const QString& text, bool) override {
        m_messages << text;
        return false;  // closing would be refused: only the signal may end it
    }
    int m_nOtherDialogs = 0;
    QStringList m_messages;
};

CLedgermillDlg* RunningWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = dynamic_cast<CLedgermillDlg*>(widget); window && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

class EndingSignal : public TempFolder {};

TEST_F(EndingSignal, SigtermKeepsTheUnsavedBatchAndTheSettingsAndEnds) {
    auto owned = std::make_unique<CRunningWindowModal>();
    CRunningWindowModal* modal = owned.get();
    CModal::Install(std::move(owned));
    const STProgramFolders folders = PortableFoldersIn(PathOf(""));

    bool signalled = false;
    QTimer::singleShot(0, [&] {
        CLedgermillDlg* window = RunningWindow();
        ASSERT_NE(window, nullptr);
        auto batch = std::make_unique<STLedgermill>();
        batch->m_time = 1462350000;
        auto item = std::make_unique<STLedgermillItem>();
        item->m_subItem[u"NAME"] = u"P01";
        item->m_values = {448.0, 470.0};
        item->UpdateStatistics();
        batch->AddItem(std::move(item));
        const int row = window->m_batchModel.AddBatch(std::move(batch));
        window->m_batches.MarkUnsaved(window->m_batches.At(row));
        g_stSetting.m_nCom = 4;
        signalled = true;
        std::raise(SIGTERM);
    });
    EXPECT_EQ(CLedgermillApp(folders).Run(), 0);
    EXPECT_TRUE(signalled);
    EXPECT_EQ(modal->m_nOtherDialogs, 0);
    EXPECT_TRUE(modal->m_messages.isEmpty()) << modal->m_messages.join('|').toStdString();

    STLedgermill rescued;
    const std::string name = Utf16ToUtf8(FormatTime(3, 1462350000)) + ".hdb";
    ASSERT_EQ(LoadBatchFile(PathOf("recovered/" + name), rescued),
              EBatchLoadResult::kLoaded)
        << "recovered: " << (fs::exists(PathOf("recovered")) ? "folder" : "none");
    ASSERT_EQ(rescued.m_itemVector.size(), 1u);
    EXPECT_EQ(rescued.m_itemVector[0]->m_values, (std::vector<double>{448.0, 470.0}));
    ResetDefaults(g_stSetting);
    LoadSettings(PathOf("Setting.xml"));
    EXPECT_EQ(g_stSetting.m_nCom, 4);
    CModal::Install(nullptr);
    ResetDefaults(g_stSetting);
}

}  // namespace
