// Building a request: the document a server receives for the operations the SOAP session uses.
#include "SoapKitTest.h"

#include <rapidxml/rapidxml.hpp>

#include <vector>

using namespace test;

namespace {

const std::wstring kHead = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                           L"<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>";
const std::wstring kTail = L"</soap:Body></soap:Envelope>";

com::ptr<ISoapEnvelope> Request(std::wstring_view name, std::wstring_view ns = kRfcNamespace)
{
    auto envelope = NewEnvelope();
    EXPECT_EQ(envelope->NameBody(com::bstr(name).get(), com::bstr(ns).get()), S_OK);
    EXPECT_EQ(envelope->SetStyleUri(com::bstr(L"").get()), S_OK);
    return envelope;
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += static_cast<char>(c < 128 ? c : '?');
    return out;
}

} // namespace

TEST(EnvelopeWrite, RequestElementIsInTheCallersNamespaceAndItsChildrenAreUnqualified)
{
    auto envelope = Request(L"STFC_CONNECTION");
    Add(Body(envelope.get()).get(), L"REQUTEXT", com::variant(L"Hello"));

    EXPECT_EQ(Write(envelope.get()),
              kHead + L"<m:STFC_CONNECTION xmlns:m=\"urn:sap-com:document:sap:rfc:functions\">"
                      L"<REQUTEXT>Hello</REQUTEXT></m:STFC_CONNECTION>" + kTail);
}

TEST(EnvelopeWrite, DocumentParsesWithAnIndependentParserIntoTheSameStructure)
{
    auto envelope = Request(L"RFC_PING");
    Add(Body(envelope.get()).get(), L"A", com::variant(L"1"));
    Add(Body(envelope.get()).get(), L"B");
    std::string xml = Narrow(Write(envelope.get()));

    rapidxml::xml_document<> doc;
    doc.parse<0>(xml.data());
    auto* root = doc.first_node();
    ASSERT_TRUE(root);
    EXPECT_STREQ(root->name(), "soap:Envelope");
    auto* request = root->first_node("soap:Body")->first_node();
    ASSERT_TRUE(request);
    EXPECT_STREQ(request->name(), "m:RFC_PING");
    EXPECT_STREQ(request->first_attribute("xmlns:m")->value(), "urn:sap-com:document:sap:rfc:functions");
    std::vector<std::string> names;
    for (auto* child = request->first_node(); child; child = child->next_sibling()) {
        names.push_back(child->name());
        EXPECT_EQ(child->first_attribute(), nullptr) << "no type or namespace attributes on parameters";
    }
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B"}));
}

TEST(EnvelopeWrite, StructuresNestAndTablesHaveOneItemPerRow)
{
    auto envelope = Request(L"STFC_STRUCTURE");
    auto body = Body(envelope.get());
    auto structure = Add(body.get(), L"IMPORTSTRUCT");
    Add(Children(structure.get()).get(), L"RFCFLOAT", com::variant(1.5));
    auto inner = Add(Children(structure.get()).get(), L"INNER");
    Add(Children(inner.get()).get(), L"RFCINT4", com::variant(7));
    auto table = Add(body.get(), L"RFCTABLE");
    for (const wchar_t* text : {L"first", L"second"}) {
        auto item = Add(Children(table.get()).get(), L"item");
        Add(Children(item.get()).get(), L"RFCCHAR4", com::variant(text));
    }
    Add(body.get(), L"EMPTYTABLE");

    EXPECT_EQ(Write(envelope.get()),
              kHead + L"<m:STFC_STRUCTURE xmlns:m=\"urn:sap-com:document:sap:rfc:functions\">"
                      L"<IMPORTSTRUCT><RFCFLOAT>1.5</RFCFLOAT><INNER><RFCINT4>7</RFCINT4></INNER></IMPORTSTRUCT>"
                      L"<RFCTABLE><item><RFCCHAR4>first</RFCCHAR4></item><item><RFCCHAR4>second</RFCCHAR4></item>"
                      L"</RFCTABLE><EMPTYTABLE/></m:STFC_STRUCTURE>" + kTail);
}

TEST(EnvelopeWrite, ValuesSetLaterReplaceTheContent)
{
    auto envelope = Request(L"Z_TEST");
    auto node = Add(Body(envelope.get()).get(), L"TEXT");
    EXPECT_EQ(node->SetValue(com::variant(L"first").get()), S_OK);
    EXPECT_EQ(node->SetValue(com::variant(L"second").get()), S_OK);
    EXPECT_NE(Write(envelope.get()).find(L"<TEXT>second</TEXT>"), std::wstring::npos);
}

