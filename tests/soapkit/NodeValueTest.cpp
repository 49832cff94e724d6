// Values both ways: the text SetValue writes for each kind of automation value, and what
// GetTypedValue makes of element content for the XML Schema types the session asks for.
#include "SoapKitTest.h"

#include <cmath>
#include <limits>

using namespace test;

namespace {

// A fresh element to write into and read back from.
com::ptr<ISoapNode> Element()
{
    static com::ptr<ISoapEnvelope> envelope = [] {
        auto e = NewEnvelope();
        e->NameBody(com::bstr(L"VALUES").get(), com::bstr(kRfcNamespace).get());
        return e;
    }();
    return Add(Body(envelope.get()).get(), L"V");
}

std::wstring Written(const com::variant& value)
{
    auto node = Element();
    EXPECT_EQ(node->SetValue(value.get()), S_OK);
    return Value(node.get());
}

com::ptr<ISoapNode> WithText(std::wstring_view text) { return Add(Body(NewEnvelope().get()).get(), L"V", com::variant(text)); }

com::variant TypedFrom(std::wstring_view text, std::wstring_view type, HRESULT* hr = nullptr)
{
    return Typed(WithText(text).get(), type, hr);
}

HRESULT TypedFailure(std::wstring_view text, std::wstring_view type)
{
    HRESULT hr = S_OK;
    TypedFrom(text, type, &hr);
    return hr;
}

com::variant Int64(LONGLONG value)
{
    com::variant v;
    V_VT(v.addr()) = VT_I8;
    V_I8(v.addr()) = value;
    return v;
}

DATE DateOf(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0)
{
    SYSTEMTIME st{year, month, 0, day, hour, minute, second, 0};
    DATE date = 0;
    EXPECT_TRUE(SystemTimeToVariantTime(&st, &date));
    return date;
}

com::variant DateValue(DATE date)
{
    com::variant v;
    V_VT(v.addr()) = VT_DATE;
    V_DATE(v.addr()) = date;
    return v;
}

} // namespace

TEST(NodeValue, DoublesAreWrittenInInvariantFormThatReadsBackExactly)
{
    EXPECT_EQ(Written(com::variant(1.5)), L"1.5");
    EXPECT_EQ(Written(com::variant(-0.1)), L"-0.1");
    EXPECT_EQ(Written(com::variant(1e20)), L"1e+20");
    EXPECT_EQ(Written(com::variant(std::numeric_limits<double>::infinity())), L"INF");
    for (const double d : {0.1, 1.0 / 3.0, 123456.789, -2.5e-300, 4503599627370497.0}) {
        auto node = Element();
        node->SetValue(com::variant(d).get());
        const com::variant back = Typed(node.get(), L"double");
        ASSERT_EQ(back.vt(), VT_R8);
        EXPECT_EQ(V_R8(back.addr()), d);
    }
}

TEST(NodeValue, TextIsNotAffectedByTheThreadLocale)
{
    const LCID before = GetThreadLocale();
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
    const std::wstring written = Written(com::variant(2.75));
    SetThreadLocale(before);
    EXPECT_EQ(written, L"2.75");
}

TEST(NodeValue, IntegersAreWrittenInFullDecimal)
{
    EXPECT_EQ(Written(Int64(9007199254740993LL)), L"9007199254740993");
    EXPECT_EQ(Written(Int64(std::numeric_limits<LONGLONG>::min())), L"-9223372036854775808");
    EXPECT_EQ(Written(com::variant(-42)), L"-42");
    EXPECT_EQ(Written(com::variant(static_cast<short>(7))), L"7");
}

TEST(NodeValue, OtherValuesHaveTheirSchemaForms)
{
    EXPECT_EQ(Written(com::variant(true)), L"true");
    EXPECT_EQ(Written(DateValue(DateOf(2018, 7, 19))), L"2018-07-19");
    EXPECT_EQ(Written(DateValue(DateOf(2018, 7, 19, 13, 30, 5))), L"2018-07-19T13:30:05");
    EXPECT_EQ(Written(com::variant()), L"");
    EXPECT_EQ(Written(com::variant::null()), L"");
    com::variant currency;
    V_VT(currency.addr()) = VT_CY;
    V_CY(currency.addr()).int64 = 12345; // 1.2345
    EXPECT_EQ(Written(currency), L"1.2345");
}

TEST(NodeValue, ValuesByReferenceAreWrittenAsTheirTarget)
{
    LONGLONG target = 77;
    com::variant reference;
    V_VT(reference.addr()) = VT_I8 | VT_BYREF;
    V_I8REF(reference.addr()) = &target;
    EXPECT_EQ(Written(reference), L"77");
}

TEST(NodeValue, ValuesWithoutATextFormAreRefused)
{
    auto node = Element();
    EXPECT_EQ(node->SetValue(com::variant(static_cast<IUnknown*>(node.get())).get()), DISP_E_TYPEMISMATCH);
    EXPECT_FALSE(ThreadErrorDescription().empty());
}

