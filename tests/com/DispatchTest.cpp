// Dispatch through the embedded type library, as script clients reach our objects.
#include "Fakes.h"
#include "support/Automation.h"

#include "session/RfcError.h"

#include <gtest/gtest.h>

using namespace test;

namespace {

com::ptr<IDispatch> Reader(com::ptr<FakeTableReader>& fake)
{
    fake = com::make<FakeTableReader>();
    return fake.query<IDispatch>();
}

} // namespace

TEST(Dispatch, OmittedOptionalArgumentsReceiveTheirDeclaredDefaults)
{
    com::ptr<FakeTableReader> fake;
    auto reader = Reader(fake);

    EXPECT_EQ(Call(reader.get(), L"Read").hr, S_OK);
    EXPECT_EQ(fake->readCount, 0);
    EXPECT_EQ(fake->readStart, 0);

    EXPECT_EQ(Call(reader.get(), L"Read", Args(10L)).hr, S_OK);
    EXPECT_EQ(fake->readCount, 10);
    EXPECT_EQ(fake->readStart, 0);

    // Arguments are coerced to the declared type: a script's "20" arrives as the number 20.
    EXPECT_EQ(Call(reader.get(), L"Read", Args(10L, L"20")).hr, S_OK);
    EXPECT_EQ(fake->readStart, 20);

    EXPECT_EQ(Call(reader.get(), L"Read", Args(L"many")).hr, DISP_E_TYPEMISMATCH);
}

TEST(Dispatch, PropertyWithArgumentsAndPropertyPutCoercion)
{
    com::ptr<FakeTableReader> fake;
    auto reader = Reader(fake);

    EXPECT_EQ(Put(reader.get(), L"Option", com::variant(L"X"), Args(L"tablereader.rawstrings")).hr, S_OK);
    EXPECT_EQ(fake->options[L"tablereader.rawstrings"], L"X");
    EXPECT_EQ(Text(Get(reader.get(), L"Option", Args(L"tablereader.rawstrings")).value), L"X");

    // A number put into a string property arrives as its text.
    EXPECT_EQ(Put(reader.get(), L"Table", com::variant(42L)).hr, S_OK);
    EXPECT_EQ(fake->table, L"42");

    // And a string put into an enumeration property arrives as the number.
    auto error = com::make<tolvane::CRfcError>();
    auto dispatch = error.query<IDispatch>();
    EXPECT_EQ(Put(dispatch.get(), L"ERRORGROUP", com::variant(L"105")).hr, S_OK);
    EXPECT_EQ(error->Get().group, 105);
    EXPECT_EQ(Put(dispatch.get(), L"ERRORGROUP", com::variant(L"lots")).hr, DISP_E_TYPEMISMATCH);

    // Set x.Prop = value in a script is a put by reference; a plain put takes it.
    EXPECT_EQ(Invoke(reader.get(), L"Table", DISPATCH_PROPERTYPUTREF, Args(L"T000")).hr, S_OK);
    EXPECT_EQ(fake->table, L"T000");
}

TEST(Dispatch, ArgumentsToAPropertyWithoutArgumentsGoToTheDefaultMemberOfItsResult)
{
    com::ptr<FakeTableReader> fake;
    auto reader = Reader(fake);
    fake->query->items = {L"CARRID = 'LH'", L"AND CONNID = '0400'"};

    // reader.Query(2) in a script: Query takes no argument, Item of the list does.
    InvokeResult second = Get(reader.get(), L"Query", Args(2L));
    EXPECT_EQ(second.hr, S_OK);
    EXPECT_EQ(Text(second.value), L"AND CONNID = '0400'");

    // Without arguments the property itself is returned.
    auto list = Object(Get(reader.get(), L"Query"));
    ASSERT_TRUE(list);
    EXPECT_EQ(Get(list.get(), L"Count").value.get().lVal, 2);

    // The default member's own failures come through.
    EXPECT_EQ(Get(reader.get(), L"Query", Args(3L)).error(), E_INVALIDARG);
}

TEST(Dispatch, NewEnumYieldsTheItemsInOrder)
{
    auto list = com::make<FakeStringList>();
    list->items = {L"A", L"B", L"C"};
    auto items = Enumerate(list.query<IDispatch>().get());
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(Text(items[0]), L"A");
    EXPECT_EQ(Text(items[2]), L"C");
}

