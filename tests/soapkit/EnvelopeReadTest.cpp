// Reading a response: namespaces by URI, positional and named access, faults, and the ways a
// response fails to be one.
#include "SoapKitTest.h"
#include "com/SafeArray.h"

using namespace test;
using soapkit::result::Fault;
using soapkit::result::ParseError;

namespace {

const std::string kEcho = ResponseXml("<rfc:STFC_CONNECTIONResponse xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\">"
                                      "<ECHOTEXT>Hello</ECHOTEXT><RESPTEXT>SAP R/3 &amp; more</RESPTEXT>"
                                      "</rfc:STFC_CONNECTIONResponse>");

HRESULT ReadBytes(ISoapEnvelope* envelope, const std::string& bytes, const wchar_t* charset)
{
    return envelope->ReadResponse(Bytes(bytes).get(), com::bstr(charset).get());
}

} // namespace

TEST(EnvelopeRead, BodyNodesAreTheChildrenOfTheResponseElement)
{
    auto envelope = Read(kEcho);
    auto body = Body(envelope.get());
    EXPECT_EQ(Count(body.get()), 2);
    EXPECT_EQ(Value(At(body.get(), 0).get()), L"Hello");
    EXPECT_EQ(Value(Find(body.get(), L"RESPTEXT").get()), L"SAP R/3 & more");
    com::bstr name;
    At(body.get(), 1)->get_Name(name.put());
    EXPECT_EQ(name.str(), L"RESPTEXT");
}

TEST(EnvelopeRead, NamespacesAreMatchedByUriWhateverThePrefix)
{
    const std::string variants[] = {
        kEcho,
        "<e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/envelope/\"><e:Body>"
        "<x:R xmlns:x=\"urn:sap-com:document:sap:rfc:functions\"><ECHOTEXT>Hello</ECHOTEXT></x:R></e:Body></e:Envelope>",
        "<Envelope xmlns=\"http://schemas.xmlsoap.org/soap/envelope/\"><Body>"
        "<R xmlns=\"urn:sap-com:document:sap:rfc:functions\"><ECHOTEXT xmlns=\"\">Hello</ECHOTEXT></R></Body></Envelope>",
    };
    for (const std::string& xml : variants) {
        SCOPED_TRACE(xml);
        auto body = Body(Read(xml).get());
        EXPECT_EQ(Value(Find(body.get(), L"ECHOTEXT").get()), L"Hello");
    }
}

TEST(EnvelopeRead, EmptyNamespaceFindsOnlyUnqualifiedElements)
{
    auto envelope = Read(ResponseXml("<r:R xmlns:r=\"urn:r\" xmlns:o=\"urn:other\">"
                                     "<o:A>qualified</o:A><A>plain</A><r:B>in r</r:B></r:R>"));
    auto body = Body(envelope.get());
    EXPECT_EQ(Value(Find(body.get(), L"A").get()), L"plain");
    EXPECT_EQ(Value(Find(body.get(), L"A", L"urn:other").get()), L"qualified");
    EXPECT_EQ(Value(Find(body.get(), L"B", L"urn:r").get()), L"in r");
    EXPECT_FALSE(Find(body.get(), L"B")) << "a qualified element is not found under the empty namespace";
}

TEST(EnvelopeRead, AbsentElementIsAnEmptyResultNotAFailure)
{
    auto body = Body(Read(kEcho).get());
    com::ptr<ISoapNode> node;
    EXPECT_EQ(body->FindNode(com::bstr(L"MISSING").get(), com::bstr(L"").get(), node.put()), S_OK);
    EXPECT_FALSE(node);
}

TEST(EnvelopeRead, TableRowsArePositionalWhateverTheirNames)
{
    auto envelope = Read(ResponseXml("<r:R xmlns:r=\"urn:r\"><T><item><F>1</F></item><row><F>2</F></row>"
                                     "<x><G>g</G><F>3</F></x></T></r:R>"));
    auto rows = Children(Find(Body(envelope.get()).get(), L"T").get());
    ASSERT_EQ(Count(rows.get()), 3);
    for (long i = 0; i < 3; ++i)
        EXPECT_EQ(Value(Find(Children(At(rows.get(), i).get()).get(), L"F").get()), std::to_wstring(i + 1));
    com::ptr<ISoapNode> none;
    EXPECT_EQ(rows->NodeAt(3, none.put()), E_INVALIDARG);
    EXPECT_EQ(rows->NodeAt(-1, none.put()), E_INVALIDARG);
}

