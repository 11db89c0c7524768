#include "dialogs/dialog_units.h"

#include <QFontMetrics>

QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Shell Dlg"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average of the 52 Latin letters, rounded, as the dialog base unit
    // is measured.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nCharWidth = (letters / 26 + 1) / 2;
    m_nCharHeight = metrics.height();
}

QRect CDialogUnits::ToPixels(int x, int y, int width, int height) const {
    const auto horizontal = [this](int units) { return units * m_nCharWidth / 4; };
    const auto vertical = [this](int units) { return units * m_nCharHeight / 8; };
    return {horizontal(x), vertical(y), horizontal(width), vertical(height)};
}

void CDialogUnits::SizeDialog(QWidget& dialog, int width, int height) const {
    dialog.setFixedSize(ToPixels(0, 0, width, height).size());
}

void CDialogUnits::Place(QWidget& control, int x, int y, int width, int height) const {
    control.setGeometry(ToPixels(x, y, width, height));
}
