#include "chart/qz_ctrl_chart.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QResizeEvent>

#include "chart/chart_description.h"
#include "chart/device_grid.h"

namespace {

// A plain widget is a client area to a screen reader; this one is a chart.
QAccessibleInterface* ChartAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String("CQZCtrlChart") || !object->isWidgetType()) {
        return nullptr;
    }
    // The accessibility cache owns the interface.
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Chart);
}

}  // namespace

CQZCtrlChart::CQZCtrlChart() {
    static const bool installed = [] {
        QAccessible::installFactory(ChartAccessible);
        return true;
    }();
    Q_UNUSED(installed);
    setAccessibleName(QStringLiteral("Chart"));
    // The paint covers every pixel from the off-screen image: no erase, no
    // flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setObjectName(QStringLiteral("_QZCtrlChart_"));
}

int CQZCtrlChart::CreateFromStatic(QWidget* parent, QWidget* placeholder) {
    if (parent == nullptr || placeholder == nullptr) {
        return 0;
    }
    const QRect area(placeholder->mapTo(parent, QPoint(0, 0)), placeholder->size());
    placeholder->hide();
    setParent(parent);
    setGeometry(area);
    Layout(width(), height(), devicePixelRatioF());
    ResetLimitsAndScales();
    show();
    return 1;
}

void CQZCtrlChart::Refresh() {
    const QString description =
        DescribeChart(m_strSubject, ScreenContext(), m_dLimitLow, m_dLimitHigh, m_nHighlight);
    // Each change is an event to a listening screen reader: only real ones.
    if (description != accessibleDescription()) {
        setAccessibleDescription(description);
    }
    update();
}

void CQZCtrlChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout(event->size().width(), event->size().height(), devicePixelRatioF());
}

void CQZCtrlChart::paintEvent(QPaintEvent*) {
    // Moved to a screen of another ratio: Qt repaints the window there, and
    // the image follows before it is painted.
    if (DrawingRatio(devicePixelRatioF()) != ScreenPixelRatio()) {
        Layout(width(), height(), devicePixelRatioF());
    }
    PaintScreenImage();
    const STDibImage& image = GetScreenImage();
    if (!image.m_image.isNull()) {
        QPainter(this).drawImage(0, 0, image.m_image);
    }
}
