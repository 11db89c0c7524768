#include <gtest/gtest.h>

#include "persistence/text_file.h"
#include "persistence/xml_escape.h"
#include "persistence/xml_parser.h"
#include "support/temp_folder.h"

using namespace std::string_literals;

namespace {

XmlDocument Parse(std::string_view text) {
    XmlDocument document;
    CXmlParser().ParseDocument(text, document);
    return document;
}

std::string Escaped(std::string text) {
    return XmlEscape(text);
}
std::string Unescaped(std::string text) {
    return XmlUnescape(text);
}

std::vector<std::string> ChildNames(const STXmlNode& node) {
    std::vector<std::string> names;
    for (const auto& child : node.m_children) {
        names.push_back(child->m_strName);
    }
    return names;
}

}  // namespace

TEST(XmlEscape, ReplacesTheFiveCharactersOnce) {
    EXPECT_EQ(Escaped("x < y & z"), "x &lt; y &amp; z");
    EXPECT_EQ(Escaped("&lt;"), "&amp;lt;");
    EXPECT_EQ(Escaped("'\"<>&"), "&apos;&quot;&lt;&gt;&amp;");
    EXPECT_EQ(Escaped("a\0b"s), "a\0b"s);
}

TEST(XmlUnescape, ScansOnceAndLeavesUnknownReferences) {
    EXPECT_EQ(Unescaped("x &lt; y &amp; z"), "x < y & z");
    EXPECT_EQ(Unescaped("&amp;lt;"), "&lt;");
    EXPECT_EQ(Unescaped("&#65;&foo;&&amp"), "&#65;&foo;&&amp");
    EXPECT_EQ(Unescaped("&apos;&quot;&gt;"), "'\">");
}

TEST(XmlWriter, LaysOutLinesWithTabsAndSortedAttributes) {
    XmlDocument document;
    STXmlNode* a = CreateChild(nullptr, "a", "1", document);
    a->m_attributes["class"] = "std::vector<double>";
    STXmlNode* b = CreateChild(a, "b", "", document);
    b->m_attributes["z"] = "2";
    b->m_attributes["k"] = "x & y";
    CreateChild(b, "c", "", document);
    CreateChild(nullptr, "second", "t", document);
    EXPECT_EQ(CXmlParser().WriteDocument(document),
              "<a class = \"std::vector&lt;double&gt;\">\n"
              "\t1\n"
              "\t<b k = \"x &amp; y\" z = \"2\">\n"
              "\t\t<c>\n"
              "\t\t</c>\n"
              "\t</b>\n"
              "</a>\n"
              "<second>\n"
              "\tt\n"
              "</second>\n");
    EXPECT_EQ(b->m_pParent, a);
    EXPECT_EQ(FindChild(a, "b"), b);
    EXPECT_EQ(FindChild(a, ""), nullptr);
    EXPECT_EQ(FindChild(a, "B"), nullptr);
}

TEST(XmlParser, ReadsTheFirstTopLevelElementOnly) {
    const XmlDocument document = Parse("junk<a>1</a>trailing<b>2</b>");
    ASSERT_EQ(document.size(), 1u);
    EXPECT_EQ(document[0]->m_strName, "a");
    EXPECT_EQ(document[0]->m_strText, "1");
    EXPECT_TRUE(document[0]->m_children.empty());
    EXPECT_TRUE(Parse("").empty());
    EXPECT_TRUE(Parse("no markup").empty());
    EXPECT_TRUE(Parse("</a><b>").empty());
}

TEST(XmlParser, ReadsDoubleQuotedAttributesOnly) {
    const auto attributes = [](std::string_view text) { return Parse(text)[0]->m_attributes; };
    using Map = std::map<std::string, std::string>;
    EXPECT_EQ(attributes("<a k = \"v\" k2=\"w x\">"), (Map{{"k", "v"}, {"k2", "w x"}}));
    EXPECT_EQ(attributes("<a k='v'>"), Map{});
    EXPECT_EQ(attributes("<a k=\"1\" k=\"2\">"), (Map{{"k", "2"}}));
    EXPECT_EQ(attributes("<a  in ner = \" v \">"), (Map{{"in ner", " v "}}));
    EXPECT_EQ(attributes("<a c = \"&lt;b&gt;\" x=\"unclosed>"), (Map{{"c", "<b>"}}));
    EXPECT_EQ(Parse("<a\tk=\"v\">")[0]->m_strName, "a\tk=\"v\"");
}

