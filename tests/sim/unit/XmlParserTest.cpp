#include "xml/XmlParser.h"

#include <gtest/gtest.h>

using namespace sapsim;

namespace {

XmlDocument parse(const std::string& text, size_t maxDepth = 64)
{
    XmlParser::Limits limits;
    limits.maxDepth = maxDepth;
    return XmlParser::parse(text, limits);
}

} // namespace

TEST(XmlParser, ResolvesNamespacesByScope)
{
    const XmlDocument doc = parse("<a:root xmlns:a=\"urn:a\" xmlns=\"urn:default\">"
                                  "<child/><a:x xmlns:a=\"urn:rebound\"><inner xmlns=\"\"/></a:x><a:y/></a:root>");
    const XmlElement* root = doc.root();
    EXPECT_TRUE(root->is("urn:a", "root"));
    ASSERT_EQ(3u, root->children.size());
    EXPECT_TRUE(root->children[0]->is("urn:default", "child")) << "the default namespace applies to unprefixed elements";
    EXPECT_TRUE(root->children[1]->is("urn:rebound", "x"));
    EXPECT_TRUE(root->children[1]->children[0]->is("", "inner")) << "xmlns=\"\" undeclares the default";
    EXPECT_TRUE(root->children[2]->is("urn:a", "y")) << "the rebinding ended with its element";
}

TEST(XmlParser, DecodesTextAsWritten)
{
    const XmlDocument doc = parse("<?xml version=\"1.0\"?><!-- c --><r a='1 &amp;\t2'>x &lt;&gt;&amp;&apos;&quot; &#x263A;&#65;"
                                  "<![CDATA[<raw> & ]]>\r\nend<?pi data?></r>");
    EXPECT_EQ("x <>&'\" \u263A" "A<raw> & \nend", doc.root()->text);
    EXPECT_EQ("1 & 2", doc.root()->attributes.at(0).value) << "attribute white space becomes blanks";
}

TEST(XmlParser, ReadsDeclaredAndMarkedEncodings)
{
    EXPECT_EQ("K\xC3\xA4se", parse("<?xml version='1.0' encoding='iso-8859-1'?><r>K\xE4se</r>").root()->text);
    EXPECT_EQ("ok", parse("\xEF\xBB\xBF<r>ok</r>").root()->text);
    EXPECT_EQ("\xC3\xA4", parse(std::string("\xFE\xFF\0<\0r\0>\0\xE4\0<\0/\0r\0>", 18)).root()->text);
}

TEST(XmlParser, RefusesWhatARequestMustNotContain)
{
    const std::string cases[] = {
        "<!DOCTYPE r [<!ENTITY e \"x\">]><r>&e;</r>",
        "<r><!ENTITY e \"x\"></r>",
        "<r>&e;</r>",
        "<r>&#0;</r>",
        "<r>&#x110000;</r>",
        "<r>&#xD800;</r>",
        "<r>\x01</r>",
        "<r>\xC3\x28</r>",
        "<r>\xED\xA0\x80</r>",
        "<p:r/>",
        "<r a='1' a='2'/>",
        "<r a=1/>",
        "<r a='<'/>",
        "<r></s>",
        "<r>",
        "<r/><r/>",
        "<r/>text",
        "text",
        "",
        "<r><!-- open</r>",
        "<r xmlns:p=''/>",
        "<?xml version='1.0' encoding='ebcdic'?><r/>",
        "<r/ >",
        "<:r/>",
    };
    for (const std::string& c : cases)
        EXPECT_THROW(parse(c), XmlError) << c;
}

TEST(XmlParser, LimitsNestingWithoutRecursion)
{
    std::string nested;
    for (int i = 0; i < 10; ++i)
        nested += "<e>";
    for (int i = 0; i < 10; ++i)
        nested += "</e>";
    EXPECT_NO_THROW(parse(nested, 10));
    EXPECT_THROW(parse(nested, 9), XmlError);

    std::string hostile;
    for (int i = 0; i < 1000000; ++i)
        hostile += "<e>";
    EXPECT_THROW(parse(hostile), XmlError);
}
