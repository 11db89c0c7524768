// The top levels of one element of an archive, as far down as a record's
// reader looks: names and unescaped texts, no attributes. The streaming
// batch file reader fills one for the batch element and one for each item
// in turn, reusing the storage.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CShallowTree {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    static constexpr std::size_t kRoot = 0;

    // Starts over with only the root, named rootName.
    void Reset(std::string_view rootName);

    // Appends a child to parent, an index Add returned before or kRoot, and
    // returns its index. name and text come as the file holds them: CR LF
    // is collapsed in both and text is unescaped here.
    std::size_t Add(std::size_t parent, std::string_view name, std::string_view text);

    std::size_t FirstChild(std::size_t node) const { return m_nodes[node].m_nFirstChild; }
    std::size_t NextSibling(std::size_t node) const { return m_nodes[node].m_nNextSibling; }
    std::size_t ChildCount(std::size_t node) const { return m_nodes[node].m_nChildren; }
    // The first child named exactly name; npos when there is none or name is
    // empty.
    std::size_t FindChild(std::size_t node, std::string_view name) const;
    std::string_view Name(std::size_t node) const;
    std::string_view Text(std::size_t node) const;

private:
    struct STNode {
        std::size_t m_nName = 0;  // offsets into m_strChars
        std::size_t m_nNameSize = 0;
        std::size_t m_nText = 0;
        std::size_t m_nTextSize = 0;
        std::size_t m_nFirstChild = npos;
        std::size_t m_nLastChild = npos;
        std::size_t m_nNextSibling = npos;
        std::size_t m_nChildren = 0;
    };

    std::vector<STNode> m_nodes;
    std::string m_strChars;  // every name and text, one after the other
    std::string m_strScratch;
};

// CR LF collapsed to LF as the whole-file reader does it: text itself when
// it holds no CR LF, else a copy in scratch.
std::string_view WithoutCrLf(std::string_view text, std::string& scratch);
