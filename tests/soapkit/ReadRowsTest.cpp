// ReadRows, the table read in one call, against what the per-node calls read from the same
// document: every row, every column, through FindNode and GetValue or GetTypedValue.
#include "SoapKitTest.h"
#include "com/SafeArray.h"

#include <cstring>
#include <utility>
#include <vector>

using namespace test;

namespace {

using Columns = std::vector<std::pair<std::wstring, std::wstring>>; // name, XML Schema type

com::variant TextArray(const std::vector<std::wstring>& texts)
{
    com::safearray array(SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size())));
    {
        com::array_data<BSTR> data(array.get());
        for (size_t i = 0; i < texts.size(); ++i)
            data.data()[i] = com::bstr(texts[i]).detach();
    }
    com::variant v;
    V_VT(v.put()) = VT_ARRAY | VT_BSTR;
    V_ARRAY(v.addr()) = array.detach();
    return v;
}

struct Outcome {
    HRESULT hr = E_FAIL;
    std::vector<com::variant> values; // row by row
};

Outcome ReadRows(ISoapNodes* rows, const Columns& columns)
{
    std::vector<std::wstring> names, types;
    for (const auto& [name, type] : columns) {
        names.push_back(name);
        types.push_back(type);
    }
    Outcome out;
    com::variant values;
    out.hr = rows->ReadRows(TextArray(names).get(), TextArray(types).get(), values.put());
    if (FAILED(out.hr))
        return out;
    EXPECT_EQ(values.vt(), VT_ARRAY | VT_VARIANT);
    com::array_data<VARIANT> data(V_ARRAY(values.addr()));
    for (const VARIANT& v : data.span())
        out.values.emplace_back(v);
    return out;
}

// The same through one call per row and field.
Outcome ReadNodeByNode(ISoapNodes* rows, const Columns& columns)
{
    Outcome out;
    out.hr = S_OK;
    for (long r = 0; r < Count(rows); ++r) {
        auto fields = Children(At(rows, r).get());
        for (const auto& [name, type] : columns) {
            com::ptr<ISoapNode> node = Find(fields.get(), name);
            com::variant value;
            if (!node) {
                V_VT(value.put()) = VT_ERROR;
                V_ERROR(value.addr()) = DISP_E_PARAMNOTFOUND;
            } else if (type.empty()) {
                EXPECT_EQ(node->GetValue(value.put()), S_OK);
            } else {
                const HRESULT hr = node->GetTypedValue(com::bstr(L"http://www.w3.org/2001/XMLSchema").get(),
                                                       com::bstr(type).get(), value.put());
                if (FAILED(hr)) {
                    out.hr = hr;
                    out.values.clear();
                    return out;
                }
            }
            out.values.push_back(std::move(value));
        }
    }
    return out;
}

bool Same(const com::variant& a, const com::variant& b)
{
    if (a.vt() != b.vt())
        return false;
    switch (a.vt()) {
    case VT_EMPTY:
    case VT_NULL:
        return true;
    case VT_BSTR:
        return com::view(V_BSTR(a.addr())) == com::view(V_BSTR(b.addr()));
    case VT_ARRAY | VT_UI1:
        return BytesOf(a) == BytesOf(b);
    case VT_DECIMAL:
        return std::memcmp(&V_DECIMAL(a.addr()), &V_DECIMAL(b.addr()), sizeof(DECIMAL)) == 0;
    default:
        // Every other value kind lives in the variant's eight data bytes.
        return std::memcmp(&V_I8(a.addr()), &V_I8(b.addr()), 8) == 0;
    }
}

void ExpectSameAsNodeByNode(ISoapNodes* rows, const Columns& columns)
{
    const Outcome fast = ReadRows(rows, columns), slow = ReadNodeByNode(rows, columns);
    ASSERT_EQ(fast.hr, slow.hr);
    ASSERT_EQ(fast.values.size(), slow.values.size());
    for (size_t i = 0; i < fast.values.size(); ++i)
        EXPECT_TRUE(Same(fast.values[i], slow.values[i]))
            << "row " << i / columns.size() << ", column " << i % columns.size() << ": variant type "
            << fast.values[i].vt() << " against " << slow.values[i].vt();
}

