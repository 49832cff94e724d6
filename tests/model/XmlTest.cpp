// The XML form of a call: the printed text, the round trip, and what reading refuses.
#include "ModelTestSupport.h"

using namespace test;

namespace {

std::wstring ToXml(IFunctionCall* call)
{
    com::bstr xml;
    EXPECT_EQ(call->ToXML(xml.put()), S_OK);
    return xml.str();
}

HRESULT FromXml(IFunctionCall* call, const std::wstring& xml) { return call->FromXML(com::bstr(xml).get()); }

com::ptr<IRfcParameters> List(IFunctionCall* call, int list)
{
    com::ptr<IRfcParameters> p;
    switch (list) {
    case 0: call->get_Importing(p.put()); break;
    case 1: call->get_Exporting(p.put()); break;
    case 2: call->get_Changing(p.put()); break;
    default: call->get_Tables(p.put()); break;
    }
    return p;
}

com::ptr<IRfcType> TypeOf(IRfcParameters* list, const wchar_t* name)
{
    com::ptr<IRfcParameter> p;
    EXPECT_EQ(list->get_Item(com::variant(name).get(), p.put()), S_OK) << name;
    com::ptr<IRfcType> t;
    if (p)
        p->get_RfcType(t.put());
    return t;
}

// A descriptor tree as text, for comparing two trees.
std::wstring Describe(IRfcType* t)
{
    if (!t)
        return L"-";
    ABAPTYPE type{};
    short length = 0, decimals = 0;
    long o = 0, l = 0, o1 = 0, l1 = 0;
    t->get_ScalarType(&type);
    t->get_ScalarLength(&length);
    t->get_ScalarDecimals(&decimals);
    t->get_StructOffset(&o);
    t->get_StructLength(&l);
    t->get_structOffsetC1(&o1);
    t->get_structLengthC1(&l1);
    std::wstring s = Name(t) + L":" + std::to_wstring(Kind(t));
    if (Kind(t) == RFCTYPEKIND_SCALAR)
        s += L":" + std::to_wstring(type) + L"/" + std::to_wstring(length) + L"/" + std::to_wstring(decimals) + L"/" +
             std::to_wstring(o) + L"/" + std::to_wstring(l) + L"/" + std::to_wstring(o1) + L"/" + std::to_wstring(l1);
    if (Kind(t) == RFCTYPEKIND_STRUCT) {
        com::ptr<IRfcTypes> c;
        t->get_StructFields(c.put());
        s += L"{";
        for (long i = 1; i <= Count(c.get()); ++i)
            s += Describe(ItemAt<IRfcType>(c.get(), com::variant(i)).second.get()) + L",";
        s += L"}";
    }
    if (Kind(t) == RFCTYPEKIND_TABLE) {
        com::ptr<IRfcType> row;
        t->get_RowType(row.put());
        s += L"[" + Describe(row.get()) + L"]";
    }
    return s;
}

// A call whose types nest structures and tables three levels deep.
com::ptr<IFunctionCall> RichCall()
{
    auto call = NewCall(L"Z_RICH");
    call->put_Documentation(com::bstr(L"a <rich> & \"quoted\" call").get());
    auto date = Scalar(L"D", TYPE_DATE, 8);
    auto amount = Scalar(L"P", TYPE_BCD, 15, 2);
    amount->put_StructOffset(16);
    amount->put_structOffsetC1(8);
    amount->put_StructLength(8);
    amount->put_structLengthC1(8);
    auto leaf = Struct(L"LEAF", {date, amount});
    auto middle = Struct(L"MIDDLE", {Scalar(L"C", TYPE_CHAR, 10), leaf, Table(L"LEAVES", leaf)});
    auto top = Struct(L"TOP", {middle, Table(L"MIDDLES", middle)});

    auto importing = List(call.get(), 0);
    importing->AddScalar(com::bstr(L"I_INT").get(), TYPE_INT, 0, 0, com::variant(5L).get());
    importing->AddParameter(com::bstr(L"I_TOP").get(), top.get());
    com::ptr<IRfcParameter> p;
    importing->get_Item(com::variant(L"I_INT").get(), p.put());
    p->put_Optional(VARIANT_TRUE);
    p->put_DefaultValue(com::bstr(L"42").get());
    p->put_Description(com::bstr(L"an integer").get());
    List(call.get(), 1)->AddParameter(com::bstr(L"E_MIDDLE").get(), middle.get());
    List(call.get(), 2)->AddScalar(com::bstr(L"C_TEXT").get(), TYPE_STRING, 0, 0, com::variant::missing().get());
    List(call.get(), 3)->AddTable(com::bstr(L"T_TOP").get(), top.get());
    return call;
}

} // namespace

