#include "report/automation_error.h"

#include <cstdio>

namespace {

std::string CodeText(AutomationCode code) {
    char text[32];
    std::snprintf(text, sizeof text, "automation error 0x%08X", static_cast<unsigned>(code));
    return text;
}

}  // namespace

CAutomationError::CAutomationError(AutomationCode code, const std::string& description)
    : std::runtime_error(CodeText(code) + ": " + description), m_nCode(code) {}

CAutomationError::CAutomationError(AutomationCode code)
    : std::runtime_error(CodeText(code)), m_nCode(code) {}
