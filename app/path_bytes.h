// File names between QString and the bytes the file system knows.
// QFile::encodeName and decodeName replace bytes that are not UTF-8; here
// such bytes travel as the lone code units U+DC80..U+DCFF, as common/utf.h
// carries them, and come back as the same bytes.
#pragma once

#include <QString>
#include <QUrl>
#include <string>
#include <string_view>

std::string PathBytes(const QString& path);
QString PathText(std::string_view bytes);

// The bytes of a name a file dialog chose. Qt lists an entry whose name is
// not UTF-8 with U+FFFD in place of the bytes it cannot decode; a component
// holding U+FFFD that names no entry as written is taken as the one entry
// of its folder that Qt shows so. Anything else is taken as written (a new
// file's name among them).
std::string ChosenPathBytes(const QString& chosen);

// The bytes of a dropped local file's URL, its percent escapes decoded as
// bytes (QUrl::toLocalFile decodes them as UTF-8 and replaces the rest);
// empty for a URL that names no local file.
std::string DroppedPathBytes(const QUrl& url);
