// The Tolvane control as clients and containers use it, made by the built Tolvane.dll: the
// objects it makes, its persisted size, its picture, quick activation, class information,
// status flags and aggregation.
#include "ControlTestSupport.h"
#include "com/Bstr.h"
#include "soap/SoapTestSupport.h"

#include <gtest/gtest.h>

#include <olectl.h>

#include <functional>
#include <string_view>
#include <vector>

using test::Canvas;
using test::NewControl;
using test::TestSite;

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128), kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);
constexpr RECT kCanvas{0, 0, 200, 100}, kBounds{20, 10, 180, 90};

using Made = std::function<HRESULT(IConnectorCtrl*, com::ptr<IDispatch>&)>;

template <class I>
Made Calling(HRESULT (STDMETHODCALLTYPE IConnectorCtrl::*method)(I**))
{
    return [method](IConnectorCtrl* control, com::ptr<IDispatch>& object) {
        I* made = nullptr;
        const HRESULT result = (control->*method)(&made);
        object = com::ptr<IDispatch>::attach(made);
        return result;
    };
}

// Sessions and servers both keep options: sets one (unless `value` is null) and reads it back.
std::wstring Option(IDispatch* object, const wchar_t* value = nullptr)
{
    const com::bstr name(L"test.marker"), text(value);
    com::bstr read;
    if (auto session = com::share(object).try_query<ISession>()) {
        if (value)
            session->put_Option(name.get(), text.get());
        session->get_Option(name.get(), read.put());
    } else if (auto server = com::share(object).try_query<IRfcServer>()) {
        if (value)
            server->put_Option(name.get(), text.get());
        server->get_Option(name.get(), read.put());
    }
    return read.str();
}

GUID GuidOf(ITypeInfo* info)
{
    TYPEATTR* attr = nullptr;
    if (!info || FAILED(info->GetTypeAttr(&attr)))
        return GUID_NULL;
    const GUID guid = attr->guid;
    info->ReleaseTypeAttr(attr);
    return guid;
}

com::ptr<ITypeInfo> ClassInfoOf(IUnknown* object)
{
    com::ptr<ITypeInfo> info;
    if (auto classInfo = com::share(object).try_query<IProvideClassInfo>())
        classInfo->GetClassInfo(info.put());
    return info;
}

// The interface a coclass marks [default, source], or IID_NULL.
GUID DefaultSource(ITypeInfo* coclass)
{
    constexpr INT kDefaultSource = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
    TYPEATTR* attr = nullptr;
    coclass->GetTypeAttr(&attr);
    GUID source = IID_NULL;
    for (UINT i = 0; i < attr->cImplTypes; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        com::ptr<ITypeInfo> events;
        if (coclass->GetImplTypeFlags(i, &flags) == S_OK && (flags & kDefaultSource) == kDefaultSource &&
            coclass->GetRefTypeOfImplType(i, &ref) == S_OK && coclass->GetRefTypeInfo(ref, events.put()) == S_OK)
            source = GuidOf(events.get());
    }
    coclass->ReleaseTypeAttr(attr);
    return source;
}

com::ptr<IStream> MemoryStream(const std::vector<BYTE>& bytes = {})
{
    com::ptr<IStream> stream;
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    return stream;
}

std::vector<BYTE> Saved(IConnectorCtrl* control)
{
    auto stream = MemoryStream();
    EXPECT_EQ(com::share(control).query<IPersistStreamInit>()->Save(stream.get(), TRUE), S_OK);
    ULARGE_INTEGER end{};
    stream->Seek({}, STREAM_SEEK_CUR, &end);
    std::vector<BYTE> bytes(static_cast<size_t>(end.QuadPart));
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    return bytes;
}

SIZEL ExtentOf(IConnectorCtrl* control)
{
    SIZEL extent{-1, -1};
    EXPECT_EQ(com::share(control).query<IOleObject>()->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    return extent;
}

com::ptr<IConnectorCtrl> ControlOfExtent(SIZEL extent)
{
    auto control = NewControl();
    control.query<IPersistStreamInit>()->InitNew();
    EXPECT_EQ(control.query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &extent), S_OK);
    return control;
}

bool operator==(const SIZEL& a, const SIZEL& b) { return a.cx == b.cx && a.cy == b.cy; }

com::ptr<IConnectorCtrl> ControlOnSite(bool design)
{
    auto control = NewControl();
    control.query<IOleObject>()->SetClientSite(com::make<TestSite>(nullptr, design).get());
    return control;
}

