#include "tools/marlo_tool/file_operands.h"

#include <cerrno>
#include <cstring>

#include "common/file_bytes.h"
#include "common/file_output.h"
#include "common/file_replace.h"
#include "tools/marlo_tool/arguments.h"

bool IsStandardStream(std::string_view operand) {
    return operand == kStandardStream;
}

bool ReadInputBytes(const std::string& operand, std::string& bytes, std::string& failure) {
    return IsStandardStream(operand) ? ReadStandardInput(bytes, &failure)
                                     : ReadFileBytes(operand, bytes, &failure);
}

int WriteOutputBytes(const std::string& operand, std::string_view bytes) {
    if (IsStandardStream(operand)) {
        return WriteStandardOutput(bytes);
    }
    const bool written = ReplaceFile(operand, [bytes](const std::string& temporary) {
        return WriteNewFileBytes(temporary, bytes);
    });
    return written ? kExitSuccess : ReportWriteFailure(operand);
}

int ReportWriteFailure(std::string_view operand) {
    const std::string_view name = IsStandardStream(operand) ? kStandardOutputName : operand;
    return ReportFailure("marlo-tool: cannot write " + std::string(name) + ": " +
                         std::strerror(errno));
}
