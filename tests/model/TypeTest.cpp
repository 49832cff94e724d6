// Type descriptors: their states, the define operations and the layout rule.
#include "ModelTestSupport.h"
#include "model/StructLayout.h"

using namespace test;

TEST(RfcType, ANewDescriptorIsUndefinedWithNothingGiven)
{
    auto t = NewType();
    EXPECT_EQ(Name(t.get()), L"");
    EXPECT_EQ(Kind(t.get()), RFCTYPEKIND_UNDEFINED);
    ABAPTYPE type = TYPE_CHAR;
    short length = 9, decimals = 9;
    long offset = 0, size = 0, offsetC1 = 0, sizeC1 = 0;
    t->get_ScalarType(&type);
    t->get_ScalarLength(&length);
    t->get_ScalarDecimals(&decimals);
    t->get_StructOffset(&offset);
    t->get_StructLength(&size);
    t->get_structOffsetC1(&offsetC1);
    t->get_structLengthC1(&sizeC1);
    EXPECT_EQ(type, -1);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(decimals, 0);
    EXPECT_EQ(offset, -1);
    EXPECT_EQ(size, -1);
    EXPECT_EQ(offsetC1, -1);
    EXPECT_EQ(sizeC1, -1);
    com::ptr<IRfcTypes> components;
    ASSERT_EQ(t->get_StructFields(components.put()), S_OK);
    EXPECT_EQ(Count(components.get()), 0);
    com::ptr<IRfcType> rowType;
    EXPECT_EQ(t->get_RowType(rowType.put()), S_OK);
    EXPECT_FALSE(rowType);
}

TEST(RfcType, DefineScalarWorksOnceAndAFailedDefineChangesNothing)
{
    auto t = NewType();
    ASSERT_EQ(t->DefineScalar(com::bstr(L"AMOUNT").get(), TYPE_BCD, 15, 2, 8), S_OK);
    EXPECT_EQ(t->DefineScalar(com::bstr(L"OTHER").get(), TYPE_CHAR, 1, 0, -1), kAlreadyInitialized);
    EXPECT_EQ(test::ThreadErrorDescription(), L"The object has already been initialized");
    EXPECT_EQ(Name(t.get()), L"AMOUNT");
    ABAPTYPE type{};
    short length = 0, decimals = 0;
    long offset = 0, size = 0;
    t->get_ScalarType(&type);
    t->get_ScalarLength(&length);
    t->get_ScalarDecimals(&decimals);
    t->get_StructOffset(&offset);
    t->get_StructLength(&size);
    EXPECT_EQ(type, TYPE_BCD);
    EXPECT_EQ(length, 15);
    EXPECT_EQ(decimals, 2);
    EXPECT_EQ(offset, 8);
    EXPECT_EQ(size, -1); // not touched by DefineScalar

    // A structure may be made of anything, and keeps its scalar settings.
    ASSERT_EQ(t->DefineStruct(com::bstr(L"S").get()), S_OK);
    EXPECT_EQ(Kind(t.get()), RFCTYPEKIND_STRUCT);
    t->get_ScalarType(&type);
    EXPECT_EQ(type, TYPE_STRUCTURE);
}

TEST(RfcType, DefineTableNeedsAStructureAsRowType)
{
    auto scalar = Scalar(L"C", TYPE_CHAR, 1);
    auto row = Struct(L"ROW", {scalar});
    auto table = Table(L"T", row);
    auto t = NewType();
    EXPECT_EQ(t->DefineTable(com::bstr(L"X").get(), scalar.get()), kNotAStructure);
    EXPECT_EQ(t->DefineTable(com::bstr(L"X").get(), table.get()), kNotAStructure);
    EXPECT_EQ(t->DefineTable(com::bstr(L"X").get(), nullptr), E_POINTER);
    EXPECT_EQ(Kind(t.get()), RFCTYPEKIND_UNDEFINED);

    ASSERT_EQ(t->DefineTable(com::bstr(L"X").get(), row.get()), S_OK);
    com::ptr<IRfcType> rowType;
    t->get_RowType(rowType.put());
    EXPECT_EQ(rowType, row); // shared, not copied
    ABAPTYPE type{};
    t->get_ScalarType(&type);
    EXPECT_EQ(type, TYPE_ITAB);
}

