// marlo-sim: plays a hardness tester on a pseudo-terminal, so that Marlo and
// its tests can receive transmissions without an instrument.
#include <chrono>
#include <cstdint>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_bytes.h"
#include "common/time_text.h"
#include "common/utf.h"
#include "common/version.h"
#include "tools/marlo_sim/options.h"
#include "tools/marlo_sim/pacing.h"
#include "tools/marlo_sim/pseudo_terminal.h"
#include "tools/marlo_sim/record_generator.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// Lets a reader take the last bytes before the line hangs up, which discards
// what it still holds.
constexpr std::chrono::seconds kLinger{1};

int ReportFailure(std::string_view message) {
    std::cerr << "marlo-sim: " << message << '\n';
    return kExitFailure;
}

std::string CurrentDate() {
    return Utf16ToUtf8(FormatTime(0, std::time(nullptr)));
}

std::uint64_t ClockSeed() {
    return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

int Run(const STSimOptions& options) {
    std::string capture;
    if (!options.m_strFile.empty() && !ReadFileBytes(options.m_strFile, capture)) {
        return ReportFailure("cannot read the capture " + options.m_strFile);
    }
    // Before the link exists, so that no signal can leave it behind.
    std::string error;
    if (!RequestStopOnSignals(error)) {
        return ReportFailure(error);
    }
    const std::optional<CPseudoTerminal> terminal = CPseudoTerminal::Open(error);
    if (!terminal) {
        return ReportFailure(error);
    }
    CSymbolicLink link;
    if (!options.m_strLink.empty() &&
        !link.Create(options.m_strLink, terminal->SlavePath(), error)) {
        return ReportFailure(error);
    }
    std::cout << terminal->SlavePath() << std::endl;
    if (!std::cout) {
        return ReportFailure("cannot write to standard output");
    }

    CRecordGenerator generator(options.m_generator, options.m_seed.value_or(ClockSeed()));
    for (std::int64_t sent = 0; options.m_nCount == 0 || sent < options.m_nCount; ++sent) {
        const double pause = sent > 0 ? options.m_dInterval : options.m_dDelay;
        if (pause > 0 && !SleepUnlessStopped(std::chrono::duration<double>(pause))) {
            return kExitSuccess;
        }
        const std::string text =
            options.m_strFile.empty() ? generator.NextTransmission(CurrentDate()) : capture;
        switch (SendPaced(terminal->Master(), text, options.m_nBaud, error)) {
            case ESendResult::kSent:
                break;
            case ESendResult::kStopped:
                return kExitSuccess;
            case ESendResult::kFailed:
                return ReportFailure(error);
        }
    }
    SleepUnlessStopped(kLinger);
    return kExitSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    STSimOptions options;
    std::string problem;
    switch (ParseSimOptions(arguments, options, problem)) {
        case EParseOutcome::kHelp:
            std::cout << SimHelpText() << std::flush;
            return kExitSuccess;
        case EParseOutcome::kVersion:
            std::cout << "marlo-sim " << kMarloVersion << std::endl;
            return kExitSuccess;
        case EParseOutcome::kUsageError:
            std::cerr << "marlo-sim: " << problem << "\nusage: " << kSimUsage << '\n';
            return kExitUsage;
        case EParseOutcome::kRun:
            break;
    }
    return Run(options);
}
