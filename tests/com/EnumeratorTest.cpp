// The enumerator behind every _NewEnum: IEnumVARIANT as For Each uses it.
#include "com/Enumerator.h"

#include <gtest/gtest.h>

namespace {

com::ptr<IEnumVARIANT> EnumeratorOf(std::initializer_list<long> values, IUnknown* source = nullptr)
{
    std::vector<com::variant> items;
    for (long v : values)
        items.emplace_back(v);
    com::ptr<IUnknown> unknown;
    EXPECT_EQ(com::new_enum(std::move(items), source, unknown.put()), S_OK);
    return unknown.query<IEnumVARIANT>();
}

long NextValue(IEnumVARIANT* e)
{
    com::variant v;
    ULONG fetched = 0;
    EXPECT_EQ(e->Next(1, v.put(), &fetched), S_OK);
    return V_I4(v.addr());
}

} // namespace

TEST(Enumerator, NextSkipAndResetFollowTheEnumerationContract)
{
    auto e = EnumeratorOf({1, 2, 3});

    VARIANT batch[4];
    for (auto& v : batch)
        VariantInit(&v);
    ULONG fetched = 0;
    EXPECT_EQ(e->Next(2, batch, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(V_I4(&batch[1]), 2);
    EXPECT_EQ(e->Next(2, batch + 2, &fetched), S_FALSE); // one left: fewer than asked
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(V_I4(&batch[2]), 3);
    EXPECT_EQ(e->Next(1, batch + 3, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    for (auto& v : batch)
        VariantClear(&v);

    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(2), S_OK);
    EXPECT_EQ(NextValue(e.get()), 3);
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(5), S_FALSE);

    // Asking for several items needs somewhere to say how many came.
    com::variant v;
    EXPECT_EQ(e->Next(2, v.put(), nullptr), E_POINTER);
}

TEST(Enumerator, ACloneContinuesFromTheSamePositionIndependently)
{
    auto e = EnumeratorOf({10, 20, 30});
    EXPECT_EQ(NextValue(e.get()), 10);
    com::ptr<IEnumVARIANT> clone;
    ASSERT_EQ(e->Clone(clone.put()), S_OK);
    EXPECT_EQ(NextValue(clone.get()), 20);
    EXPECT_EQ(NextValue(clone.get()), 30);
    EXPECT_EQ(NextValue(e.get()), 20);
}

TEST(Enumerator, KeepsItsSourceAliveAndItemsAreCopies)
{
    std::vector<com::variant> items;
    items.emplace_back(L"text");
    auto source = EnumeratorOf({1}); // any object serves as the source
    source->AddRef();
    const ULONG before = source->Release();
    com::ptr<IUnknown> unknown;
    ASSERT_EQ(com::new_enum(std::move(items), source.get(), unknown.put()), S_OK);
    source->AddRef();
    EXPECT_EQ(source->Release(), before + 1);
    unknown.reset();
    source->AddRef();
    EXPECT_EQ(source->Release(), before);
}
