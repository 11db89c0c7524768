#include "app/archive_window.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "app/csv_options.h"
#include "app/path_bytes.h"
#include "app/window_text.h"
#include "common/time_text.h"
#include "dialogs/modal.h"
#include "persistence/batch_file_writer.h"
#include "persistence/text_file.h"

namespace {

// Typing searches after this pause.
constexpr int kTypingPauseMs = 200;
// A date edit at its minimum means "any time".
const QDate kAnyTime(2000, 1, 1);
constexpr int kFileNameTime = 3;

QString BatchName(const STArchivedBatch& batch) {
    return Text(batch.m_strStation) + u' ' + Text(batch.m_strKey);
}

void PrepareDateEdit(QDateEdit& edit) {
    edit.setCalendarPopup(true);
    edit.setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit.setMinimumDate(kAnyTime);
    edit.setSpecialValueText(QStringLiteral("any time"));
    edit.setDate(kAnyTime);
}

std::optional<std::int64_t> TimeOf(const QDateEdit& edit, bool endOfDay) {
    if (edit.date() <= kAnyTime)
        return std::nullopt;
    return (endOfDay ? edit.date().endOfDay() : edit.date().startOfDay()).toSecsSinceEpoch();
}

}  // namespace

CArchiveWindow::CArchiveWindow(STArchiveWindowLinks links, QWidget* parent)
    : QDialog(parent), m_model(links.m_fnOpenArchive), m_links(std::move(links)) {
    setWindowTitle(QStringLiteral("Archive - Marlo"));
    BuildControls();
    PlaceControls();
    NameControls();
    ConnectControls();
    Search();
    SizeColumns();
}

void CArchiveWindow::BuildControls() {
    PrepareDateEdit(m_fromEdit);
    PrepareDateEdit(m_toEdit);
    m_methodBox.addItem(QStringLiteral("All"), -1);
    m_methodBox.addItem(MethodText(kTestMethodLeeb), kTestMethodLeeb);
    m_methodBox.addItem(MethodText(kTestMethodUci), kTestMethodUci);
    m_modelBox.addItem(QStringLiteral("All"), -1);
    m_modelBox.addItem(ModelText(kTestModelBatch), kTestModelBatch);
    m_modelBox.addItem(ModelText(kTestModelAverage), kTestModelAverage);
    m_stationEdit.setClearButtonEnabled(true);
    m_nameEdit.setClearButtonEnabled(true);
    m_nameEdit.setPlaceholderText(QStringLiteral("item NAME text"));
    m_typingPause.setSingleShot(true);
    m_typingPause.setInterval(kTypingPauseMs);

    m_table.setModel(&m_model);
    m_table.setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table.setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table.setAlternatingRowColors(true);
    m_table.setWordWrap(false);
    m_table.verticalHeader()->hide();
    m_table.verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // The newest first until a header is clicked.
    m_table.horizontalHeader()->setSortIndicator(CArchiveListModel::kTime, Qt::DescendingOrder);
    m_table.setSortingEnabled(true);

    m_exportMenu.addAction(QStringLiteral("As &HDB Files..."), this,
                           [this] { OnExport(kExportHdb); });
    m_exportMenu.addAction(QStringLiteral("As CSV, One Row per &Item..."), this,
                           [this] { OnExport(kExportCsvPerItem); });
    m_exportMenu.addAction(QStringLiteral("As CSV, One &Reading per Row..."), this,
                           [this] { OnExport(kExportCsvPerReading); });
    m_exportButton.setMenu(&m_exportMenu);
}

