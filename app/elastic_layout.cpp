#include "app/elastic_layout.h"

#include <algorithm>
#include <cmath>

namespace {

int Share(double share, int extra) {
    return static_cast<int>(std::lround(share * extra));
}

}  // namespace

QRect GrownRect(const QRect& base, const STGrowth& growth, QSize extra) {
    const int dx = std::max(extra.width(), 0);
    const int dy = std::max(extra.height(), 0);
    return {base.left() + Share(growth.m_dLeft, dx), base.top() + Share(growth.m_dTop, dy),
            base.width() + Share(growth.m_dWidth, dx), base.height() + Share(growth.m_dHeight, dy)};
}

void CElasticLayout::Add(QWidget& control, const STGrowth& growth) {
    m_controls.push_back({&control, control.geometry(), growth});
}

void CElasticLayout::Apply(QSize extra) const {
    for (const STControl& control : m_controls) {
        control.m_pWidget->setGeometry(GrownRect(control.m_base, control.m_growth, extra));
    }
}