TEST(NodeValue, ByteArraysAreBase64BothWays)
{
    const std::string bytes("\x00\x01\x02\xFF\xFE\x80", 6);
    EXPECT_EQ(Written(Bytes(bytes)), L"AAEC//6A");
    EXPECT_EQ(Written(Bytes("ab")), L"YWI=");
    EXPECT_EQ(Written(Bytes("")), L"");

    for (const std::string& sample : {bytes, std::string("a"), std::string("ab"), std::string("abc"), std::string()}) {
        auto node = Element();
        node->SetValue(Bytes(sample).get());
        EXPECT_EQ(BytesOf(Typed(node.get(), L"base64Binary")), sample);
    }
    EXPECT_EQ(BytesOf(TypedFrom(L"YW\r\nJj", L"base64Binary")), "abc") << "line breaks inside base64 are allowed";
    EXPECT_EQ(TypedFailure(L"YW=j", L"base64Binary"), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(TypedFailure(L"abc", L"base64Binary"), DISP_E_TYPEMISMATCH);
}

TEST(NodeValue, IntegerTypesHaveTheirVariantTypesAndRanges)
{
    const com::variant l = TypedFrom(L"-9223372036854775808", L"long");
    ASSERT_EQ(l.vt(), VT_I8);
    EXPECT_EQ(V_I8(l.addr()), std::numeric_limits<LONGLONG>::min());
    const com::variant s = TypedFrom(L" +32767 ", L"short");
    ASSERT_EQ(s.vt(), VT_I2);
    EXPECT_EQ(V_I2(s.addr()), 32767);
    const com::variant b = TypedFrom(L"-128", L"byte");
    ASSERT_EQ(b.vt(), VT_I1);
    EXPECT_EQ(V_I1(b.addr()), -128);
    const com::variant i = TypedFrom(L"2147483647", L"int");
    ASSERT_EQ(i.vt(), VT_I4);
    EXPECT_EQ(V_I4(i.addr()), 2147483647);

    EXPECT_EQ(TypedFailure(L"9223372036854775808", L"long"), DISP_E_OVERFLOW);
    EXPECT_EQ(TypedFailure(L"32768", L"short"), DISP_E_OVERFLOW);
    EXPECT_EQ(TypedFailure(L"128", L"byte"), DISP_E_OVERFLOW);
    EXPECT_EQ(TypedFailure(L"12a", L"long"), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(TypedFailure(L"1.5", L"short"), DISP_E_TYPEMISMATCH);
}

TEST(NodeValue, DoublesAreReadWithExponentsAndSpecialValues)
{
    EXPECT_EQ(V_R8(TypedFrom(L"1.5E3", L"double").addr()), 1500.0);
    EXPECT_EQ(V_R8(TypedFrom(L"-INF", L"double").addr()), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(V_R8(TypedFrom(L"NaN", L"double").addr())));
    EXPECT_EQ(TypedFailure(L"1,5", L"double"), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(TypedFailure(L"infinity", L"double"), DISP_E_TYPEMISMATCH);
}

TEST(NodeValue, DatesAreReadAsAutomationDates)
{
    const com::variant d = TypedFrom(L"2018-07-19", L"date");
    ASSERT_EQ(d.vt(), VT_DATE);
    EXPECT_EQ(V_DATE(d.addr()), DateOf(2018, 7, 19));
    EXPECT_EQ(V_DATE(TypedFrom(L"1899-12-29Z", L"date").addr()), DateOf(1899, 12, 29));
    EXPECT_EQ(V_DATE(TypedFrom(L"2000-02-29+02:00", L"date").addr()), DateOf(2000, 2, 29));
    EXPECT_EQ(TypedFrom(L"0000-00-00", L"date").vt(), VT_EMPTY) << "the initial date has no calendar form";
    EXPECT_EQ(TypedFrom(L"", L"date").vt(), VT_EMPTY);
    EXPECT_EQ(TypedFailure(L"2018-02-30", L"date"), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(TypedFailure(L"2018-13-01", L"date"), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(TypedFailure(L"19.07.2018", L"date"), DISP_E_TYPEMISMATCH);

    const com::variant t = TypedFrom(L"13:30:05", L"time");
    EXPECT_DOUBLE_EQ(V_DATE(t.addr()), (13 * 3600 + 30 * 60 + 5) / 86400.0);
    EXPECT_DOUBLE_EQ(V_DATE(TypedFrom(L"2018-07-19T13:30:05", L"dateTime").addr()), DateOf(2018, 7, 19, 13, 30, 5));
}

TEST(NodeValue, DatesWrittenAreReadBackAsTheSameDay)
{
    for (const DATE date : {DateOf(1970, 1, 1), DateOf(2024, 2, 29), DateOf(1850, 6, 15), DateOf(9999, 12, 31)}) {
        auto node = Element();
        node->SetValue(DateValue(date).get());
        EXPECT_EQ(V_DATE(Typed(node.get(), L"date").addr()), date);
    }
}

TEST(NodeValue, OtherSchemaTypesAndUnknownNames)
{
    EXPECT_EQ(V_BOOL(TypedFrom(L"true", L"boolean").addr()), VARIANT_TRUE);
    EXPECT_EQ(V_BOOL(TypedFrom(L"0", L"boolean").addr()), VARIANT_FALSE);
    EXPECT_EQ(TextOf(TypedFrom(L" as is ", L"string")), L" as is ");
    EXPECT_EQ(BytesOf(TypedFrom(L"00ff10", L"hexBinary")), std::string("\x00\xFF\x10", 3));
    EXPECT_EQ(TypedFrom(L"", L"long").vt(), VT_EMPTY);
    EXPECT_EQ(TypedFailure(L"1", L"notAType"), E_INVALIDARG);

    com::variant out;
    EXPECT_EQ(WithText(L"1")->GetTypedValue(com::bstr(L"http://www.w3.org/1999/XMLSchema").get(), com::bstr(L"long").get(),
                                            out.put()),
              E_INVALIDARG)
        << "only the 2001 edition of XML Schema";
}
