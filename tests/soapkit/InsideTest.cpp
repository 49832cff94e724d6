// Inner pieces on their own: base64 against the RFC 4648 vectors, and the nesting scan that
// guards the parser, which must not be fooled by markup that only looks like elements.
#include "soapkit/Base64.h"
#include "soapkit/XmlLimits.h"
#include "soapkit/XmlTree.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Encode(const std::string& s)
{
    return soapkit::base64_encode({reinterpret_cast<const uint8_t*>(s.data()), s.size()});
}

std::string Decode(const std::string& s)
{
    auto bytes = soapkit::base64_decode(s);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<invalid>");
}

} // namespace

TEST(Base64, Rfc4648Vectors)
{
    const std::pair<std::string, std::string> vectors[] = {
        {"", ""},          {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(Encode(plain), encoded);
        EXPECT_EQ(Decode(encoded), plain);
    }
}

TEST(Base64, MalformedTextIsRejected)
{
    for (const char* bad : {"Zg=", "Zg==Zg==", "Z===", "Zm9v!", "Zm=v"})
        EXPECT_FALSE(soapkit::base64_decode(bad).has_value()) << bad;
    EXPECT_EQ(Decode(" Zm9v\r\nYmFy "), "foobar");
}

TEST(NestingScan, CountsElementsNotLookalikes)
{
    EXPECT_EQ(soapkit::nesting_depth("<a><b><c/></b></a>", 100), 3u);
    EXPECT_EQ(soapkit::nesting_depth("<a><b/><b/><b></b></a>", 100), 2u);
    EXPECT_EQ(soapkit::nesting_depth("<?xml version=\"1.0\"?><a><!-- <b><c><d> --><![CDATA[<x><y><z>]]></a>", 100), 1u);
    EXPECT_EQ(soapkit::nesting_depth("<a t=\"x>y\" u='<b>'><c/></a>", 100), 2u);
    EXPECT_EQ(soapkit::nesting_depth("", 100), 0u);
}

TEST(NestingScan, StopsOnceTheBoundIsPassed)
{
    std::string deep;
    for (int i = 0; i < 1000; ++i)
        deep += "<a>";
    EXPECT_EQ(soapkit::nesting_depth(deep, 10), 11u);
    EXPECT_THROW(soapkit::check_limits(deep, {1 << 20, 10}), std::exception);
    EXPECT_NO_THROW(soapkit::check_limits(deep, {1 << 20, 1000}));
}

TEST(TextPieces, OneTextPerElementIsToldFromMoreOrCdata)
{
    using soapkit::has_one_text_per_element;
    EXPECT_TRUE(has_one_text_per_element("<a><b>x</b><c>y</c><d/><e></e></a>"));
    EXPECT_TRUE(has_one_text_per_element("<?xml version=\"1.0\"?>\n<a>\n  <b> x y </b>\n  <c t=\"<>\" u='>'>z</c>\n</a>\n"));
    EXPECT_TRUE(has_one_text_per_element("<a>text before<b/>\n</a>"));
    EXPECT_TRUE(has_one_text_per_element(""));
    EXPECT_FALSE(has_one_text_per_element("<a>x<b/>y</a>"));
    EXPECT_FALSE(has_one_text_per_element("<a><b>x</b>y<c/>z</a>"));
    EXPECT_FALSE(has_one_text_per_element("<a>x<!-- c -->y</a>"));
    EXPECT_FALSE(has_one_text_per_element("<a>x<?pi?>y</a>"));
    EXPECT_FALSE(has_one_text_per_element("<a><![CDATA[x]]></a>"));
    EXPECT_FALSE(has_one_text_per_element("<a><!-- <![CDATA[ --></a>"));
}
