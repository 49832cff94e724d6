// The object model as a script reaches it: names, optional arguments, default members,
// For Each and error descriptions, all through IDispatch.
#include "ModelTestSupport.h"
#include "support/Automation.h"

using namespace test;

TEST(LateBinding, BuildAStructureAndWalkItAsAScriptWould)
{
    auto type = NewType().query<IDispatch>();
    ASSERT_EQ(Call(type.get(), L"DefineStruct", Args(L"ADDRESS")).hr, S_OK);
    // Optional arguments take their declared defaults.
    ASSERT_EQ(Call(type.get(), L"AddScalarStructField", Args(L"STREET", static_cast<long>(TYPE_CHAR), 30L)).hr, S_OK);
    ASSERT_EQ(Call(type.get(), L"AddScalarStructField", Args(L"ZIP", static_cast<long>(TYPE_NUM), 5L)).hr, S_OK);

    auto components = Object(Get(type.get(), L"StructFields"));
    ASSERT_TRUE(components);
    EXPECT_EQ(V_I4(Get(components.get(), L"Count").value.addr()), 2);
    // By position and by name, through the default member.
    auto zip = Object(Get(components.get(), L"Item", Args(L"ZIP")));
    auto second = Object(Get(components.get(), L"Item", Args(2L)));
    EXPECT_EQ(zip, second);
    EXPECT_EQ(Text(Get(zip.get(), L"name").value), L"ZIP");
    EXPECT_EQ(V_I4(Get(zip.get(), L"StructOffset").value.addr()), -1);

    std::vector<std::wstring> names;
    for (const com::variant& item : Enumerate(components.get()))
        names.push_back(Text(Get(V_DISPATCH(item.addr()), L"name").value));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"STREET", L"ZIP"}));

    // A value for a field of that structure, as a parameter of a call.
    auto call = NewCall(L"Z_ADDRESS").query<IDispatch>();
    auto importing = Object(Get(call.get(), L"Importing"));
    ASSERT_EQ(Call(importing.get(), L"AddParameter", Args(L"ADDRESS", type.get())).hr, S_OK);
    // call.Importing("ADDRESS"): the argument reaches the list's default member.
    auto parameter = Object(Get(call.get(), L"Importing", Args(L"ADDRESS")));
    ASSERT_TRUE(parameter);
    auto fields = Object(Get(parameter.get(), L"Fields"));
    auto street = Object(Get(fields.get(), L"Item", Args(L"STREET")));
    ASSERT_EQ(Put(street.get(), L"value", com::variant(L"Main Street 1")).hr, S_OK);
    EXPECT_EQ(Text(Get(street.get(), L"value").value), L"Main Street 1");
}

TEST(LateBinding, AFailingDefineReportsItsMessage)
{
    auto type = NewType().query<IDispatch>();
    ASSERT_EQ(Call(type.get(), L"DefineScalar", Args(L"C", static_cast<long>(TYPE_CHAR))).hr, S_OK);
    InvokeResult again = Call(type.get(), L"DefineScalar", Args(L"C", static_cast<long>(TYPE_CHAR)));
    EXPECT_EQ(again.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(again.scode, kAlreadyInitialized);
    EXPECT_EQ(again.description, L"The object has already been initialized");

    InvokeResult field = Call(type.get(), L"AddScalarStructField", Args(L"X", static_cast<long>(TYPE_INT)));
    EXPECT_EQ(field.scode, kNotAStructure);
    EXPECT_EQ(field.description, L"Object is not a structure");
}