void DrawControl(IConnectorCtrl* control, const Canvas& canvas, const RECT& bounds)
{
    const RECTL where{bounds.left, bounds.top, bounds.right, bounds.bottom};
    auto view = com::share(control).query<IViewObjectEx>();
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &where, nullptr, nullptr, 0),
              S_OK);
}

// The frame along kBounds in the default black pen, white (the default brush) inside, and the
// name centred horizontally on a baseline through the middle; nothing outside.
void ExpectDesignPicture(const Canvas& canvas)
{
    const RECT& b = kBounds;
    const int midX = (b.left + b.right) / 2, midY = (b.top + b.bottom) / 2;
    for (POINT frame : {POINT{b.left, b.top}, POINT{b.right - 1, b.bottom - 1}, POINT{midX, b.top}, POINT{b.left, midY}})
        EXPECT_EQ(canvas.Pixel(frame.x, frame.y), kBlack);
    EXPECT_EQ(canvas.Pixel(b.left + 2, b.top + 2), kWhite);
    const RECT drawn = canvas.Drawn(kCanvas, kGrey);
    EXPECT_TRUE(EqualRect(&drawn, &b)) << "drawn outside the bounds";

    const RECT text = canvas.Drawn({b.left + 1, b.top + 1, b.right - 1, b.bottom - 1}, kWhite);
    ASSERT_FALSE(IsRectEmpty(&text)) << "no text";
    EXPECT_NEAR((text.left + text.right) / 2.0, midX, 3.0);
    EXPECT_LE(text.bottom, midY + 1) << "\"Tolvane\" has no descenders: it ends at the baseline";
    EXPECT_GE(midY - text.top, 6) << "too flat for text";
    EXPECT_GT(canvas.DarkPixels(text), 20);
}

} // namespace

TEST(ConnectorCtrl, EachFactoryMethodMakesWhatTheClassTableMakesAsIndependentObjects)
{
    const struct {
        const char* name;
        const CLSID* clsid;
        Made make;
    } methods[] = {
        {"CreateRfcSession", &CLSID_RfcSession, Calling(&IConnectorCtrl::CreateRfcSession)},
        {"CreateSOAPSession", &CLSID_SoapSession, Calling(&IConnectorCtrl::CreateSOAPSession)},
        {"CreateRfcServer", &CLSID_RfcServer, Calling(&IConnectorCtrl::CreateRfcServer)},
        {"CreateNWRfcSession", &CLSID_NWRfcSession, Calling(&IConnectorCtrl::CreateNWRfcSession)},
        {"CreateNWRfcServer", &CLSID_NWRfcServer, Calling(&IConnectorCtrl::CreateNWRfcServer)},
    };
    for (const auto& method : methods) {
        SCOPED_TRACE(method.name);
        com::ptr<IClassFactory> classObject;
        const HRESULT available = test::TolvaneClassObject(*method.clsid, classObject.put());

        auto control = NewControl();
        com::ptr<ICreateErrorInfo> stale; // an earlier failure's description
        CreateErrorInfo(stale.put());
        SetErrorInfo(0, stale.query<IErrorInfo>().get());
        com::ptr<IDispatch> first, second;
        const HRESULT made = method.make(control.get(), first);
        method.make(control.get(), second);
        control = nullptr; // what it made lives on without it

        if (available != S_OK) {
            EXPECT_EQ(made, available);
            EXPECT_FALSE(first);
            com::ptr<IErrorInfo> left;
            EXPECT_NE(GetErrorInfo(0, left.put()), S_OK) << "an earlier description came with the failure";
            continue;
        }
        ASSERT_EQ(made, S_OK);
        ASSERT_TRUE(first && second);
        EXPECT_NE(first.query<IUnknown>(), second.query<IUnknown>());
        EXPECT_TRUE(IsEqualGUID(GuidOf(ClassInfoOf(first.get()).get()), *method.clsid));
        Option(first.get(), L"first");
        EXPECT_EQ(Option(second.get(), L"second"), L"second");
        EXPECT_EQ(Option(first.get()), L"first");
    }
}

