// An archive's text written element by element, laid out as the tree writer
// lays out a document (TABs by depth, one class attribute at most, a text
// line when the text is not empty) but with CR LF line ends, as the file
// holds them. The text collects in a buffer that is handed to flush whenever
// it holds bufferBytes or more, so only the buffer is ever held.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class CArchiveLineWriter {
public:
    // Writes the bytes somewhere; false when they could not be written.
    using Flush = std::function<bool(std::string_view bytes)>;

    CArchiveLineWriter(Flush flush, std::size_t bufferBytes);

    // The opening line; no attribute when className is empty.
    void Open(std::string_view name, std::string_view className);
    // The text line of the element just opened; none for an empty text.
    void Text(std::string_view text);
    // The closing line of the innermost open element.
    void Close(std::string_view name);
    // An element holding only text.
    void Scalar(std::string_view name, std::string_view className, std::string_view text);

    // True once a flush has failed; what follows is no longer written.
    bool Failed() const { return m_bFailed; }
    // Flushes what is left; false when any flush failed.
    bool Finish();

private:
    void Indent();
    // The bytes with every LF as CR LF; escaped first when asked.
    void Append(std::string_view text, bool escape);
    void EndLine();

    Flush m_flush;
    std::size_t m_nBufferBytes;
    std::string m_buffer;
    std::string m_escaped;  // reused for texts that need escaping
    std::size_t m_nDepth = 0;
    bool m_bFailed = false;
};