com::ptr<ISoapNodes> TableRows(const std::string& items)
{
    auto envelope = Read(ResponseXml("<rfc:R xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\"><T>" + items +
                                     "</T></rfc:R>"));
    return Children(Find(Body(envelope.get()).get(), L"T").get());
}

const Columns kAllKinds = {{L"C", L""},        {L"N", L"long"},   {L"S", L"short"},  {L"B", L"unsignedByte"},
                           {L"F", L"double"},  {L"D", L"date"},   {L"X", L"base64Binary"}, {L"P", L""},
                           {L"Z", L"string"},  {L"M", L"decimal"}, {L"Q", L"boolean"}, {L"T", L"time"}};

} // namespace

TEST(ReadRows, ReadsEveryKindOfColumnAsTheNodesDo)
{
    std::string items;
    for (int i = 0; i < 50; ++i) {
        const std::string n = std::to_string(i);
        items += "<item><C>row " + n + "</C><N>-" + n + "000</N><S>" + n + "</S><B>" + std::to_string(i * 5) +
                 "</B><F>" + n + ".5e1</F><D>2001-02-" + std::to_string(10 + i % 18) + "</D><X>QUJD</X><P>x&amp;y" + n +
                 "</P><Z> spaced </Z><M>12." + n + "</M><Q>" + (i % 2 ? "true" : "0") + "</Q><T>12:34:" +
                 std::to_string(10 + i) + "</T></item>";
    }
    ExpectSameAsNodeByNode(TableRows(items).get(), kAllKinds);
}

TEST(ReadRows, MissingReorderedRepeatedAndExtraColumnsAreFoundAsTheNodesFindThem)
{
    const std::string items =
        "<item><A>1</A><B>2</B><C>3</C></item>"
        "<item><C>3</C><B>2</B><A>1</A></item>"           // another order
        "<item><B>only B</B></item>"                       // missing columns
        "<item/>"                                          // no columns at all
        "<item><A>first</A><A>second</A><X>extra</X><B>b</B><C/></item>" // repeated, extra and empty
        "<item>text<A>a</A>between<B>b</B></item>";        // text beside the columns
    const Columns columns = {{L"A", L""}, {L"B", L""}, {L"C", L""}};
    ExpectSameAsNodeByNode(TableRows(items).get(), columns);
    ExpectSameAsNodeByNode(TableRows(items).get(), {{L"C", L""}, {L"A", L""}});
    ExpectSameAsNodeByNode(TableRows(items).get(), {{L"A", L""}, {L"A", L"string"}, {L"NONE", L""}, {L"A", L""}});
}

TEST(ReadRows, QualifiedElementsAreNotColumnsWhateverTheirPrefix)
{
    const std::string items =
        "<item xmlns:o=\"urn:other\"><o:A>qualified</o:A><A>plain</A></item>"
        "<item><A xmlns=\"urn:default\">defaulted</A><A>plain</A></item>"
        "<item xmlns=\"urn:row\"><A>in the row's namespace</A><A xmlns=\"\">undeclared again</A></item>"
        "<item xmlns=\"urn:row\"><A>only qualified</A></item>"
        "<item xmlns:e=\"\"><A>plain</A></item>";
    ExpectSameAsNodeByNode(TableRows(items).get(), {{L"A", L""}});
    auto envelope = Read(ResponseXml("<rfc:R xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\" xmlns=\"urn:outer\">"
                                     "<T xmlns=\"\"><item><A>plain</A></item></T>"
                                     "<U><item xmlns=\"\"><A>plain</A></item><item><A>qualified</A></item></U></rfc:R>"));
    auto body = Body(envelope.get());
    ExpectSameAsNodeByNode(Children(Find(body.get(), L"T").get()).get(), {{L"A", L""}});
    ExpectSameAsNodeByNode(Children(Find(body.get(), L"U", L"urn:outer").get()).get(), {{L"A", L""}});
}