void CArchiveWindow::PlaceControls() {
    auto* filters = new QHBoxLayout;  // each layout is owned by its parent layout or the window
    const std::pair<QLabel*, QWidget*> fields[] = {
        {&m_fromLabel, &m_fromEdit},       {&m_toLabel, &m_toEdit},
        {&m_methodLabel, &m_methodBox},    {&m_modelLabel, &m_modelBox},
        {&m_stationLabel, &m_stationEdit}, {&m_nameLabel, &m_nameEdit}};
    for (const auto& [label, field] : fields) {
        label->setBuddy(field);
        filters->addWidget(label);
        filters->addWidget(field, field == &m_stationEdit || field == &m_nameEdit ? 1 : 0);
        filters->addSpacing(6);
    }
    m_splitter.addWidget(&m_table);
    m_splitter.addWidget(&m_trend);
    m_splitter.setStretchFactor(0, 3);
    m_splitter.setStretchFactor(1, 2);
    m_splitter.setChildrenCollapsible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(&m_statusLabel, 1);
    buttons->addWidget(&m_openButton);
    buttons->addWidget(&m_exportButton);
    buttons->addWidget(&m_closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(&m_splitter, 1);
    layout->addLayout(buttons);
    resize(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 140, fontMetrics().height() * 42);
}

void CArchiveWindow::NameControls() {
    m_fromEdit.setAccessibleName(QStringLiteral("Created from"));
    m_fromEdit.setAccessibleDescription(
        QStringLiteral("First day of the search; any time at its lowest"));
    m_toEdit.setAccessibleName(QStringLiteral("Created to"));
    m_toEdit.setAccessibleDescription(
        QStringLiteral("Last day of the search; any time at its lowest"));
    m_methodBox.setAccessibleName(QStringLiteral("Test method"));
    m_modelBox.setAccessibleName(QStringLiteral("Test model"));
    m_stationEdit.setAccessibleName(QStringLiteral("Station"));
    m_nameEdit.setAccessibleName(QStringLiteral("Item name contains"));
    m_table.setAccessibleName(QStringLiteral("Archived batches"));
    m_statusLabel.setAccessibleName(QStringLiteral("Search result"));
    m_openButton.setAccessibleName(QStringLiteral("Open"));
    m_openButton.setAccessibleDescription(
        QStringLiteral("Opens the current batch in the main window"));
    m_exportButton.setAccessibleName(QStringLiteral("Export"));
    m_exportButton.setAccessibleDescription(
        QStringLiteral("Saves the selected batches as HDB or CSV files"));
    m_closeButton.setAccessibleName(QStringLiteral("Close"));
    m_splitter.setAccessibleName(QStringLiteral("Batches and trend"));
}

void CArchiveWindow::ConnectControls() {
    for (QDateEdit* edit : {&m_fromEdit, &m_toEdit}) {
        connect(edit, &QDateEdit::dateChanged, this, [this] { Search(); });
    }
    for (QComboBox* box : {&m_methodBox, &m_modelBox}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] { Search(); });
    }
    for (QLineEdit* edit : {&m_stationEdit, &m_nameEdit}) {
        connect(edit, &QLineEdit::textChanged, &m_typingPause, qOverload<>(&QTimer::start));
    }
    connect(&m_typingPause, &QTimer::timeout, this, [this] { Search(); });
    connect(&m_model, &QAbstractItemModel::modelReset, this, [this] { ShowListed(); });
    connect(m_table.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ShowSelection(); });
    // The limits do not sort: the indicator goes back to the column that does.
    connect(m_table.horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int section) {
                if (section == CArchiveListModel::kLimits) {
                    const STArchiveFilter& filter = m_model.Filter();
                    m_table.horizontalHeader()->setSortIndicator(
                        static_cast<int>(filter.m_eSort),
                        filter.m_bDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
                }
            });
    connect(&m_table, &QTableView::doubleClicked, this, [this] { OnOpenBatch(); });
    connect(&m_openButton, &QPushButton::clicked, this, [this] { OnOpenBatch(); });
    connect(&m_closeButton, &QPushButton::clicked, this, [this] { close(); });
}

