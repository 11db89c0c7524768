// How the main window's controls follow its size: the default layout is the
// smallest, and extra room goes to the raw text, the lists and the chart.
#include <QResizeEvent>

#include "app/ledgermill_dlg.h"

namespace {

// The receive side's share of extra width; the data view takes the rest.
constexpr double kReceive = 1.0 / 3.0;
constexpr double kView = 1.0 - kReceive;
// Each side holds two panes one above the other that share extra height.
constexpr double kUpper = 0.5;

constexpr STGrowth kStays{};
constexpr STGrowth kFollowsReceiveRight{kReceive, 0, 0, 0};
constexpr STGrowth kBelowUpperLeft{0, kUpper, 0, 0};
constexpr STGrowth kBelowUpperRight{kReceive, kUpper, 0, 0};
constexpr STGrowth kBottomLeft{0, 1, 0, 0};
constexpr STGrowth kBottomRight{kReceive, 1, 0, 0};
constexpr STGrowth kViewTop{kReceive, 0, 0, 0};
constexpr STGrowth kViewMiddle{kReceive, kUpper, 0, 0};

}  // namespace

void CLedgermillDlg::MakeLayoutElastic() {
    m_layout.Add(m_receiveGroup, {0, 0, kReceive, 1});
    for (QWidget* control : {static_cast<QWidget*>(&m_settingButton), static_cast<QWidget*>(&m_openButton)}) {
        m_layout.Add(*control, kStays);
    }
    m_layout.Add(m_realTimeBox, kFollowsReceiveRight);
    m_layout.Add(m_rawText, {0, 0, kReceive, kUpper});
    m_layout.Add(m_clearButton, kBelowUpperLeft);
    m_layout.Add(m_addButton, kBelowUpperRight);
    m_layout.Add(m_batchList, {0, kUpper, kReceive, 1 - kUpper});
    m_layout.Add(m_deleteBatchButton, kBottomLeft);
    m_layout.Add(m_newButton, kBottomLeft);
    for (QWidget* button : {&m_loadButton, &m_saveButton, &m_reportButton}) {
        m_layout.Add(*button, kBottomRight);
    }
    m_layout.Add(m_viewGroup, {kReceive, 0, kView, 1});
    for (QWidget* control : std::initializer_list<QWidget*>{
             &m_limitButton, &m_lowerLimitLabel, &m_lowerLimitEdit, &m_upperLimitLabel,
             &m_upperLimitEdit}) {
        m_layout.Add(*control, kViewTop);
    }
    m_layout.Add(m_chart, {kReceive, 0, kView, kUpper});
    for (QWidget* control : std::initializer_list<QWidget*>{
             &m_minLabel, &m_minEdit, &m_maxLabel, &m_maxEdit, &m_averageLabel, &m_averageEdit,
             &m_deviationLabel, &m_deviationEdit}) {
        m_layout.Add(*control, kViewMiddle);
    }
    m_layout.Add(m_capabilityLabel, {kReceive, kUpper, kView, 0});
    // The values list keeps its width at the right edge; the lists beside and
    // under it take the width.
    m_layout.Add(m_listFullPlaceholder, {kReceive, kUpper, kView, 1 - kUpper});
    m_layout.Add(m_listNarrowPlaceholder, {kReceive, kUpper, kView, 1 - kUpper});
    m_layout.Add(m_listValuesPlaceholder, {1, kUpper, 0, 1 - kUpper});
    m_layout.Add(m_titleEdit, kBottomRight);
    m_layout.Add(m_deleteMeasurementButton, kBottomRight);
}

void CLedgermillDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (m_layout.IsEmpty()) {
        return;  // still being built
    }
    const QSize extra = size() - m_defaultSize;
    m_layout.Apply(extra);
    m_rcListFull = m_listFullPlaceholder.geometry();
    m_rcListNarrow = m_listNarrowPlaceholder.geometry();
    m_rcListValues = m_listValuesPlaceholder.geometry();
    PlaceMeasurementLists();
    const int menuHeight = m_menuBar.height();
    m_menuBar.setGeometry(0, 0, width(), menuHeight);
    const int statusHeight = m_statusBar.height();
    m_statusBar.setGeometry(0, height() - statusHeight, width(), statusHeight);
}