TEST(ConnectorCtrl, SoapSessionsItMadeCallSapAfterTheControlIsGone)
{
    auto control = NewControl();
    com::ptr<ISoapSession> sessions[2];
    for (auto& session : sessions)
        ASSERT_EQ(control->CreateSOAPSession(session.put()), S_OK);
    control = nullptr;

    for (auto& session : sessions) {
        test::AimSession(session.get(), test::SimPort());
        ASSERT_EQ(session->Connect(), S_OK);
        ASSERT_FALSE(test::ErrorOf(session.get()).error) << test::ErrorOf(session.get()).message;
    }
    EXPECT_EQ(sessions[0]->Disconnect(), S_OK);
    VARIANT_BOOL connected = VARIANT_FALSE;
    sessions[1]->get_IsConnected(&connected);
    EXPECT_EQ(connected, VARIANT_TRUE) << "disconnecting one session closed the other";
    ASSERT_EQ(sessions[0]->Connect(), S_OK);

    const wchar_t* texts[] = {L"first session", L"second session"};
    for (int i = 0; i < 2; ++i) {
        auto call = test::Import(sessions[i].get(), L"STFC_CONNECTION");
        ASSERT_TRUE(call);
        test::Set(call.get(), L"REQUTEXT", com::variant(texts[i]));
        ASSERT_EQ(sessions[i]->CallFunction(call.get(), VARIANT_TRUE), S_OK);
        EXPECT_EQ(test::Text(test::Get(call.get(), L"ECHOTEXT")), texts[i]);
    }
}

TEST(ConnectorCtrl, ExtentSurvivesSavingToAStreamAndToAStorage)
{
    const SIZEL extent{3000, 1500};
    ASSERT_FALSE(ExtentOf(NewControl().get()) == extent) << "pick an extent other than the default";

    auto saved = ControlOfExtent(extent).query<IPersistStreamInit>();
    EXPECT_EQ(saved->IsDirty(), S_OK);
    const std::vector<BYTE> bytes = Saved(saved.query<IConnectorCtrl>().get());
    EXPECT_EQ(saved->IsDirty(), S_FALSE);
    const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    for (const char* name : {"_\0c\0x\0", "_\0c\0y\0"})
        EXPECT_NE(raw.find(std::string_view(name, 6)), raw.npos) << "the extent is saved by name";
    auto fromStream = NewControl();
    EXPECT_EQ(fromStream.query<IPersistStreamInit>()->Load(MemoryStream(bytes).get()), S_OK);
    EXPECT_TRUE(ExtentOf(fromStream.get()) == extent);
    EXPECT_EQ(fromStream.query<IPersistStreamInit>()->IsDirty(), S_FALSE);

    com::ptr<ILockBytes> memory;
    com::ptr<IStorage> storage;
    ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, memory.put()), S_OK);
    constexpr DWORD mode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
    ASSERT_EQ(StgCreateDocfileOnILockBytes(memory.get(), mode, 0, storage.put()), S_OK);
    auto inStorage = ControlOfExtent(extent).query<IPersistStorage>();
    EXPECT_EQ(inStorage->Save(storage.get(), TRUE), S_OK);
    EXPECT_EQ(inStorage->SaveCompleted(nullptr), S_OK);
    EXPECT_EQ(inStorage->IsDirty(), S_FALSE);
    ASSERT_EQ(storage->Commit(STGC_DEFAULT), S_OK);
    auto fromStorage = NewControl();
    EXPECT_EQ(fromStorage.query<IPersistStorage>()->Load(storage.get()), S_OK);
    EXPECT_TRUE(ExtentOf(fromStorage.get()) == extent);
}

TEST(ConnectorCtrl, DamagedOrForeignDataIsRefusedAndChangesNothing)
{
    const SIZEL before{111, 222};
    const std::vector<BYTE> good = Saved(ControlOfExtent({3000, 1500}).get());
    auto expectRefused = [&](const std::vector<BYTE>& bytes, HRESULT expected, const char* what) {
        auto control = ControlOfExtent(before);
        EXPECT_EQ(control.query<IPersistStreamInit>()->Load(MemoryStream(bytes).get()), expected) << what;
        EXPECT_TRUE(ExtentOf(control.get()) == before) << what;
    };
    for (size_t cut = 0; cut < good.size(); ++cut)
        expectRefused({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)}, STG_E_READFAULT, "cut short");

    auto patched = [&](size_t offset, std::initializer_list<BYTE> with) {
        std::vector<BYTE> bytes = good;
        std::copy(with.begin(), with.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        return bytes;
    };
    // version, property count, first name's length, first value (the width)
    expectRefused(patched(0, {2}), STG_E_INVALIDHEADER, "another version");
    expectRefused(patched(4, {0xFF, 0xFF, 0xFF, 0xFF}), STG_E_INVALIDHEADER, "four billion properties");
    expectRefused(patched(8, {0xFF, 0xFF}), STG_E_INVALIDHEADER, "a name of 65535 characters");
    expectRefused(patched(16, {0xFF, 0xFF, 0xFF, 0xFF}), STG_E_INVALIDHEADER, "a negative width");
}

