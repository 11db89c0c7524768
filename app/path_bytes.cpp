#include "app/path_bytes.h"

#include <sys/stat.h>

#include <QFile>
#include <QStringList>
#include <filesystem>
#include <optional>
#include <system_error>

#include "common/utf.h"

namespace {

constexpr QChar kReplacement(0xFFFD);

bool Exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

// The one entry of folder whose name Qt shows as shown; nothing when none
// or several do.
std::optional<std::string> EntryShownAs(const std::string& folder, const QString& shown) {
    std::optional<std::string> found;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (QFile::decodeName(QByteArray::fromStdString(name)) != shown) continue;
        if (found) return std::nullopt;
        found = name;
    }
    return found;
}

}  // namespace

std::string PathBytes(const QString& path) {
    return Utf16ToUtf8(path.toStdU16String());
}

QString PathText(std::string_view bytes) {
    return QString::fromStdU16String(Utf8ToUtf16(bytes));
}

std::string ChosenPathBytes(const QString& chosen) {
    const std::string written = PathBytes(chosen);
    if (!chosen.contains(kReplacement) || Exists(written)) return written;
    const QStringList parts = chosen.split(u'/');
    std::string resolved;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0) resolved += '/';
        std::string part = PathBytes(parts[i]);
        if (parts[i].contains(kReplacement) && !Exists(resolved + part)) {
            if (std::optional<std::string> entry = EntryShownAs(resolved.empty() ? "." : resolved, parts[i]))
                part = std::move(*entry);
        }
        resolved += part;
    }
    return resolved;
}

std::string DroppedPathBytes(const QUrl& url) {
    if (!url.isLocalFile()) return {};
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}
