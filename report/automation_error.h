// Errors of the spreadsheet automation layer. Every failing call raises a
// CAutomationError carrying a result code in the usual 32-bit form, so that
// callers can tell "no such object" from "the file could not be saved".
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

using AutomationCode = std::uint32_t;

inline constexpr AutomationCode kENoInterface = 0x80004002;   // object lacks that interface
inline constexpr AutomationCode kEPointer = 0x80004003;       // call on a null object
inline constexpr AutomationCode kEOutOfMemory = 0x8007000E;
inline constexpr AutomationCode kENoUnicodeTranslation = 0x80070459;  // identifier is not text
inline constexpr AutomationCode kRegdbEClassNotReg = 0x80040154;      // no such component
inline constexpr AutomationCode kCoEClassString = 0x800401F3;         // unknown identifier
inline constexpr AutomationCode kCoEAppNotFound = 0x800401F5;         // nothing opened the file
inline constexpr AutomationCode kStgECantSave = 0x80030103;           // workbook file not written
inline constexpr AutomationCode kStgEFileAlreadyExists = 0x80030050;  // that file is there
inline constexpr AutomationCode kXlObjectError = 0x800A03EC;          // bad argument or range

class CAutomationError : public std::runtime_error {
public:
    CAutomationError(AutomationCode code, const std::string& description);
    explicit CAutomationError(AutomationCode code);

    AutomationCode Code() const noexcept { return m_nCode; }

private:
    AutomationCode m_nCode;
};
