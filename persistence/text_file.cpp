#include "persistence/text_file.h"

#include <clocale>
#include <mutex>
#include <string>
#include <string_view>

#include "common/file_bytes.h"
#include "common/file_replace.h"
#include "common/file_output.h"
#include "persistence/xml_parser.h"

namespace {

std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    std::size_t start = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', start)) {
        out.append(text, start, lf - start).append("\r\n");
        start = lf + 1;
    }
    return out.append(text, start);
}

}  // namespace

void CollapseCrLf(std::string& text) {
    std::size_t kept = text.find("\r\n");
    if (kept == std::string::npos) {
        return;
    }
    // Moves each stretch between two CR LF pairs left over the dropped CRs.
    for (std::size_t from = kept + 1; from < text.size();) {
        const std::size_t pair = text.find("\r\n", from);
        const std::size_t end = pair == std::string::npos ? text.size() : pair;
        std::char_traits<char>::move(&text[kept], &text[from], end - from);
        kept += end - from;
        from = pair == std::string::npos ? end : pair + 1;
    }
    text.resize(kept);
}

void SwitchToUserLocaleOnce() {
    static std::once_flag switched;
    std::call_once(switched, [] { std::setlocale(LC_ALL, ""); });
}

bool ReadTextFile(const std::string& path, std::string& text, std::string* failure) {
    SwitchToUserLocaleOnce();
    if (!ReadFileBytes(path, text, failure)) {
        return false;
    }
    CollapseCrLf(text);
    return true;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    SwitchToUserLocaleOnce();
    return ReplaceFile(path, [&text](const std::string& temporary) {
        return WriteNewFile(temporary, [&text](int fd) { return WriteAllBytes(fd, WithCrLf(text)); });
    });
}

bool LoadDocument(const std::string& path, XmlDocument& document, std::string* failure) {
    std::string text;
    if (!ReadTextFile(path, text, failure)) {
        return false;
    }
    CXmlParser().ParseDocument(text, document);
    return true;
}

bool SaveDocument(const std::string& path, const XmlDocument& document) {
    return WriteTextFile(path, CXmlParser().WriteDocument(document));
}
