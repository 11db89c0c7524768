// chart: the report image of a batch file, the chart's bars as a 24-bit BMP,
// or as PNG with the same pixels for a name ending in ".png".
#include <optional>
#include <string>
#include <vector>

#include "chart/bitmap_file.h"
#include "chart/chart_plot.h"
#include "common/text.h"
#include "report/picture_png.h"
#include "tools/marlo_tool/commands.h"
#include "tools/marlo_tool/file_operands.h"
#include "tools/marlo_tool/headless_chart.h"

namespace {

constexpr std::int64_t kSmallestSide = 100;
constexpr std::int64_t kLargestSide = 10000;

struct ChartOptions {
    std::string m_strInput;
    std::string m_strOutput;
    std::int32_t m_nWidth = kChartWidth;
    std::int32_t m_nHeight = kChartHeight;
};

std::optional<std::int32_t> ParseSide(std::string_view text) {
    const std::optional<std::int64_t> side = ParseInteger(text);
    if (!side || *side < kSmallestSide || *side > kLargestSide) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*side);
}

// ".png" in any letter case; the standard output gets a bitmap.
bool WantsPng(std::string_view path) {
    constexpr std::string_view kPng = ".png";
    if (path.size() < kPng.size()) {
        return false;
    }
    std::string ending(path.substr(path.size() - kPng.size()));
    return StringToLower(ending) == kPng;
}

// The image file's bytes; empty when the image cannot be encoded.
std::string ImageFileBytes(const STDibImage& image, bool png) {
    std::string bitmap = BitmapFileBytes(image);
    if (!png || bitmap.empty()) {
        return bitmap;
    }
    const std::optional<STPngPicture> picture = BitmapBytesAsPng(bitmap);
    return picture ? std::string(picture->m_bytes.begin(), picture->m_bytes.end()) : std::string();
}

std::optional<ChartOptions> ReadOptions(Arguments arguments) {
    const auto usageError = [](std::string_view problem) {
        ReportUsageError(problem, kChartUsage);
        return std::nullopt;
    };
    ChartOptions options;
    std::vector<std::string_view> operands;
    CArgumentReader reader(arguments);
    while (!reader.AtEnd()) {
        const std::string_view argument = reader.Take();
        if (argument == "--size") {
            const std::string_view size = reader.TakeValue().value_or("");
            const std::size_t cross = size.find('x');
            const std::optional<std::int32_t> width = ParseSide(size.substr(0, cross));
            const std::optional<std::int32_t> height =
                cross == size.npos ? std::nullopt : ParseSide(size.substr(cross + 1));
            if (!width || !height) {
                return usageError("--size takes WIDTHxHEIGHT, each from 100 to 10000");
            }
            options.m_nWidth = *width;
            options.m_nHeight = *height;
        } else if (IsOption(argument)) {
            return usageError("unknown option " + std::string(argument));
        } else {
            operands.push_back(argument);
        }
    }
    if (operands.size() != 2) {
        return usageError("give one batch file and one image file");
    }
    options.m_strInput = operands[0];
    options.m_strOutput = operands[1];
    if (WantsPng(options.m_strOutput) &&
        std::int64_t{options.m_nWidth} * options.m_nHeight > kMaxPngPixels) {
        return usageError("a PNG chart holds at most " + std::to_string(kMaxPngPixels) +
                          " pixels; give a smaller --size");
    }
    return options;
}

}  // namespace

int RunChart(Arguments arguments) {
    const std::optional<ChartOptions> options = ReadOptions(arguments);
    if (!options) {
        return kExitUsage;
    }
    STLedgermill batch;
    if (!LoadBatch(options->m_strInput, batch)) {
        return kExitFailure;
    }

    const auto application = StartDrawing();
    CChartPlot plot;
    DrawBatchChart(plot, batch, options->m_nWidth, options->m_nHeight);
    const std::string bytes = ImageFileBytes(plot.GetReportImage(), WantsPng(options->m_strOutput));
    if (bytes.empty()) {
        return ReportFailure("marlo-tool: cannot write " + options->m_strOutput +
                             ": the image could not be encoded");
    }
    return WriteOutputBytes(options->m_strOutput, bytes);
}
