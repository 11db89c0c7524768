#include "persistence/archive_line_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "persistence/serializer.h"
#include "persistence/xml_escape.h"

namespace {

constexpr std::string_view kEscaped = "&<>'\"";

// The bytes a text cannot be copied with as it is: the five that are
// escaped, and LF, which the file holds as CR LF.
constexpr std::array<bool, 256> kNeedsWork = [] {
    std::array<bool, 256> table{};
    for (const char c : std::string_view("&<>'\"\n")) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}();

bool NeedsWork(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return kNeedsWork[static_cast<unsigned char>(c)]; });
}

}  // namespace

CArchiveLineWriter::CArchiveLineWriter(Flush flush, std::size_t bufferBytes)
    : m_flush(std::move(flush)), m_nBufferBytes(bufferBytes) {
    m_buffer.reserve(bufferBytes + 256);
}

void CArchiveLineWriter::Open(std::string_view name, std::string_view className) {
    Indent();
    m_buffer.push_back('<');
    Append(name, false);
    if (!className.empty()) {
        m_buffer.push_back(' ');
        m_buffer.append(kClassAttribute).append(" = \"");
        Append(className, true);
        m_buffer.push_back('"');
    }
    m_buffer.push_back('>');
    EndLine();
    ++m_nDepth;
}

void CArchiveLineWriter::Text(std::string_view text) {
    if (text.empty()) {
        return;
    }
    Indent();
    Append(text, true);
    EndLine();
}

void CArchiveLineWriter::Close(std::string_view name) {
    --m_nDepth;
    Indent();
    m_buffer.append("</");
    Append(name, false);
    m_buffer.push_back('>');
    EndLine();
}

void CArchiveLineWriter::Scalar(std::string_view name, std::string_view className,
                                std::string_view text) {
    Open(name, className);
    Text(text);
    Close(name);
}

bool CArchiveLineWriter::Finish() {
    if (!m_bFailed && !m_buffer.empty()) {
        m_bFailed = !m_flush(m_buffer);
    }
    m_buffer.clear();
    return !m_bFailed;
}

void CArchiveLineWriter::Indent() {
    m_buffer.append(m_nDepth, '\t');
}

void CArchiveLineWriter::Append(std::string_view text, bool escape) {
    if (!NeedsWork(text)) {
        m_buffer.append(text);
        return;
    }
    if (escape && text.find_first_of(kEscaped) != text.npos) {
        m_escaped.clear();
        AppendXmlEscaped(m_escaped, text);
        text = m_escaped;
    }
    for (const char* lf = static_cast<const char*>(std::memchr(text.data(), '\n', text.size()));
         lf != nullptr;
         lf = static_cast<const char*>(std::memchr(text.data(), '\n', text.size()))) {
        const auto before = static_cast<std::size_t>(lf - text.data());
        m_buffer.append(text.substr(0, before)).append("\r\n");
        text.remove_prefix(before + 1);
    }
    m_buffer.append(text);
}

void CArchiveLineWriter::EndLine() {
    m_buffer.append("\r\n");
    if (m_buffer.size() < m_nBufferBytes) {
        return;
    }
    if (!m_bFailed) {
        m_bFailed = !m_flush(m_buffer);
    }
    m_buffer.clear();
}
