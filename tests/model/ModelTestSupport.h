#pragma once
// Building blocks for the object model tests, written the way the module's own code and C++
// clients use the objects: through their interfaces.
#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "com/Variant.h"
#include "idl/Tolvane_h.h"
#include "model/FunctionCall.h"
#include "model/RfcField.h"
#include "model/RfcType.h"
#include "support/ThreadError.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace test {

inline com::ptr<IRfcType> NewType() { return com::make<tolvane::CRfcType>(); }

inline com::ptr<IRfcType> Scalar(const wchar_t* name, ABAPTYPE type, short length = 0, short decimals = 0)
{
    auto t = NewType();
    EXPECT_EQ(t->DefineScalar(com::bstr(name).get(), type, length, decimals, -1), S_OK);
    return t;
}

// A structure of the given components (shared, not copied).
inline com::ptr<IRfcType> Struct(const wchar_t* name, std::initializer_list<com::ptr<IRfcType>> components)
{
    auto t = NewType();
    EXPECT_EQ(t->DefineStruct(com::bstr(name).get()), S_OK);
    for (const auto& c : components)
        EXPECT_EQ(t->AddComplexStructField(c.get()), S_OK);
    return t;
}

inline com::ptr<IRfcType> Table(const wchar_t* name, const com::ptr<IRfcType>& rowType)
{
    auto t = NewType();
    EXPECT_EQ(t->DefineTable(com::bstr(name).get(), rowType.get()), S_OK);
    return t;
}

inline std::wstring Name(IRfcType* t)
{
    com::bstr n;
    EXPECT_EQ(t->get_name(n.put()), S_OK);
    return n.str();
}

template <class T>
std::wstring NameOf(T* item)
{
    com::bstr n;
    EXPECT_EQ(item->get_name(n.put()), S_OK);
    return n.str();
}

inline RFCTYPEKIND Kind(IRfcType* t)
{
    RFCTYPEKIND k = RFCTYPEKIND_UNDEFINED;
    EXPECT_EQ(t->get_Kind(&k), S_OK);
    return k;
}

template <class Collection>
long Count(Collection* c)
{
    long n = -1;
    EXPECT_EQ(c->get_Count(&n), S_OK);
    return n;
}

// Item by any VARIANT index; the HRESULT and the item.
template <class Item, class Collection>
std::pair<HRESULT, com::ptr<Item>> ItemAt(Collection* c, const com::variant& index)
{
    com::ptr<Item> item;
    HRESULT hr = c->get_Item(index.get(), item.put());
    return {hr, item};
}

inline com::ptr<IRfcField> NewField() { return com::make<tolvane::CRfcField>(); }

inline com::ptr<IRfcField> FieldOf(IRfcFields* fields, const wchar_t* name)
{
    auto [hr, field] = ItemAt<IRfcField>(fields, com::variant(name));
    EXPECT_EQ(hr, S_OK) << name;
    return field;
}

inline com::variant ValueOf(IRfcField* field)
{
    com::variant v;
    EXPECT_EQ(field->get_value(v.put()), S_OK);
    return v;
}

inline bool IsEmpty(IRfcField* field)
{
    VARIANT_BOOL empty = 42;
    EXPECT_EQ(field->get_IsEmpty(&empty), S_OK);
    return empty == VARIANT_TRUE;
}

inline com::ptr<IFunctionCall> NewCall(const wchar_t* name = nullptr)
{
    auto call = com::make<tolvane::CFunctionCall>();
    if (name) {
        EXPECT_EQ(call->put_Function(com::bstr(name).get()), S_OK);
    }
    return call;
}

inline com::ptr<IRfcParameters> Importing(IFunctionCall* call)
{
    com::ptr<IRfcParameters> list;
    EXPECT_EQ(call->get_Importing(list.put()), S_OK);
    return list;
}

constexpr HRESULT kAlreadyInitialized = static_cast<HRESULT>(0x80040201);
constexpr HRESULT kNotInitialized = static_cast<HRESULT>(0x80040202);
constexpr HRESULT kNotAStructure = static_cast<HRESULT>(0x80040204);
constexpr HRESULT kNotATable = static_cast<HRESULT>(0x80040205);

} // namespace test