TEST(EnvelopeRead, TextCdataEntitiesAndNilAreReadAsContent)
{
    auto envelope = Read(ResponseXml("<r:R xmlns:r=\"urn:r\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
                                     "<A><![CDATA[a<b]]> &amp; &#228;&#x20AC;</A><N xsi:nil=\"true\"/><E/></r:R>"));
    auto body = Body(envelope.get());
    EXPECT_EQ(Value(Find(body.get(), L"A").get()), L"a<b & \u00e4\u20ac");
    com::variant nil;
    Find(body.get(), L"N")->GetValue(nil.put());
    EXPECT_EQ(nil.vt(), VT_NULL);
    EXPECT_EQ(Value(Find(body.get(), L"E").get()), L"");
}

TEST(EnvelopeRead, FaultFailsAfterParsingSoTheDetailCanBeRead)
{
    auto envelope = NewEnvelope();
    const std::string fault = ResponseXml(
        "<SOAP-ENV:Fault><faultcode>SOAP-ENV:Server</faultcode><faultstring>Function module raised NOT_FOUND</faultstring>"
        "<detail><rfc:Z_FIND.Exception xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\"><Name>NOT_FOUND</Name>"
        "<Text>not there</Text></rfc:Z_FIND.Exception></detail></SOAP-ENV:Fault>");
    EXPECT_EQ(ReadBytes(envelope.get(), fault, L"utf-8"), Fault);
    EXPECT_NE(ThreadErrorDescription().find(L"Function module raised NOT_FOUND"), std::wstring::npos);

    auto detail = Find(Body(envelope.get()).get(), L"detail");
    auto exception = Find(Children(detail.get()).get(), L"Z_FIND.Exception", kRfcNamespace);
    EXPECT_EQ(Value(Find(Children(exception.get()).get(), L"Name").get()), L"NOT_FOUND");
    EXPECT_EQ(Value(Find(Body(envelope.get()).get(), L"faultstring").get()), L"Function module raised NOT_FOUND");
}

TEST(EnvelopeRead, FaultWithAnErrorElementCarriesTypeAndMessage)
{
    auto envelope = NewEnvelope();
    const std::string fault = ResponseXml(
        "<SOAP-ENV:Fault><faultcode>SOAP-ENV:Client</faultcode><faultstring>Error</faultstring><detail>"
        "<rfc:Error xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\"><type> FUNCTION_NOT_FOUND </type>"
        "<message>Z_NONE not found</message></rfc:Error></detail></SOAP-ENV:Fault>");
    ASSERT_EQ(ReadBytes(envelope.get(), fault, L"utf-8"), Fault);
    auto error = Find(Children(Find(Body(envelope.get()).get(), L"detail").get()).get(), L"Error", kRfcNamespace);
    EXPECT_EQ(Value(Find(Children(error.get()).get(), L"type").get()), L" FUNCTION_NOT_FOUND ");
    EXPECT_EQ(Value(Find(Children(error.get()).get(), L"message").get()), L"Z_NONE not found");
}

TEST(EnvelopeRead, WhatIsNotASoapEnvelopeIsAParseErrorWithADescription)
{
    const std::string broken[] = {
        "",
        "plain text",
        "<html><body>Service unavailable</body></html>",
        "<a><b></a>",
        ResponseXml("<r:R xmlns:r=\"urn:r\"><A>unclosed</r:R>"),
        ResponseXml("<undeclared:R/>"),
        "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Header/></soap:Envelope>",
        "<!DOCTYPE x [<!ENTITY e \"boom\">]>" + ResponseXml("<R>&e;</R>"),
    };
    for (const std::string& xml : broken) {
        SCOPED_TRACE(xml);
        auto envelope = NewEnvelope();
        EXPECT_EQ(ReadBytes(envelope.get(), xml, L"utf-8"), ParseError);
        EXPECT_FALSE(ThreadErrorDescription().empty());
    }
}

TEST(EnvelopeRead, ResponseLargerThanTheLimitIsAParseError)
{
    auto envelope = NewEnvelope();
    ASSERT_EQ(envelope->put_MaxDocumentSize(static_cast<long>(kEcho.size() - 1)), S_OK);
    EXPECT_EQ(ReadBytes(envelope.get(), kEcho, L"utf-8"), ParseError);
    ASSERT_EQ(envelope->put_MaxDocumentSize(static_cast<long>(kEcho.size())), S_OK);
    EXPECT_EQ(ReadBytes(envelope.get(), kEcho, L"utf-8"), S_OK);
    EXPECT_EQ(envelope->put_MaxDocumentSize(0), E_INVALIDARG);
}

TEST(EnvelopeRead, NestingBeyondTheBoundIsAParseErrorNotACrash)
{
    for (const int depth : {200, 200000}) {
        std::string deep;
        for (int i = 0; i < depth; ++i)
            deep += "<a>";
        for (int i = 0; i < depth; ++i)
            deep += "</a>";
        auto envelope = NewEnvelope();
        EXPECT_EQ(ReadBytes(envelope.get(), ResponseXml("<r:R xmlns:r=\"urn:r\">" + deep + "</r:R>"), L"utf-8"), ParseError)
            << depth;
    }
}

