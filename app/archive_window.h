// File > Archive: the batches of the lab archive, searched by time, method,
// model, station and item name, sorted by any column, with the trend of
// their averages under the list. A batch opens into the main window as Load
// opens a file; selected batches export as batch files or CSV.
#pragma once

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "app/archive_list_model.h"
#include "app/trend_view.h"
#include "model/ledgermill.h"

// What the window needs from the program.
struct STArchiveWindowLinks {
    ArchiveOpener m_fnOpenArchive;
    // Files a batch read from the archive into the main window.
    std::function<void(std::unique_ptr<STLedgermill>)> m_fnShowBatch;
    // Where Export's folder dialog starts.
    QString m_strFolder;
};

class CArchiveWindow : public QDialog {
    // The main window finds its archive window by class.
    Q_OBJECT

public:
    enum EExport { kExportHdb, kExportCsvPerItem, kExportCsvPerReading };

    explicit CArchiveWindow(STArchiveWindowLinks links, QWidget* parent = nullptr);

    // The filter the controls set; the sort stays the list's.
    STArchiveFilter FilterOfControls() const;
    // Lists again with the controls' filter.
    void Search();
    // The current row's batch into the main window.
    void OnOpenBatch();
    // The selected batches into a folder the operator chooses.
    void OnExport(EExport kind);
    // The rows selected, in list order.
    std::vector<int> SelectedRows() const;

    CArchiveListModel m_model;
    QLabel m_fromLabel{QStringLiteral("&From:"), this};
    QDateEdit m_fromEdit{this};
    QLabel m_toLabel{QStringLiteral("&To:"), this};
    QDateEdit m_toEdit{this};
    QLabel m_methodLabel{QStringLiteral("&Method:"), this};
    QComboBox m_methodBox{this};
    QLabel m_modelLabel{QStringLiteral("Mo&del:"), this};
    QComboBox m_modelBox{this};
    QLabel m_stationLabel{QStringLiteral("&Station:"), this};
    QLineEdit m_stationEdit{this};
    QLabel m_nameLabel{QStringLiteral("&Name contains:"), this};
    QLineEdit m_nameEdit{this};
    QSplitter m_splitter{Qt::Vertical, this};
    QTableView m_table;
    CTrendView m_trend;
    QLabel m_statusLabel{this};
    QPushButton m_openButton{QStringLiteral("&Open"), this};
    QPushButton m_exportButton{QStringLiteral("&Export..."), this};
    QMenu m_exportMenu{this};
    QPushButton m_closeButton{QStringLiteral("Close"), this};
    // Typing waits for a pause before searching.
    QTimer m_typingPause;

private:
    void BuildControls();
    void PlaceControls();
    void NameControls();
    void ConnectControls();
    void SizeColumns();
    // Status line, chart and buttons after each listing.
    void ShowListed();
    void ShowSelection();
    // Writes one batch into folder; empty on success, else why not. A
    // file already there is replaced only when the operator says so.
    QString ExportBatch(const STLedgermill& batch, const QString& folder, EExport kind,
                        std::vector<QString>& written, bool& skipped);

    STArchiveWindowLinks m_links;
};