TEST(CallXml, TheWrittenFormOfAFixedCall)
{
    auto call = NewCall(L"Z_FIXED");
    call->put_Documentation(com::bstr(L"doc & more").get());
    auto importing = List(call.get(), 0);
    importing->AddScalar(com::bstr(L"I").get(), TYPE_INT, 0, 0, com::variant::missing().get());
    com::ptr<IRfcParameter> i;
    importing->get_Item(com::variant(L"I").get(), i.put());
    i->put_Optional(VARIANT_TRUE);
    auto c = Scalar(L"C", TYPE_CHAR, 3);
    c->put_StructOffset(0);
    c->put_structLengthC1(3);
    List(call.get(), 3)->AddTable(com::bstr(L"T").get(), Struct(L"ROW", {c}).get());
    // A parameter whose type could not be given has no descriptor, hence no type element.
    List(call.get(), 1)->AddParameter(com::bstr(L"E").get(), NewType().get());

    EXPECT_EQ(ToXml(call.get()),
              L"<function name=\"Z_FIXED\" doc=\"doc &amp; more\">\n"
              L"\t<importing name=\"I\" description=\"\" default=\"\" optional=\"X\">\n"
              L"\t\t<type name=\"\" kind=\"scalar\" abaptype=\"8\" length=\"0\" decimals=\"0\"/>\n"
              L"\t</importing>\n"
              L"\t<exporting name=\"E\" description=\"\" default=\"\" optional=\" \"/>\n"
              L"\t<tables name=\"T\" description=\"\" default=\"\" optional=\" \">\n"
              L"\t\t<type name=\"T\" kind=\"table\">\n"
              L"\t\t\t<type name=\"ROW\" kind=\"struct\">\n"
              L"\t\t\t\t<type name=\"C\" kind=\"scalar\" abaptype=\"0\" length=\"3\" decimals=\"0\" structoffset=\"0\" "
              L"structlengthc1=\"3\"/>\n"
              L"\t\t\t</type>\n"
              L"\t\t</type>\n"
              L"\t</tables>\n"
              L"</function>\n\n");
    EXPECT_EQ(ToXml(NewCall().get()), L"<function name=\"\" doc=\"\"/>\n\n");
}

TEST(CallXml, ARoundTripKeepsNamesMetadataAndTypeTrees)
{
    auto original = RichCall();
    auto copy = NewCall();
    ASSERT_EQ(FromXml(copy.get(), ToXml(original.get())), S_OK);

    com::bstr function, documentation;
    copy->get_Function(function.put());
    copy->get_Documentation(documentation.put());
    EXPECT_EQ(function.view(), L"Z_RICH");
    EXPECT_EQ(documentation.view(), L"a <rich> & \"quoted\" call");

    for (int list = 0; list < 4; ++list)
        EXPECT_EQ(Count(List(copy.get(), list).get()), Count(List(original.get(), list).get())) << list;
    EXPECT_EQ(Describe(TypeOf(List(copy.get(), 0).get(), L"I_TOP").get()),
              Describe(TypeOf(List(original.get(), 0).get(), L"I_TOP").get()));
    EXPECT_EQ(Describe(TypeOf(List(copy.get(), 3).get(), L"T_TOP").get()),
              Describe(TypeOf(List(original.get(), 3).get(), L"T_TOP").get()));
    EXPECT_EQ(Describe(TypeOf(List(copy.get(), 1).get(), L"E_MIDDLE").get()),
              Describe(TypeOf(List(original.get(), 1).get(), L"E_MIDDLE").get()));

    com::ptr<IRfcParameter> p;
    List(copy.get(), 0)->get_Item(com::variant(L"I_INT").get(), p.put());
    VARIANT_BOOL optional = VARIANT_FALSE;
    p->get_Optional(&optional);
    com::bstr defaultValue, description;
    p->get_DefaultValue(defaultValue.put());
    p->get_Description(description.put());
    EXPECT_EQ(optional, VARIANT_TRUE);
    EXPECT_EQ(defaultValue.view(), L"42");
    EXPECT_EQ(description.view(), L"an integer");
    com::variant value;
    p->get_value(value.put());
    EXPECT_EQ(value.vt(), VT_EMPTY); // values are not part of the form

    // Structures come back with ScalarType -1, and shared descriptors as separate copies.
    auto top = TypeOf(List(copy.get(), 0).get(), L"I_TOP");
    ABAPTYPE type{};
    top->get_ScalarType(&type);
    EXPECT_EQ(type, -1);
    EXPECT_NE(TypeOf(List(copy.get(), 0).get(), L"I_TOP"), TypeOf(List(copy.get(), 3).get(), L"T_TOP"));
}

