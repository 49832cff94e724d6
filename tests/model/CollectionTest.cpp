// The keyed collection rules, shown on the components of a structure (IRfcTypes) and on the
// registered calls of a server (IFunctionCalls, keyed by Function).
#include "ModelTestSupport.h"
#include "model/FunctionCalls.h"
#include "support/Automation.h"

using namespace test;

namespace {

com::ptr<IRfcTypes> ComponentsOf(IRfcType* structure)
{
    com::ptr<IRfcTypes> c;
    EXPECT_EQ(structure->get_StructFields(c.put()), S_OK);
    return c;
}

} // namespace

TEST(KeyedCollection, PositionsCountFromOneAndNumbersInTextArePositions)
{
    auto s = Struct(L"S", {Scalar(L"F", TYPE_CHAR, 1), Scalar(L"2", TYPE_CHAR, 1), Scalar(L"G", TYPE_INT)});
    auto c = ComponentsOf(s.get());
    EXPECT_EQ(Name(ItemAt<IRfcType>(c.get(), com::variant(1L)).second.get()), L"F");
    EXPECT_EQ(ItemAt<IRfcType>(c.get(), com::variant(0L)).first, E_INVALIDARG);
    EXPECT_EQ(ItemAt<IRfcType>(c.get(), com::variant(4L)).first, E_INVALIDARG);
    // "3" reads as a number: position 3, not a key.
    EXPECT_EQ(Name(ItemAt<IRfcType>(c.get(), com::variant(L"3")).second.get()), L"G");
    // And so does "2", although a component is named "2".
    EXPECT_EQ(Name(ItemAt<IRfcType>(c.get(), com::variant(L"2")).second.get()), L"2");
    EXPECT_EQ(Name(ItemAt<IRfcType>(c.get(), com::variant(short{1})).second.get()), L"F");
    EXPECT_EQ(Name(ItemAt<IRfcType>(c.get(), com::variant(2.0)).second.get()), L"2");
    // A value that is neither number nor text.
    auto self = c.query<IUnknown>();
    EXPECT_EQ(ItemAt<IRfcType>(c.get(), com::variant(self.get())).first, E_INVALIDARG);
    com::ptr<IRfcType> none;
    EXPECT_EQ(c->get_Item(com::variant(1L).get(), nullptr), E_POINTER);
}

TEST(KeyedCollection, KeysAreCaseSensitive)
{
    auto c = ComponentsOf(Struct(L"S", {Scalar(L"F", TYPE_CHAR, 1)}).get());
    EXPECT_EQ(ItemAt<IRfcType>(c.get(), com::variant(L"F")).first, S_OK);
    EXPECT_EQ(ItemAt<IRfcType>(c.get(), com::variant(L"f")).first, E_INVALIDARG);
    VARIANT_BOOL has = VARIANT_FALSE;
    EXPECT_EQ(c->HasKey(com::bstr(L"F").get(), &has), S_OK);
    EXPECT_EQ(has, VARIANT_TRUE);
    EXPECT_EQ(c->HasKey(com::bstr(L"f").get(), &has), S_OK);
    EXPECT_EQ(has, VARIANT_FALSE);
    EXPECT_EQ(c->HasKey(nullptr, &has), S_OK);
    EXPECT_EQ(has, VARIANT_FALSE);
}