TEST(XmlParser, ClosingTagsEndTheOpenElementWithoutNameCheck) {
    const XmlDocument document = Parse("<a><b>1</c><d>2</d></a>");
    const STXmlNode& a = *document[0];
    EXPECT_EQ(ChildNames(a), (std::vector<std::string>{"b", "d"}));
    EXPECT_EQ(a.m_children[0]->m_strText, "1");
    EXPECT_EQ(a.m_children[1]->m_strText, "2");
    EXPECT_EQ(a.m_children[1]->m_pParent, &a);

    // Tokens without exactly one '>' close like an end tag; missing end tags
    // simply end with the text.
    const XmlDocument damaged = Parse("<a><b><x>>y<c><d>");
    EXPECT_EQ(ChildNames(*damaged[0]), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(ChildNames(*damaged[0]->m_children[1]), (std::vector<std::string>{"d"}));
}

TEST(XmlParser, MarkupOutsideTheSubsetBecomesElements) {
    const XmlDocument document = Parse("<?xml version=\"1.0\"?><a/>");
    const STXmlNode& declaration = *document[0];
    EXPECT_EQ(declaration.m_strName, "?xml");
    EXPECT_EQ(declaration.m_attributes.at("version"), "1.0");
    EXPECT_EQ(ChildNames(declaration), (std::vector<std::string>{"a/"}));
}

TEST(XmlParser, TrimsTextButKeepsInnerSpaceAndEntities) {
    const XmlDocument document = Parse("<a>\r\n\t  x &lt; y\t&amp; z \n</a>");
    EXPECT_EQ(document[0]->m_strText, "x < y\t& z");
    const XmlDocument bytes = Parse("<a>\n\t\0\n<b>\n\t\x08\n</b></a>"s);
    EXPECT_EQ(bytes[0]->m_strText, "\0"s);
    EXPECT_EQ(bytes[0]->m_children[0]->m_strText, "\x08");
}

TEST(XmlParser, HandlesAMillionNestedElements) {
    constexpr int kDepth = 1'000'000;
    std::string text;
    text.reserve(kDepth * 7);
    for (int i = 0; i < kDepth; ++i) {
        text += "<e>";
    }
    XmlDocument document = Parse(text);
    const STXmlNode* node = document[0].get();
    int depth = 1;
    while (!node->m_children.empty()) {
        node = node->m_children[0].get();
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
    ClearNode(*document[0]);
    EXPECT_TRUE(document[0]->m_children.empty());
    document = Parse(text);
    document = Parse("<a>");  // the deep tree is released on reassignment
    EXPECT_EQ(document[0]->m_strName, "a");
}

class TextFileTest : public TempFolder {};

TEST_F(TextFileTest, CrLfInTheFileIsLfInMemory) {
    const std::string path = PathOf("doc.xml");
    ASSERT_TRUE(WriteTextFile(path, "a\nb\r\n\0c\n"s));
    EXPECT_EQ(ReadBytes("doc.xml"), "a\r\nb\r\r\n\0c\r\n"s);
    std::string text;
    ASSERT_TRUE(ReadTextFile(path, text));
    EXPECT_EQ(text, "a\nb\r\n\0c\n"s);
    for (const auto& [raw, collapsed] : {std::pair{"\r\n\r\n"s, "\n\n"s},
                                         {"\r"s, "\r"s},
                                         {"x\r\r\n\n\r"s, "x\r\n\n\r"s},
                                         {""s, ""s}}) {
        std::string copy = raw;
        CollapseCrLf(copy);
        EXPECT_EQ(copy, collapsed);
    }
    EXPECT_FALSE(ReadTextFile(PathOf("missing"), text));
    EXPECT_FALSE(ReadTextFile(m_root.string(), text));
}

TEST_F(TextFileTest, LoadDocumentFailsOnlyOnUnreadableFiles) {
    XmlDocument document;
    WriteBytes("empty.xml", "");
    EXPECT_TRUE(LoadDocument(PathOf("empty.xml"), document));
    WriteBytes("plain.txt", "no markup at all");
    EXPECT_TRUE(LoadDocument(PathOf("plain.txt"), document));
    EXPECT_TRUE(document.empty());
    EXPECT_FALSE(LoadDocument(PathOf("missing.xml"), document));
    EXPECT_FALSE(SaveDocument(PathOf("missing/doc.xml"), document));
}
