// The window's controls keep their places at the default size and follow
// the window when it grows: each takes a fixed share of the extra width and
// height into its left edge, top edge, width and height. A share of 0 keeps
// that edge or extent as it is; 1 gives it all the growth.
#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

struct STGrowth {
    double m_dLeft = 0.0;
    double m_dTop = 0.0;
    double m_dWidth = 0.0;
    double m_dHeight = 0.0;
};

// base moved and stretched by the growth's shares of extra.
QRect GrownRect(const QRect& base, const STGrowth& growth, QSize extra);

class CElasticLayout {
public:
    // The control's geometry now is its place at the default size.
    void Add(QWidget& control, const STGrowth& growth);
    // Places every control for a window that much larger than its default
    // size; never smaller.
    void Apply(QSize extra) const;
    bool IsEmpty() const { return m_controls.empty(); }

private:
    struct STControl {
        QWidget* m_pWidget;
        QRect m_base;
        STGrowth m_growth;
    };
    std::vector<STControl> m_controls;
};
