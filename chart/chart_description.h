// The screen chart in words, for a screen reader: what the bars stand for,
// how many there are, the limits and how many bars lie outside them, and
// the highlighted bar. Colour alone must not carry the judgement.
#pragma once

#include <QString>
#include <cstdint>

#include "chart/plot_context.h"

// subject names what the bars stand for ("the item averages of batch ...");
// empty when the owner says nothing. An empty chart names no subject: the
// owner may clear the points without a word, and it is never stale. Equal
// limits mean no limits, as the bars' colours take them; highlight is
// 0-based, -1 for none.
QString DescribeChart(const QString& subject, const STPlotContext& context, double limitLow,
                      double limitHigh, std::int32_t highlight);