void CArchiveWindow::SizeColumns() {
    const QFontMetrics metrics = m_table.fontMetrics();
    const int pad = metrics.horizontalAdvance(QLatin1Char('0')) * 3;
    const QString widest[] = {QStringLiteral("0000-00-00 00:00:00"),
                              QStringLiteral("Station-000"),
                              QStringLiteral("Operator 00"),
                              QStringLiteral("Method"),
                              QStringLiteral("Average"),
                              QStringLiteral("00000"),
                              QStringLiteral("0000.0"),
                              QStringLiteral("Std. Dev."),
                              QStringLiteral("0000.0") + QChar(0x2013) + QStringLiteral("0000.0")};
    QHeaderView* header = m_table.horizontalHeader();
    for (int column = 0; column < CArchiveListModel::kColumns; ++column) {
        const int headerWidth = metrics.horizontalAdvance(
            m_model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        header->resizeSection(
            column, std::max(metrics.horizontalAdvance(widest[column]), headerWidth) + pad);
    }
    header->setStretchLastSection(true);
}

STArchiveFilter CArchiveWindow::FilterOfControls() const {
    STArchiveFilter filter;
    filter.m_oFrom = TimeOf(m_fromEdit, false);
    filter.m_oTo = TimeOf(m_toEdit, true);
    if (const int method = m_methodBox.currentData().toInt(); method >= 0)
        filter.m_oMethod = method;
    if (const int model = m_modelBox.currentData().toInt(); model >= 0)
        filter.m_oModel = model;
    filter.m_strStation = m_stationEdit.text().trimmed().toStdU16String();
    filter.m_strNameText = m_nameEdit.text().toStdU16String();
    return filter;
}

void CArchiveWindow::Search() {
    m_typingPause.stop();
    m_model.SetFilter(FilterOfControls());
}

void CArchiveWindow::ShowListed() {
    QPalette palette = m_statusLabel.palette();
    palette.setColor(QPalette::WindowText, m_model.Failure().isEmpty()
                                               ? this->palette().color(QPalette::WindowText)
                                               : QColor(190, 0, 0));
    m_statusLabel.setPalette(palette);
    m_statusLabel.setText(m_model.StatusText());
    STTrendLimits limits;
    QString limitsOf;
    if (const STArchivedBatch* recent = m_model.MostRecent(); recent != nullptr) {
        limits = {recent->m_bUseLimit, recent->m_dLowerLimit, recent->m_dUpperLimit};
        limitsOf = BatchName(*recent);
    }
    m_trend.SetTrend(m_model.TrendPoints(), limits, limitsOf);
    ShowSelection();
}

void CArchiveWindow::ShowSelection() {
    const std::vector<int> rows = SelectedRows();
    m_openButton.setEnabled(rows.size() == 1);
    m_exportButton.setEnabled(!rows.empty());
}

std::vector<int> CArchiveWindow::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_table.selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CArchiveWindow::OnOpenBatch() {
    const int row = m_table.currentIndex().row();
    const STArchivedBatch* listed = m_model.At(row);
    if (listed == nullptr)
        return;
    auto batch = std::make_unique<STLedgermill>();
    std::string failure;
    if (!m_model.Load(row, *batch, failure)) {
        CModal::Current().ShowMessage(
            this, kMarloCaption,
            FailureText(QStringLiteral("Load Failed."), BatchName(*listed),
                        QString::fromStdString(failure)));
        return;
    }
    m_links.m_fnShowBatch(std::move(batch));
}

void CArchiveWindow::OnExport(EExport kind) {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    const QString folder = CModal::Current().ExistingFolder(
        this, QStringLiteral("Export Into Folder"), m_links.m_strFolder);
    if (folder.isEmpty())
        return;
    m_links.m_strFolder = folder;
    QStringList failures;
    std::vector<QString> written;
    int skipped = 0;
    for (const int row : rows) {
        const STArchivedBatch& listed = *m_model.At(row);
        STLedgermill batch;
        std::string failure;
        QString why;
        bool skip = false;
        if (!m_model.Load(row, batch, failure)) {
            why = QString::fromStdString(failure);
        } else {
            why = ExportBatch(batch, folder, kind, written, skip);
        }
        if (!why.isEmpty())
            failures << BatchName(listed) + QStringLiteral(": ") + why;
        skipped += skip ? 1 : 0;
    }
    if (!failures.isEmpty()) {
        CModal::Current().ShowMessage(this, kMarloCaption,
                                      QStringLiteral("Export Failed.\n") + failures.join(u'\n'));
    }
    QString done = QStringLiteral("%1 of %2 batches exported to %3")
                       .arg(written.size())
                       .arg(rows.size())
                       .arg(QDir::toNativeSeparators(folder));
    if (skipped > 0)
        done += QStringLiteral(", %1 not replaced").arg(skipped);
    m_statusLabel.setText(done + u'.');
}

QString CArchiveWindow::ExportBatch(const STLedgermill& batch, const QString& folder, EExport kind,
                                    std::vector<QString>& written, bool& skipped) {
    // Named by creation time as the program names the files it writes
    // itself; two selected batches of one time (two stations) get -2, -3.
    const QString suffix = kind == kExportHdb ? QStringLiteral(".hdb") : QStringLiteral(".csv");
    const QString stem = QDir(folder).filePath(Text(FormatTime(kFileNameTime, batch.m_time)));
    QString path = stem + suffix;
    for (int number = 2; std::find(written.begin(), written.end(), path) != written.end();
         ++number) {
        path = stem + u'-' + QString::number(number) + suffix;
    }
    if (QFileInfo::exists(path) &&
        !CModal::Current().AskYesNo(this, kMarloCaption,
                                    QStringLiteral("%1 exists already.\nReplace it?")
                                        .arg(QDir::toNativeSeparators(path)))) {
        skipped = true;
        return {};
    }
    errno = 0;
    const std::string bytes = ChosenPathBytes(path);
    const bool saved =
        kind == kExportHdb
            ? SaveBatchFile(bytes, batch)
            : WriteTextFile(bytes,
                            BatchCsv(batch, CsvOptionsOfLocale(kind == kExportCsvPerReading)));
    if (!saved) {
        return QDir::toNativeSeparators(path) + QStringLiteral(": ") +
               QString::fromLocal8Bit(std::strerror(errno != 0 ? errno : EIO));
    }
    written.push_back(path);
    return {};
}