TEST(RfcType, ComponentsAreAddedToStructuresOnly)
{
    auto s = NewType();
    auto c = Scalar(L"F", TYPE_CHAR, 10);
    EXPECT_EQ(s->AddComplexStructField(c.get()), kNotAStructure);
    EXPECT_EQ(s->AddScalarStructField(com::bstr(L"F").get(), TYPE_CHAR, 10, 0, -1, -1, -1, -1), kNotAStructure);
    ASSERT_EQ(s->DefineStruct(com::bstr(L"S").get()), S_OK);
    EXPECT_EQ(s->AddComplexStructField(nullptr), E_POINTER);
    EXPECT_EQ(s->AddComplexStructField(NewType().get()), kNotInitialized);

    ASSERT_EQ(s->AddScalarStructField(com::bstr(L"F").get(), TYPE_CHAR, 10, 0, -1, -1, -1, -1), S_OK);
    ASSERT_EQ(s->AddScalarStructField(com::bstr(L"G").get(), TYPE_INT, 0, 0, 4, 3, 8, 6), S_OK);
    ASSERT_EQ(s->AddComplexStructField(Struct(L"NESTED", {c}).get()), S_OK);
    com::ptr<IRfcTypes> components;
    s->get_StructFields(components.put());
    ASSERT_EQ(Count(components.get()), 3);
    auto f = ItemAt<IRfcType>(components.get(), com::variant(L"F")).second;
    long values[4];
    f->get_StructOffset(&values[0]);
    f->get_StructLength(&values[1]);
    f->get_structOffsetC1(&values[2]);
    f->get_structLengthC1(&values[3]);
    EXPECT_EQ(std::vector<long>(values, values + 4), (std::vector<long>{-1, -1, -1, -1}));
    auto g = ItemAt<IRfcType>(components.get(), com::variant(2L)).second;
    g->get_StructOffset(&values[0]);
    g->get_StructLength(&values[1]);
    g->get_structOffsetC1(&values[2]);
    g->get_structLengthC1(&values[3]);
    EXPECT_EQ(std::vector<long>(values, values + 4), (std::vector<long>{4, 8, 3, 6}));
}

TEST(RfcType, PropertyWritesAreStoredUncheckedAndTagIsACopy)
{
    auto t = NewType();
    EXPECT_EQ(t->put_ScalarLength(-7), S_OK);
    EXPECT_EQ(t->put_ScalarType(static_cast<ABAPTYPE>(99)), S_OK);
    short length = 0;
    t->get_ScalarLength(&length);
    EXPECT_EQ(length, -7);
    EXPECT_EQ(Kind(t.get()), RFCTYPEKIND_UNDEFINED);

    com::variant tag(L"client data");
    ASSERT_EQ(t->put_Tag(tag.get()), S_OK);
    com::variant back;
    ASSERT_EQ(t->get_Tag(back.put()), S_OK);
    EXPECT_EQ(test::Name(t.get()), L"");
    ASSERT_EQ(back.vt(), VT_BSTR);
    EXPECT_NE(V_BSTR(back.addr()), V_BSTR(tag.addr()));
    EXPECT_EQ(com::view(V_BSTR(back.addr())), L"client data");

    EXPECT_EQ(t->get_name(nullptr), E_POINTER);
    EXPECT_EQ(t->get_Tag(nullptr), E_POINTER);
    VARIANT internal;
    ASSERT_EQ(t->GetInternalObj(&internal), S_OK);
    EXPECT_EQ(V_VT(&internal), VT_EMPTY);
    EXPECT_NE(V_BYREF(&internal), nullptr);
}

