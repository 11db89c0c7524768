// Places controls from dialog-unit rectangles: x pixels = units x average
// character width / 4, y pixels = units x character height / 8, both
// measured on the dialog font.
#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

// "MS Shell Dlg" at 8 points, falling back through the font system to a
// sans-serif face.
QFont DialogFont();

class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    QRect ToPixels(int x, int y, int width, int height) const;
    // Sizes the dialog's client area and applies the font.
    void SizeDialog(QWidget& dialog, int width, int height) const;
    // Puts the control at the rectangle.
    void Place(QWidget& control, int x, int y, int width, int height) const;

    int AverageCharWidth() const { return m_nCharWidth; }
    int CharHeight() const { return m_nCharHeight; }

private:
    int m_nCharWidth;
    int m_nCharHeight;
};
