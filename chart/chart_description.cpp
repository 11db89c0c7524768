#include "chart/chart_description.h"

#include <QStringList>
#include <cmath>
#include <cstddef>

#include "chart/chart_painter.h"
#include "common/number_text.h"

namespace {

QString Number(double value) {
    return QString::fromStdU16String(DoubleToText(value));
}

QString Count(std::size_t count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(count == 1 ? one : many));
}

QString LimitsPart(const STPlotContext& context, double limitLow, double limitHigh) {
    if (std::fabs(limitLow - limitHigh) < 1e-9) {
        return QStringLiteral("no limits");
    }
    std::size_t outside = 0;
    for (const STChartPoint& point : context.m_series) {
        if (JudgeBar(point.y, limitLow, limitHigh) == EBarKind::kFail) {
            ++outside;
        }
    }
    return QStringLiteral("limits %1 to %2, %3 outside the limits")
        .arg(Number(limitLow), Number(limitHigh), QString::number(outside));
}

}  // namespace

QString DescribeChart(const QString& subject, const STPlotContext& context, double limitLow,
                      double limitHigh, std::int32_t highlight) {
    const std::size_t bars = context.m_series.size();
    if (bars == 0) {
        return QStringLiteral("Bar chart, no bars");
    }
    QStringList parts{subject.isEmpty() ? QStringLiteral("Bar chart")
                                        : QStringLiteral("Bar chart of ") + subject};
    parts << Count(bars, "bar", "bars") << LimitsPart(context, limitLow, limitHigh);
    if (highlight >= 0 && static_cast<std::size_t>(highlight) < bars) {
        const auto index = static_cast<std::size_t>(highlight);
        parts << QStringLiteral("bar %1 highlighted (%2)")
                     .arg(QString::number(index + 1), Number(context.m_series[index].y));
    }
    return parts.join(QStringLiteral(", "));
}
