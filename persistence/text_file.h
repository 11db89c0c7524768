// Whole-file text input and output of the persistence files. In the file
// every line ends with CR LF; in memory with LF.
#pragma once

#include <string>

#include "persistence/xml_node.h"

// The first call switches the process locale to the user's default, once for
// the whole run; number texts in the files never follow it.
void SwitchToUserLocaleOnce();

// Turns every CR LF pair into LF, as text-mode reading does.
void CollapseCrLf(std::string& text);

// Reads the whole file, CR LF arriving as LF. False when it cannot be read;
// failure, when given, then says why.
bool ReadTextFile(const std::string& path, std::string& text, std::string* failure = nullptr);

// Replaces the file with text, every LF written as CR LF. The new content
// goes to a temporary file in the same folder that is flushed to disk and
// then renamed over the old one, so a failed or interrupted save leaves the
// previous file as it was. False when anything fails.
bool WriteTextFile(const std::string& path, const std::string& text);

// ReadTextFile, then parse: false only when the file cannot be read.
bool LoadDocument(const std::string& path, XmlDocument& document, std::string* failure = nullptr);

// Write, then WriteTextFile: its result.
bool SaveDocument(const std::string& path, const XmlDocument& document);