TEST(ReadRows, NilEmptyCdataEntitiesAndNonAsciiTextReadAsTheNodesReadThem)
{
    const std::string items =
        "<item xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><C xsi:nil=\"true\"/><N xsi:nil=\"1\"/>"
        "<D xsi:nil=\"false\">2020-01-01</D><P>Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x98\x80</P></item>"
        "<item><C></C><N/><S>  7  </S><F> </F><D>0000-00-00</D><X></X><P><![CDATA[<not markup>]]></P>"
        "<Z>a<![CDATA[b]]>c</Z></item>"
        "<item><C>&lt;&gt;&amp;&quot;&apos;&#65;&#x20AC;</C><P>line\nbreak\ttab</P><Z>\xC3\xA4</Z><T>1:2:3</T></item>"
        "<item><C>a<!-- comment -->b</C><P>x<?pi?>y</P></item>";
    ExpectSameAsNodeByNode(TableRows(items).get(), kAllKinds);
}

TEST(ReadRows, AValueThatDoesNotDecodeFailsTheWholeReadAsTheNodeDoes)
{
    for (const char* bad : {"<N>12x</N>", "<N>99999999999999999999</N>", "<S>40000</S>", "<B>-1</B>", "<F>1,5</F>",
                            "<D>2001-02-30</D>", "<X>not base64!</X>", "<M>one</M>", "<Q>yes</Q>", "<T>25:00:00</T>"}) {
        SCOPED_TRACE(bad);
        ExpectSameAsNodeByNode(TableRows(std::string("<item><N>1</N></item><item>") + bad + "</item>").get(), kAllKinds);
    }
    ExpectSameAsNodeByNode(TableRows("<item><N>1</N></item>").get(), {{L"N", L"no-such-type"}});
    ExpectSameAsNodeByNode(TableRows("<item><N>1</N></item>").get(), {{L"NONE", L"no-such-type"}});
}

TEST(ReadRows, AnEmptyTableGivesNoValues)
{
    for (const char* items : {"", "   ", "text only"}) {
        const Outcome out = ReadRows(TableRows(items).get(), kAllKinds);
        EXPECT_EQ(out.hr, S_OK);
        EXPECT_TRUE(out.values.empty());
    }
}

TEST(ReadRows, ColumnArgumentsMustBeTextArraysOfOneLength)
{
    auto rows = TableRows("<item><A>1</A></item>");
    com::variant values;
    EXPECT_EQ(rows->ReadRows(TextArray({L"A", L"B"}).get(), TextArray({L""}).get(), values.put()), E_INVALIDARG);
    EXPECT_EQ(rows->ReadRows(com::variant(L"A").get(), TextArray({L""}).get(), values.put()), E_INVALIDARG);
    EXPECT_EQ(rows->ReadRows(TextArray({L"A"}).get(), TextArray({L""}).get(), nullptr), E_POINTER);
    EXPECT_EQ(rows->ReadRows(TextArray({}).get(), TextArray({}).get(), values.put()), S_OK);
}

TEST(ReadRows, AShapeLargerThanAnArrayCanHoldIsRefused)
{
    // 65,536 rows of 65,537 columns: the cell count passes 32 bits.
    std::string items;
    for (int i = 0; i < 65536; ++i)
        items += "<item/>";
    std::vector<std::wstring> names(65537, L"A"), types(65537, L"");
    com::variant values;
    EXPECT_EQ(TableRows(items)->ReadRows(TextArray(names).get(), TextArray(types).get(), values.put()), E_INVALIDARG);
    EXPECT_EQ(values.vt(), VT_EMPTY);
}
