// Invents the tester's transmissions: plausible records whose readings scatter
// normally around a mean. Pure: the same seed and dates give the same text.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "model/ledgermill.h"

struct STGeneratorSettings {
    int m_nTestModel = kTestModelBatch;
    int m_nTestMethod = kTestMethodLeeb;
    int m_nRecords = 5;
    double m_dMean = 450.0;
    double m_dSpread = 10.0;
};

// The usual mean of each method's readings: Leeb values of steel, UCI Vickers.
double DefaultMean(int testMethod);

class CRecordGenerator {
public:
    CRecordGenerator(const STGeneratorSettings& settings, std::uint64_t seed);

    // m_nRecords records separated by an empty line, every line ending in
    // CR LF, each record closed by "DATE:" date. Point names continue from
    // the previous transmission.
    std::string NextTransmission(std::string_view date);

private:
    std::string NextRecord(std::string_view scale, std::string_view tool, std::string_view date);
    std::string NextReadings(double& mean);

    STGeneratorSettings m_settings;
    std::mt19937_64 m_engine;
    int m_nNextPoint = 1;
};
