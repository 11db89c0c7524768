#include "chart/qz_ctrl_chart.h"

#include <QPainter>
#include <QResizeEvent>

#include "chart/device_grid.h"

CQZCtrlChart::CQZCtrlChart() {
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
