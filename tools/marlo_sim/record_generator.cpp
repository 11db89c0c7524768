#include "tools/marlo_sim/record_generator.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <span>

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::array<std::string_view, 6> kImpactDevices{"D", "DC", "DL", "G", "C", "E"};
// "HL" stands for the Leeb scale of the impact device in use (HLD, HLG, ...).
constexpr std::array<std::string_view, 4> kLeebScales{"HL", "HRC", "HB", "HV"};
constexpr std::array<std::string_view, 5> kTestForces{"HV1", "HV5", "HV10", "50N", "98N"};
constexpr std::array<std::string_view, 2> kUciScales{"HV", "HRC"};
constexpr std::array<std::string_view, 5> kDirections{"90", "45/135", "0/180", "225/315", "270"};
constexpr int kFewestReadings = 3;
constexpr int kMostReadings = 10;

std::string_view Pick(std::span<const std::string_view> texts, std::mt19937_64& engine) {
    return texts[std::uniform_int_distribution<std::size_t>(0, texts.size() - 1)(engine)];
}

// At most one decimal, as the tester prints readings: "448.5", "452".
std::string FormatReading(double value) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 1);
    std::string_view text(buffer.data(), result.ptr);
    if (text.ends_with(".0")) {
        text.remove_suffix(2);
    }
    return std::string(text);
}

std::string PointName(int number) {
    std::array<char, 16> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), "P%03d", number);
    return std::string(buffer.data(), static_cast<std::size_t>(std::max(length, 0)));
}

}  // namespace

double DefaultMean(int testMethod) {
    return testMethod == kTestMethodUci ? 300.0 : 450.0;
}

CRecordGenerator::CRecordGenerator(const STGeneratorSettings& settings, std::uint64_t seed)
    : m_settings(settings), m_engine(seed) {}

std::string CRecordGenerator::NextTransmission(std::string_view date) {
    // An operator measures a series with one impact device or test force on
    // one scale; only the direction changes from point to point.
    std::string tool;
    std::string scale;
    if (m_settings.m_nTestMethod == kTestMethodLeeb) {
        tool = Pick(kImpactDevices, m_engine);
        scale = Pick(kLeebScales, m_engine);
        if (scale == "HL") {
            scale += tool;
        }
    } else {
        tool = Pick(kTestForces, m_engine);
        scale = Pick(kUciScales, m_engine);
    }
    std::string text;
    for (int record = 0; record < m_settings.m_nRecords; ++record) {
        if (record > 0) {
            text += kLineEnd;  // the empty line between records
        }
        text += NextRecord(scale, tool, date);
    }
    return text;
}

std::string CRecordGenerator::NextRecord(std::string_view scale, std::string_view tool,
                                         std::string_view date) {
    std::string record;
    const auto line = [&record](std::string_view key, std::string_view value) {
        record.append(key).append(":").append(value).append(kLineEnd);
    };
    line("NAME", PointName(m_nNextPoint++));
    line("HD", scale);
    line(m_settings.m_nTestMethod == kTestMethodLeeb ? "IMPACT" : "F", tool);
    line("DIR", Pick(kDirections, m_engine));
    double mean = 0.0;
    const std::string readings = NextReadings(mean);
    if (m_settings.m_nTestModel == kTestModelAverage) {
        line("LIST", readings);
        line("AVE", FormatReading(mean));
    } else {
        line("VALUE", readings);
    }
    line("DATE", date);
    return record;
}

// The readings as the tester lists them, comma-separated without spaces;
// mean receives the mean of the readings as written.
std::string CRecordGenerator::NextReadings(double& mean) {
    const int count = std::uniform_int_distribution<int>(kFewestReadings, kMostReadings)(m_engine);
    // Scaled by hand: a spread of 0 is allowed here but not by the distribution.
    std::normal_distribution<double> standard;
    std::string list;
    double sum = 0.0;
    for (int index = 0; index < count; ++index) {
        // Rounded before it is summed, so AVE agrees with the list.
        const double drawn = m_settings.m_dMean + m_settings.m_dSpread * standard(m_engine);
        const double reading = std::max(0.0, std::round(drawn * 10.0) / 10.0);
        sum += reading;
        if (index > 0) {
            list += ',';
        }
        list += FormatReading(reading);
    }
    mean = sum / count;
    return list;
}