TEST(EnvelopeWrite, MarkupCharactersAndNonAsciiTextAreEscapedAndEncoded)
{
    auto envelope = Request(L"Z_TEST");
    Add(Body(envelope.get()).get(), L"TEXT", com::variant(L"a<b & c>\"d\" \u00e4\u20ac"));
    EXPECT_NE(Write(envelope.get()).find(L"<TEXT>a&lt;b &amp; c&gt;\"d\" \u00e4\u20ac</TEXT>"), std::wstring::npos);
}

TEST(EnvelopeWrite, EmptyNamespaceLeavesTheRequestElementUnqualified)
{
    auto envelope = Request(L"PING", L"");
    EXPECT_EQ(Write(envelope.get()), kHead + L"<PING/>" + kTail);
}

TEST(EnvelopeWrite, StyleUriBecomesTheEncodingStyleOfTheRequestElement)
{
    auto envelope = NewEnvelope();
    envelope->NameBody(com::bstr(L"X").get(), com::bstr(L"urn:x").get());
    envelope->SetStyleUri(com::bstr(L"http://schemas.xmlsoap.org/soap/encoding/").get());
    EXPECT_NE(Write(envelope.get()).find(L"<m:X xmlns:m=\"urn:x\" soap:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"/>"),
              std::wstring::npos);
    envelope->SetStyleUri(com::bstr(L"").get());
    EXPECT_EQ(Write(envelope.get()).find(L"encodingStyle"), std::wstring::npos);
}

TEST(EnvelopeWrite, NamedNamespacesPrefixesAndSchemaTypesAreDeclaredWhereUsed)
{
    auto envelope = Request(L"X", L"urn:outer");
    com::ptr<ISoapNode> qualified, typed, plain;
    auto body = Body(envelope.get());
    ASSERT_EQ(body->AddNode(com::bstr(L"Q").get(), com::variant(L"v").get(), com::bstr(L"urn:q").get(),
                            com::bstr(L"").get(), com::bstr(L"").get(), qualified.put()),
              S_OK);
    ASSERT_EQ(Children(qualified.get())->AddNode(com::bstr(L"U").get(), com::variant().get(), com::bstr(L"").get(),
                                                  com::bstr(L"").get(), com::bstr(L"").get(), plain.put()),
              S_OK);
    ASSERT_EQ(body->AddNode(com::bstr(L"N").get(), com::variant(5).get(), com::bstr(L"urn:q").get(),
                            com::bstr(L"q").get(), com::bstr(L"int").get(), typed.put()),
              S_OK);
    const std::wstring xml = Write(envelope.get());
    EXPECT_NE(xml.find(L"<Q xmlns=\"urn:q\">v<U xmlns=\"\"/></Q>"), std::wstring::npos) << Narrow(xml);
    EXPECT_NE(xml.find(L"<q:N xmlns:q=\"urn:q\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                       L"xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xsi:type=\"xsd:int\">5</q:N>"),
              std::wstring::npos)
        << Narrow(xml);
    com::bstr ns;
    EXPECT_EQ(plain->get_NamespaceUri(ns.put()), S_OK);
    EXPECT_EQ(ns.str(), L"");
}

TEST(EnvelopeWrite, NamesThatAreNotXmlNamesAreRefused)
{
    auto envelope = NewEnvelope();
    EXPECT_EQ(envelope->NameBody(com::bstr(L"/BI0/FUNC").get(), com::bstr(kRfcNamespace).get()), E_INVALIDARG);
    EXPECT_NE(ThreadErrorDescription().find(L"/BI0/FUNC"), std::wstring::npos);
    envelope->NameBody(com::bstr(L"OK").get(), com::bstr(kRfcNamespace).get());
    com::ptr<ISoapNode> node;
    for (const wchar_t* bad : {L"", L"1ST", L"A B", L"a<b", L"p:q"})
        EXPECT_EQ(Body(envelope.get())->AddNode(com::bstr(bad).get(), com::variant().get(), nullptr, nullptr, nullptr,
                                                node.put()),
                  E_INVALIDARG)
            << Narrow(bad);
}

TEST(EnvelopeWrite, NameBodyStartsAFreshRequestAndAResponseCannotBeWritten)
{
    auto envelope = Request(L"FIRST");
    Add(Body(envelope.get()).get(), L"OLD");
    envelope->NameBody(com::bstr(L"SECOND").get(), com::bstr(kRfcNamespace).get());
    EXPECT_EQ(Write(envelope.get()).find(L"OLD"), std::wstring::npos);

    HRESULT hr = S_OK;
    auto response = Read(ResponseXml("<r:R xmlns:r=\"urn:r\"/>"), &hr);
    ASSERT_EQ(hr, S_OK);
    com::bstr text;
    EXPECT_EQ(response->WriteRequest(text.put()), soapkit::result::WrongOrder);
}
