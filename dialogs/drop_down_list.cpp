#include "dialogs/drop_down_list.h"

#include <QFontMetrics>
#include <algorithm>

void PlaceDropDownList(const CDialogUnits& units, QComboBox& list, int x, int y, int width,
                       int height) {
    const QRect whole = units.ToPixels(x, y, width, height);
    const int closedHeight = list.sizeHint().height();
    list.setGeometry(whole.x(), whole.y(), whole.width(), closedHeight);
    const int itemHeight = std::max(1, QFontMetrics(list.font()).height());
    list.setMaxVisibleItems(std::max(1, (whole.height() - closedHeight) / itemHeight));
}

void SelectItemByValue(QComboBox& list, qint64 value) {
    for (int index = 0; index < list.count(); ++index) {
        if (list.itemData(index).toLongLong() == value) {
            list.setCurrentIndex(index);
            return;
        }
    }
    list.setCurrentIndex(0);
}