TEST(KeyedCollection, DuplicateKeysReachTheNewestAndRemoveRebuildsTheIndex)
{
    auto first = Scalar(L"A", TYPE_CHAR, 1);
    auto second = Scalar(L"A", TYPE_INT);
    auto c = ComponentsOf(Struct(L"S", {first, second}).get());
    EXPECT_EQ(Count(c.get()), 2);
    EXPECT_EQ(ItemAt<IRfcType>(c.get(), com::variant(L"A")).second, second);

    ASSERT_EQ(c->Remove(com::variant(2L).get()), S_OK);
    EXPECT_EQ(ItemAt<IRfcType>(c.get(), com::variant(L"A")).second, first);

    // Keys are read from the items again when the index is rebuilt.
    auto b = Scalar(L"B", TYPE_CHAR, 1);
    ASSERT_EQ(c->Add(b.get()), S_OK);
    ASSERT_EQ(c->Add(Scalar(L"C", TYPE_CHAR, 1).get()), S_OK);
    ASSERT_EQ(c->Remove(com::variant(L"A").get()), S_OK);
    EXPECT_EQ(ItemAt<IRfcType>(c.get(), com::variant(L"B")).second, b);
    EXPECT_EQ(Name(ItemAt<IRfcType>(c.get(), com::variant(2L)).second.get()), L"C");
    EXPECT_EQ(c->Remove(com::variant(L"A").get()), E_INVALIDARG);
    EXPECT_EQ(c->Remove(com::variant(5L).get()), E_INVALIDARG);

    ASSERT_EQ(c->RemoveAll(), S_OK);
    EXPECT_EQ(Count(c.get()), 0);
    EXPECT_EQ(ItemAt<IRfcType>(c.get(), com::variant(L"B")).first, E_INVALIDARG);
}

TEST(KeyedCollection, AddTakesOnlyItemsOfTheCollectionsKind)
{
    auto c = ComponentsOf(Struct(L"S", {Scalar(L"F", TYPE_CHAR, 1)}).get());
    auto field = NewField();
    EXPECT_EQ(c->Add(field.get()), E_UNEXPECTED);
    EXPECT_EQ(c->Add(nullptr), E_POINTER);
    EXPECT_EQ(Count(c.get()), 1);
}

TEST(KeyedCollection, EnumerationYieldsTheItemsInInsertionOrder)
{
    auto c = ComponentsOf(Struct(L"S", {Scalar(L"Z", TYPE_CHAR, 1), Scalar(L"A", TYPE_INT)}).get());
    auto items = test::Enumerate(c.query<IDispatch>().get());
    ASSERT_EQ(items.size(), 2u);
    auto second = com::share(V_DISPATCH(items[1].addr())).query<IRfcType>();
    EXPECT_EQ(Name(second.get()), L"A");
}

TEST(KeyedCollection, FunctionCallsAreKeyedByTheirFunction)
{
    auto calls = com::make<tolvane::CFunctionCalls>();
    auto first = NewCall(L"Z_ECHO");
    auto second = NewCall(L"Z_ECHO");
    ASSERT_EQ(calls->AddFunction(first.get()), S_OK);
    ASSERT_EQ(calls->AddFunction(second.get()), S_OK);
    ASSERT_EQ(calls->AddFunction(NewCall(L"RFC_PING").get()), S_OK);
    EXPECT_EQ(Count(calls.get()), 3);
    EXPECT_EQ(ItemAt<IFunctionCall>(calls.get(), com::variant(L"Z_ECHO")).second, second);
    EXPECT_EQ(calls->AddFunction(NewType().get()), E_UNEXPECTED);
}

TEST(KeyedCollection, KeysAreEqualWhereTheLocaleSaysSo)
{
    // A soft hyphen is ignored by the locale's comparison: both spellings name one key.
    auto plain = Scalar(L"AB", TYPE_CHAR, 1);
    auto c = ComponentsOf(Struct(L"S", {plain, Scalar(L"/SIM/X", TYPE_INT)}).get());
    EXPECT_EQ(ItemAt<IRfcType>(c.get(), com::variant(L"A\u00ADB")).second, plain);
    EXPECT_EQ(Name(ItemAt<IRfcType>(c.get(), com::variant(L"/SIM/X")).second.get()), L"/SIM/X");

    // The newest of equal keys wins, whichever way it was spelled.
    auto hyphenated = Scalar(L"A\u00ADB", TYPE_INT);
    ASSERT_EQ(c->Add(hyphenated.get()), S_OK);
    EXPECT_EQ(ItemAt<IRfcType>(c.get(), com::variant(L"AB")).second, hyphenated);
    EXPECT_EQ(ItemAt<IRfcType>(c.get(), com::variant(L"ab")).first, E_INVALIDARG);
}