TEST(EnvelopeRead, NestingUpToTheBoundIsRead)
{
    auto envelope = NewEnvelope();
    ASSERT_EQ(envelope->put_MaxDepth(10), S_OK);
    // Envelope, Body, R, then seven levels: exactly ten.
    const std::string xml = ResponseXml("<r:R xmlns:r=\"urn:r\"><a><a><a><a><a><a><b>x</b></a></a></a></a></a></a></r:R>");
    EXPECT_EQ(ReadBytes(envelope.get(), xml, L"utf-8"), S_OK);
    ASSERT_EQ(envelope->put_MaxDepth(9), S_OK);
    EXPECT_EQ(ReadBytes(envelope.get(), xml, L"utf-8"), ParseError);
    EXPECT_EQ(envelope->put_MaxDepth(100000), E_INVALIDARG);
}

TEST(EnvelopeRead, CharacterSetNamesHowTheBytesAreDecoded)
{
    auto envelope = NewEnvelope();
    ASSERT_EQ(ReadBytes(envelope.get(), ResponseXml("<R><T>Gr\xFC\xDF</T></R>"), L"ISO-8859-1"), S_OK);
    EXPECT_EQ(Value(Find(Body(envelope.get()).get(), L"T").get()), L"Gr\u00fc\u00df");

    ASSERT_EQ(ReadBytes(envelope.get(), "\xEF\xBB\xBF" + ResponseXml("<R><T>Gr\xC3\xBC\xC3\x9F</T></R>"), L"utf-8"), S_OK);
    EXPECT_EQ(Value(Find(Body(envelope.get()).get(), L"T").get()), L"Gr\u00fc\u00df");

    std::string utf16 = "\xFF\xFE";
    for (char c : ResponseXml("<R><T>ok</T></R>"))
        utf16 += std::string{c, '\0'};
    ASSERT_EQ(ReadBytes(envelope.get(), utf16, L""), S_OK);
    EXPECT_EQ(Value(Find(Body(envelope.get()).get(), L"T").get()), L"ok");

    EXPECT_EQ(ReadBytes(envelope.get(), kEcho, L"x-unknown-set"), ParseError);
}

TEST(EnvelopeRead, NodesKeepTheirDocumentAfterTheEnvelopeReadsAnother)
{
    auto envelope = Read(kEcho);
    auto echo = Find(Body(envelope.get()).get(), L"ECHOTEXT");
    ASSERT_EQ(ReadBytes(envelope.get(), ResponseXml("<R><OTHER>x</OTHER></R>"), L"utf-8"), S_OK);
    EXPECT_EQ(Value(echo.get()), L"Hello");
    EXPECT_TRUE(Find(Body(envelope.get()).get(), L"OTHER"));
}

TEST(EnvelopeRead, ResponseMayAlsoBeGivenAsText)
{
    auto envelope = NewEnvelope();
    com::variant text(std::wstring_view(L"<Envelope xmlns=\"http://schemas.xmlsoap.org/soap/envelope/\"><Body><R xmlns=\"\">"
                                        L"<T>\u00e4</T></R></Body></Envelope>"));
    ASSERT_EQ(envelope->ReadResponse(text.get(), com::bstr(L"utf-8").get()), S_OK);
    EXPECT_EQ(Value(Find(Body(envelope.get()).get(), L"T").get()), L"\u00e4");
    EXPECT_EQ(envelope->ReadResponse(com::variant(5).get(), com::bstr(L"utf-8").get()), E_INVALIDARG);
}

