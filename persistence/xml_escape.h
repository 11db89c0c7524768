// The five predefined entity references of the persistence files.
#pragma once

#include <string>
#include <string_view>

// & < > ' " become &amp; &lt; &gt; &apos; &quot;.
std::string& XmlEscape(std::string& text);

// One left-to-right scan replacing the five references by their characters;
// replaced text is not scanned again (&amp;lt; gives &lt;), and any other
// '&' sequence stays as it is.
std::string& XmlUnescape(std::string& text);

// The same conversions appended to out, for writers and readers that stream.
void AppendXmlEscaped(std::string& out, std::string_view text);
void AppendXmlUnescaped(std::string& out, std::string_view text);