TEST(ConnectorCtrl, DrawShowsFrameAndNameInDesignModeAndNothingAtRunTime)
{
    const struct {
        const char* name;
        com::ptr<IConnectorCtrl> control;
        bool shown;
    } modes[] = {{"design mode", ControlOnSite(true), true}, {"run mode", ControlOnSite(false), false},
                 {"no site", NewControl(), false}};
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.name);
        Canvas canvas(kCanvas.right, kCanvas.bottom, kGrey);
        DrawControl(mode.control.get(), canvas, kBounds);
        const RECT drawn = canvas.Drawn(kCanvas, kGrey);
        if (mode.shown)
            ExpectDesignPicture(canvas);
        else
            EXPECT_TRUE(IsRectEmpty(&drawn));
    }
}

TEST(ConnectorCtrl, DrawStaysInItsBoundsAndKeepsTheContainersClipping)
{
    auto control = ControlOnSite(true);
    Canvas narrow(kCanvas.right, kCanvas.bottom, kGrey);
    const RECT tight{90, 40, 110, 60}; // narrower than the name
    DrawControl(control.get(), narrow, tight);
    RECT drawn = narrow.Drawn(kCanvas, kGrey);
    EXPECT_TRUE(EqualRect(&drawn, &tight));

    Canvas clipped(kCanvas.right, kCanvas.bottom, kGrey);
    HRGN containers = CreateRectRgn(0, 0, 100, 100), after = CreateRectRgn(0, 0, 0, 0);
    SelectClipRgn(clipped.dc(), containers);
    DrawControl(control.get(), clipped, kBounds);
    drawn = clipped.Drawn(kCanvas, kGrey);
    EXPECT_EQ(drawn.right, 100) << "drawn outside the container's clipping";
    EXPECT_EQ(GetClipRgn(clipped.dc(), after), 1) << "the container's clipping was removed";
    EXPECT_TRUE(EqualRgn(after, containers));
    DeleteObject(after);
    DeleteObject(containers);
}

TEST(ConnectorCtrl, DataObjectRendersThePictureAsAMetafile)
{
    auto data = ControlOnSite(true).query<IDataObject>();
    FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, format{};
    EXPECT_EQ(data->QueryGetData(&text), DV_E_FORMATETC);
    com::ptr<IEnumFORMATETC> formats;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, formats.put()), S_OK);
    ASSERT_EQ(formats->Next(1, &format, nullptr), S_OK);

    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&format, &medium), S_OK);
    ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_ENHMF));
    Canvas canvas(kCanvas.right, kCanvas.bottom, kGrey);
    PlayEnhMetaFile(canvas.dc(), medium.hEnhMetaFile, &kBounds);
    ReleaseStgMedium(&medium);
    const RECT& b = kBounds; // scaled to the bounds, the frame's lines may land a pixel off
    EXPECT_GE(canvas.DarkPixels({b.left, b.top, b.left + 2, b.bottom}), b.bottom - b.top - 2) << "no frame";
    EXPECT_GT(canvas.DarkPixels({b.left + 3, b.top + 3, b.right - 3, b.bottom - 3}), 20) << "no text";
}

TEST(ConnectorCtrl, QuickActivateTakesSiteModeAndViewSinkAndReportsTheFlags)
{
    auto control = NewControl();
    auto site = com::make<TestSite>(nullptr, false); // the site's ambient says run mode,
    QACONTAINER container{};
    container.cbSize = sizeof container;
    container.pClientSite = site.get();
    container.pAdviseSink = site.get();
    container.dwAmbientFlags = 0; // the flags design mode: they win
    QACONTROL reply{};
    reply.cbSize = sizeof reply;
    auto quick = control.query<IQuickActivate>();
    ASSERT_EQ(quick->QuickActivate(&container, &reply), S_OK);

    DWORD misc = 0, view = 0;
    control.query<IOleObject>()->GetMiscStatus(DVASPECT_CONTENT, &misc);
    control.query<IViewObjectEx>()->GetViewStatus(&view);
    EXPECT_EQ(reply.dwMiscStatus, misc);
    EXPECT_EQ(reply.dwViewStatus, view);
    com::ptr<IOleClientSite> given;
    control.query<IOleObject>()->GetClientSite(given.put());
    EXPECT_EQ(given.get(), static_cast<IOleClientSite*>(site.get()));

    SIZEL extent{5080, 2540}, back{};
    EXPECT_EQ(quick->SetContentExtent(&extent), S_OK);
    EXPECT_GT(site->view_changes, 0);
    EXPECT_EQ(quick->GetContentExtent(&back), S_OK);
    EXPECT_TRUE(back == extent);
    Canvas canvas(kCanvas.right, kCanvas.bottom, kGrey);
    DrawControl(control.get(), canvas, kBounds);
    ExpectDesignPicture(canvas);

    container.cbSize = sizeof(ULONG) * 2; // too short to hold the site and the flags
    EXPECT_EQ(quick->QuickActivate(&container, &reply), E_INVALIDARG);
}

