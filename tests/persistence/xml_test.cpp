#include <gtest/gtest.h>

#include "persistence/xml_parser.h"

TEST(XmlParser, ReadsWhatItWrites) {
    XmlDocument document;
    CXmlParser().ParseDocument("<a k = \"v\">\n\t1\n</a>\n", document);
    ASSERT_EQ(document.size(), 1u);
    EXPECT_EQ(CXmlParser().WriteDocument(document), "<a k = \"v\">\n\t1\n</a>\n");
}