TEST(EnvelopeRead, ResponseByReferenceReadsLikeTheResponseItself)
{
    // A script host passes its variables by reference; the bytes and the text are read the same.
    com::variant bytes = Bytes(kEcho);
    VARIANT arrayRef;
    V_VT(&arrayRef) = VT_BYREF | VT_ARRAY | VT_UI1;
    V_ARRAYREF(&arrayRef) = &V_ARRAY(bytes.addr());
    VARIANT variantRef;
    V_VT(&variantRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&variantRef) = bytes.addr();
    com::variant text(std::wstring_view(L"<Envelope xmlns=\"http://schemas.xmlsoap.org/soap/envelope/\"><Body><R xmlns=\"\">"
                                        L"<ECHOTEXT>Hello</ECHOTEXT></R></Body></Envelope>"));
    VARIANT textRef;
    V_VT(&textRef) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&textRef) = &V_BSTR(text.addr());
    const std::initializer_list<const VARIANT*> responses = {&bytes.get(), &arrayRef, &variantRef, &text.get(), &textRef};
    for (const VARIANT* response : responses) {
        SCOPED_TRACE(V_VT(response));
        auto envelope = NewEnvelope();
        ASSERT_EQ(envelope->ReadResponse(*response, com::bstr(L"utf-8").get()), S_OK);
        EXPECT_EQ(Value(Find(Body(envelope.get()).get(), L"ECHOTEXT").get()), L"Hello");
    }
    EXPECT_EQ(BytesOf(bytes), kEcho) << "the caller's bytes stay as they were";

    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    com::safearray square(SafeArrayCreate(VT_UI1, 2, bounds));
    com::variant twoDimensions;
    V_VT(twoDimensions.addr()) = VT_ARRAY | VT_UI1;
    V_ARRAY(twoDimensions.addr()) = square.detach();
    auto envelope = NewEnvelope();
    EXPECT_EQ(envelope->ReadResponse(twoDimensions.get(), com::bstr(L"utf-8").get()), E_INVALIDARG);
    VARIANT nullArray;
    V_VT(&nullArray) = VT_ARRAY | VT_UI1;
    V_ARRAY(&nullArray) = nullptr;
    EXPECT_EQ(envelope->ReadResponse(nullArray, com::bstr(L"utf-8").get()), E_INVALIDARG);
}

namespace {

// Every element below the response element, depth first: name, namespace and value.
void Describe(ISoapNodes* nodes, std::wstring& out)
{
    for (long i = 0; i < Count(nodes); ++i) {
        auto node = At(nodes, i);
        com::bstr name, ns;
        node->get_Name(name.put());
        node->get_NamespaceUri(ns.put());
        com::variant value;
        EXPECT_EQ(node->GetValue(value.put()), S_OK);
        out += L"<" + name.str() + L" ns='" + ns.str() + L"' " + (value.vt() == VT_NULL ? L"null" : L"'" + TextOf(value) + L"'");
        Describe(Children(node.get()).get(), out);
        out += L">";
    }
}

std::wstring Described(const std::string& xml)
{
    auto envelope = Read(xml);
    std::wstring out;
    Describe(Body(envelope.get()).get(), out);
    return out;
}

// The same document with a CDATA section's opening in a comment before the envelope: no
// element changes, but the document no longer reads with the text kept in its elements.
std::string WithCdataMention(const std::string& xml)
{
    std::string marked = xml;
    marked.insert(marked.find("?>") + 2, "<!-- <![CDATA[ -->");
    return marked;
}

} // namespace

TEST(EnvelopeRead, TextKeptInItsElementReadsAsTextInNodesOfItsOwn)
{
    const std::string bodies[] = {
        "<r:R xmlns:r=\"urn:r\"><T><item><A>1</A><B>two</B><C/><D></D></item><item><A>3</A></item></T></r:R>",
        "<r:R xmlns:r=\"urn:r\">\n  <A> padded </A>\n  <B>&lt;&amp;&gt;&#65;&#x20AC;</B>\n  <C>Gr\xC3\xBC\xC3\x9F</C>\n</r:R>\n",
        "<r:R xmlns:r=\"urn:r\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><A xsi:nil=\"true\"/>"
        "<B t=\"a>b\" u='<'>x > y</B><S><I>in</I>after</S></r:R>",
        "<r:R xmlns:r=\"urn:r\"><A>x<B/>y</A><C>a<!-- c -->b</C><D>p<?pi?>q</D></r:R>",
        "<r:R xmlns:r=\"urn:r\"><A>a<![CDATA[<b>]]>c</A><B><![CDATA[]]></B></r:R>",
    };
    for (const std::string& body : bodies) {
        SCOPED_TRACE(body);
        const std::string xml = ResponseXml(body);
        const std::wstring kept = Described(xml);
        EXPECT_EQ(kept, Described(WithCdataMention(xml)));
        EXPECT_FALSE(kept.empty());
    }
}

TEST(EnvelopeRead, TextKeptInItsElementCanBeReplaced)
{
    auto envelope = Read(ResponseXml("<r:R xmlns:r=\"urn:r\"><A>old</A><B>old</B></r:R>"));
    auto body = Body(envelope.get());
    auto a = Find(body.get(), L"A"), b = Find(body.get(), L"B");
    ASSERT_EQ(a->SetValue(com::variant(L"new").get()), S_OK);
    ASSERT_EQ(b->SetValue(com::variant(L"").get()), S_OK);
    EXPECT_EQ(Value(a.get()), L"new");
    EXPECT_EQ(Value(b.get()), L"");
    EXPECT_EQ(TextOf(Typed(b.get(), L"string")), L"");
}
