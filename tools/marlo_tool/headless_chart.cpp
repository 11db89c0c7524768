#include "tools/marlo_tool/headless_chart.h"

#include <cstdlib>

#include "report/report_image.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

std::unique_ptr<QGuiApplication> StartDrawing() {
    if (!IsSet("QT_QPA_PLATFORM") && !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    static int argc = 1;
    static char name[] = "marlo-tool";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

void DrawBatchChart(CChartPlot& plot, const STLedgermill& batch, std::int32_t width, std::int32_t height) {
    plot.Layout(width, height);
    plot.m_dLimitLow = batch.m_bUseLimit ? batch.m_dLowerLimit : 0.0;
    plot.m_dLimitHigh = batch.m_bUseLimit ? batch.m_dUpperLimit : 0.0;
    DrawBatchReportImage(plot, batch);
}