TEST(CallXml, ReadingFillsOnlyAnEmptyCallFromAWellFormedDocument)
{
    auto named = NewCall(L"Z_NAMED");
    EXPECT_EQ(FromXml(named.get(), L"<function name=\"X\"/>"), kAlreadyInitialized);

    auto call = NewCall();
    EXPECT_EQ(FromXml(call.get(), L"<other name=\"X\"/>"), E_INVALIDARG);
    EXPECT_EQ(FromXml(call.get(), L"not xml at all"), E_INVALIDARG);
    // Broken after a valid beginning: nothing of it is taken.
    EXPECT_EQ(FromXml(call.get(), L"<function name=\"X\"><importing name=\"A\"><type kind=\"scalar\"/></importing><exp"),
              E_INVALIDARG);
    com::bstr function;
    call->get_Function(function.put());
    EXPECT_TRUE(function.empty());
    EXPECT_EQ(Count(List(call.get(), 0).get()), 0);

    // Hostile nesting is refused before parsing.
    std::wstring deep = L"<function name=\"X\"><importing name=\"A\">";
    for (int i = 0; i < 100000; ++i)
        deep += L"<type kind=\"struct\">";
    EXPECT_EQ(FromXml(call.get(), deep), E_INVALIDARG);
    EXPECT_EQ(FromXml(call.get(), L"<function name=\"OK\"/>"), S_OK);
}

TEST(CallXml, NestingHiddenInOtherMarkupOrADocumentTypeIsRefused)
{
    // Each form opens 20,000 elements; the closing tags the nesting scan could be fooled into
    // counting hide in markup that the parser skips as a whole.
    const std::wstring opens = [] {
        std::wstring text;
        for (int i = 0; i < 20000; ++i)
            text += L"<type kind=\"struct\">";
        return text;
    }();
    const std::wstring closes = [] {
        std::wstring text;
        for (int i = 0; i < 20000; ++i)
            text += L"</type>";
        return text;
    }();
    const struct {
        const wchar_t* what;
        std::wstring text;
    } cases[] = {
        {L"processing instruction", L"<?p " + closes + L" ?><function name=\"X\"><importing name=\"A\">" + opens},
        {L"comment", L"<!-- " + closes + L" --><function name=\"X\"><importing name=\"A\">" + opens},
        {L"document type", L"<!DOCTYPE function [<!ENTITY e \"x\">]><function name=\"&e;\"/>"},
        {L"plain nesting", L"<function name=\"X\"><importing name=\"A\">" + opens},
    };
    for (const auto& c : cases) {
        auto call = NewCall();
        EXPECT_EQ(FromXml(call.get(), c.text), E_INVALIDARG) << c.what;
    }
}

TEST(CallXml, ReadingRulesForListsFlagsAndNumbers)
{
    auto call = NewCall();
    ASSERT_EQ(FromXml(call.get(),
                      L"<function name=\"Z\">"
                      L"<tables name=\"T\"><type name=\"T\" kind=\"table\"><type name=\"S\" kind=\"scalar\" "
                      L"abaptype=\"0\"/></type></tables>"
                      L"<importing name=\"A\" optional=\"x\"><type name=\"A\" kind=\"scalar\" abaptype=\"8abc\" "
                      L"length=\" -3\"/></importing>"
                      L"<importing name=\"B\"><type kind=\"scalar\" abaptype=\"abc\"/></importing>"
                      L"<unknown name=\"U\"/>"
                      L"</function>"),
              S_OK);
    // The tables element came first in the text and still lands in Tables.
    ASSERT_EQ(Count(List(call.get(), 3).get()), 1);
    ASSERT_EQ(Count(List(call.get(), 0).get()), 2);

    auto table = TypeOf(List(call.get(), 3).get(), L"T");
    EXPECT_EQ(Kind(table.get()), RFCTYPEKIND_TABLE);
    com::ptr<IRfcType> row;
    table->get_RowType(row.put());
    EXPECT_FALSE(row); // the row type was a scalar: a table without row type

    com::ptr<IRfcParameter> a;
    List(call.get(), 0)->get_Item(com::variant(L"A").get(), a.put());
    VARIANT_BOOL optional = VARIANT_TRUE;
    a->get_Optional(&optional);
    EXPECT_EQ(optional, VARIANT_FALSE); // only "X" means optional
    auto aType = TypeOf(List(call.get(), 0).get(), L"A");
    ABAPTYPE abapType{};
    short length = 0, decimals = 0;
    long offset = 0;
    aType->get_ScalarType(&abapType);
    aType->get_ScalarLength(&length);
    aType->get_ScalarDecimals(&decimals);
    aType->get_StructOffset(&offset);
    EXPECT_EQ(abapType, TYPE_INT);
    EXPECT_EQ(length, -3);
    EXPECT_EQ(decimals, -1); // missing attributes read as -1
    EXPECT_EQ(offset, -1);
    TypeOf(List(call.get(), 0).get(), L"B")->get_ScalarType(&abapType);
    EXPECT_EQ(abapType, 0);
}