TEST(ConnectorCtrl, ClassInfoIsTheCoclassAndItsDefaultSourceInterface)
{
    auto classInfo = NewControl().query<IProvideClassInfo2>();
    com::ptr<ITypeInfo> coclass;
    ASSERT_EQ(classInfo->GetClassInfo(coclass.put()), S_OK);
    EXPECT_TRUE(IsEqualGUID(GuidOf(coclass.get()), CLSID_ConnectorCtrl));
    GUID answered = CLSID_ConnectorCtrl;
    EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &answered), S_OK);
    EXPECT_TRUE(IsEqualGUID(answered, DefaultSource(coclass.get())));
    EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID + 1, &answered), E_INVALIDARG);
}

TEST(ConnectorCtrl, MiscStatusIsWhatTheRegistrationSaysForEveryAspect)
{
    auto object = NewControl().query<IOleObject>();
    for (DWORD aspect : {DVASPECT_CONTENT, DVASPECT_THUMBNAIL, DVASPECT_ICON, DVASPECT_DOCPRINT}) {
        DWORD registered = 0xFFFFFFFF, answered = 0xFFFFFFFF;
        ASSERT_EQ(OleRegGetMiscStatus(CLSID_ConnectorCtrl, aspect, &registered), S_OK) << aspect;
        EXPECT_EQ(object->GetMiscStatus(aspect, &answered), S_OK);
        EXPECT_EQ(answered, registered) << aspect;
    }
    DWORD content = 0;
    object->GetMiscStatus(DVASPECT_CONTENT, &content);
    EXPECT_TRUE(content & OLEMISC_INVISIBLEATRUNTIME);
}

namespace {

// An object that aggregates another: it answers IUnknown itself, everything else through the
// inner unknown it owns, and counts its references.
class Outer final : public IUnknown {
public:
    ULONG references = 1;
    com::ptr<IUnknown> inner;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = IsEqualIID(iid, IID_IUnknown) ? this : nullptr;
        if (!*out)
            return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (--references)
            return references;
        delete this;
        return 0;
    }
};

} // namespace

TEST(ConnectorCtrl, AggregatedItSpeaksForTheOuterObjectAndGoesWithIt)
{
    com::ptr<IClassFactory> factory;
    ASSERT_EQ(test::TolvaneClassObject(CLSID_ConnectorCtrl, factory.put()), S_OK);
    auto* outer = new Outer;
    com::ptr<IConnectorCtrl> control;
    EXPECT_EQ(factory->CreateInstance(outer, IID_IConnectorCtrl, control.put_void()), CLASS_E_NOAGGREGATION);
    ASSERT_EQ(factory->CreateInstance(outer, IID_IUnknown, outer->inner.put_void()), S_OK);
    factory = nullptr;

    ASSERT_EQ(outer->QueryInterface(IID_IConnectorCtrl, control.put_void()), S_OK);
    EXPECT_EQ(outer->references, 2u) << "the part's interfaces count on the outer object";
    for (auto part : {control.query<IUnknown>(), control.query<IViewObjectEx>().query<IUnknown>()})
        EXPECT_EQ(part.get(), static_cast<IUnknown*>(outer));
    com::ptr<ISoapSession> session;
    EXPECT_EQ(control->CreateSOAPSession(session.put()), S_OK);
    control = nullptr;
    EXPECT_EQ(outer->references, 1u);
    outer->Release(); // the outer object goes, and the control with it
    session = nullptr;
    EXPECT_EQ(test::TolvaneCanUnloadNow(), S_OK) << "something of the DLL is still alive";

    ASSERT_EQ(test::TolvaneClassObject(CLSID_SoapSession, factory.put()), S_OK);
    Outer other;
    com::ptr<IUnknown> inner;
    EXPECT_EQ(factory->CreateInstance(&other, IID_IUnknown, inner.put_void()), CLASS_E_NOAGGREGATION)
        << "a class not made for it is aggregated";
}