TEST(StructLayout, DefaultLengthsPerType)
{
    EXPECT_EQ(tolvane::DefaultLength(TYPE_CHAR, 10, false), 10);
    EXPECT_EQ(tolvane::DefaultLength(TYPE_CHAR, 10, true), 20);
    EXPECT_EQ(tolvane::DefaultLength(TYPE_NUM, 4, true), 8);
    EXPECT_EQ(tolvane::DefaultLength(TYPE_BYTE, 3, true), 3);
    EXPECT_EQ(tolvane::DefaultLength(TYPE_BCD, 15, false), 8);
    EXPECT_EQ(tolvane::DefaultLength(TYPE_BCD, 15, true), 8);
    EXPECT_EQ(tolvane::DefaultLength(TYPE_DATE, 0, true), 16);
    EXPECT_EQ(tolvane::DefaultLength(TYPE_TIME, 0, false), 6);
    EXPECT_EQ(tolvane::DefaultLength(TYPE_XSTRING, 0, false), static_cast<long>(2 * sizeof(void*)));
    EXPECT_EQ(tolvane::DefaultLength(TYPE_STRING, 0, true), static_cast<long>(sizeof(void*)));
    EXPECT_EQ(tolvane::DefaultLength(TYPE_STRUCTURE, 5, true), 0);
}

TEST(StructLayout, MissingOffsetsFollowWithAlignmentAndGivenOnesStand)
{
    auto layoutOf = [](std::initializer_list<com::ptr<IRfcType>> components) {
        return tolvane::LayoutOf(Struct(L"S", components).get());
    };
    auto offsets = [](const std::vector<tolvane::ComponentLayout>& c) {
        std::vector<long> o;
        for (auto& x : c)
            o.push_back(x.offset);
        return o;
    };
    auto a = layoutOf({Scalar(L"A", TYPE_CHAR, 1), Scalar(L"B", TYPE_INT), Scalar(L"C", TYPE_INT2)});
    EXPECT_EQ(offsets(a.unicode), (std::vector<long>{0, 4, 8}));
    EXPECT_EQ(offsets(a.nonUnicode), (std::vector<long>{0, 4, 8}));

    auto b = layoutOf({Scalar(L"A", TYPE_CHAR, 3), Scalar(L"B", TYPE_INT2)});
    EXPECT_EQ(offsets(b.unicode), (std::vector<long>{0, 6}));
    EXPECT_EQ(offsets(b.nonUnicode), (std::vector<long>{0, 4}));
    EXPECT_EQ(b.unicodeLength, 8);

    // STRING and XSTRING hold pointers: aligned and sized as one.
    auto p = layoutOf({Scalar(L"A", TYPE_CHAR, 1), Scalar(L"S", TYPE_STRING), Scalar(L"X", TYPE_XSTRING)});
    const long word = sizeof(void*);
    EXPECT_EQ(offsets(p.unicode), (std::vector<long>{0, word, 2 * word}));

    auto c = layoutOf({Scalar(L"A", TYPE_CHAR, 1), Scalar(L"B", TYPE_INT1)});
    EXPECT_EQ(c.unicodeLength, 4);
    EXPECT_EQ(c.nonUnicodeLength, 2);

    // A given offset and length stand; the next component follows them.
    auto given = Scalar(L"G", TYPE_CHAR, 2);
    given->put_StructOffset(10);
    given->put_StructLength(7);
    auto d = layoutOf({given, Scalar(L"F", TYPE_FLOAT)});
    EXPECT_EQ(d.unicode[0].offset, 10);
    EXPECT_EQ(d.unicode[0].length, 7);
    EXPECT_EQ(d.unicode[1].offset, 20);
    EXPECT_EQ(d.nonUnicode[0].offset, 0);
    EXPECT_EQ(d.nonUnicode[1].offset, 4);

    // The structure's own length wins.
    auto s = Struct(L"S", {Scalar(L"A", TYPE_CHAR, 1)});
    s->put_StructLength(100);
    EXPECT_EQ(tolvane::LayoutOf(s.get()).unicodeLength, 100);
}