TEST(Dispatch, APropertyAskedForAsAMethodIsRead)
{
    // JScript's Enumerator asks for _NewEnum with DISPATCH_METHOD alone.
    auto list = com::make<FakeStringList>();
    list->items = {L"A"};
    auto dispatch = list.query<IDispatch>();
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    com::variant result;
    ASSERT_EQ(dispatch->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_METHOD, &none, result.put(), nullptr, nullptr),
              S_OK);
    EXPECT_TRUE(com::share(V_UNKNOWN(result.addr())).try_query<IEnumVARIANT>());
    EXPECT_EQ(V_I4(Call(dispatch.get(), L"Count").value.addr()), 1);
}

TEST(Dispatch, ErrorInformationReachesTheLateBoundCaller)
{
    com::ptr<FakeTableReader> fake;
    auto reader = Reader(fake);
    InvokeResult result = Get(reader.get(), L"Session");
    EXPECT_EQ(result.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(result.scode, static_cast<SCODE>(0x80040208));
    EXPECT_EQ(result.description, L"Not connected (call connect() before executing this method)");
    // The Source is the ProgID registered for the reporting class (registered by the test setup).
    EXPECT_EQ(result.source, L"Tolvane.SoapSession.1");
}

TEST(Dispatch, QueryInterfaceAnswersTheListedInterfacesWithOneIdentity)
{
    com::ptr<FakeTableReader> fake = com::make<FakeTableReader>();
    auto unknown = fake.query<IUnknown>();
    EXPECT_EQ(fake.query<IDispatch>().query<IUnknown>(), unknown);
    EXPECT_EQ(fake.query<ISupportErrorInfo>().query<IUnknown>(), unknown);
    EXPECT_TRUE(fake.try_query<ITableReader>());
    EXPECT_FALSE(fake.try_query<IStringList>());
    EXPECT_EQ(fake.query<ISupportErrorInfo>()->InterfaceSupportsErrorInfo(IID_ITableReader), S_OK);
    EXPECT_EQ(fake.query<ISupportErrorInfo>()->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
}

TEST(Dispatch, ObjectsHoldTheModuleLockWhileTheyLive)
{
    const long before = com::module_lock_count();
    {
        auto list = com::make<FakeStringList>();
        auto reader = com::make<FakeTableReader>();
        EXPECT_EQ(com::module_lock_count(), before + 3); // the reader owns a list of its own
    }
    EXPECT_EQ(com::module_lock_count(), before);
}

namespace {

// An optional capability whose availability the test switches.
class OptionalMarshal : public IMarshal {
public:
    using interface_type = IMarshal;
    bool entry_available() const noexcept { return available; }
    bool available = false;

    HRESULT STDMETHODCALLTYPE GetUnmarshalClass(REFIID, void*, DWORD, void*, DWORD, CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMarshalSizeMax(REFIID, void*, DWORD, void*, DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MarshalInterface(IStream*, REFIID, void*, DWORD, void*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnmarshalInterface(IStream*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReleaseMarshalData(IStream*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DisconnectObject(DWORD) override { return E_NOTIMPL; }
};

// Records the order of its final release and its destructor, and whether it was whole then.
class Finalised : public com::Object<Finalised, com::Dispatch<IStringList>, OptionalMarshal> {
public:
    explicit Finalised(std::vector<std::string>& log) : log_(log) {}
    ~Finalised() override { log_.push_back("destructor"); }
    void final_release() noexcept
    {
        // The object may still be handed around: the count is pinned.
        com::ptr<IUnknown> again = com::share(unknown());
        log_.push_back(again ? "final release" : "final release without object");
    }

    HRESULT STDMETHODCALLTYPE get_Count(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Add(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Remove(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveAll() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IndexOf(BSTR, long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Item(long, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown**) override { return E_NOTIMPL; }

private:
    std::vector<std::string>& log_;
};

} // namespace

TEST(ObjectRoot, FinalReleaseRunsOnceBeforeTheDestructorAndUnavailableEntriesAreNotAnswered)
{
    std::vector<std::string> log;
    {
        auto object = com::make<Finalised>(log);
        EXPECT_FALSE(object.try_query<IMarshal>());
        object->available = true;
        EXPECT_TRUE(object.try_query<IMarshal>());
    }
    EXPECT_EQ(log, (std::vector<std::string>{"final release", "destructor"}));
}

TEST(ObjectRoot, TypeInformationIsGivenBackWhenTheModuleMayUnloadAndComesBackWhenNeeded)
{
    {
        auto list = com::make<FakeStringList>();
        EXPECT_EQ(com::can_unload_now(), S_FALSE);
    }
    EXPECT_EQ(com::can_unload_now(), S_OK);
    com::ptr<FakeStringList> fake = com::make<FakeStringList>();
    fake->items = {L"a", L"b"};
    EXPECT_EQ(Get(fake.query<IDispatch>().get(), L"Count").value.get().lVal, 2);
}
