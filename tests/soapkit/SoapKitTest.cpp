#include "SoapKitTest.h"

#include "com/SafeArray.h"

#include <memory>
#include <thread>

namespace test {

com::variant Bytes(std::string_view bytes)
{
    com::safearray array = com::safearray::bytes(bytes.size());
    if (!bytes.empty()) {
        com::array_data<char> data(array.get());
        std::copy(bytes.begin(), bytes.end(), data.data());
    }
    com::variant v;
    V_VT(v.addr()) = VT_ARRAY | VT_UI1;
    V_ARRAY(v.addr()) = array.detach();
    return v;
}

std::string BytesOf(const com::variant& value)
{
    EXPECT_EQ(value.vt(), VT_ARRAY | VT_UI1);
    if (value.vt() != (VT_ARRAY | VT_UI1))
        return {};
    com::array_data<const char> data(V_ARRAY(value.addr()));
    return std::string(data.data(), data.size());
}

std::wstring TextOf(const com::variant& value)
{
    EXPECT_EQ(value.vt(), VT_BSTR);
    return value.vt() == VT_BSTR ? std::wstring(com::view(V_BSTR(value.addr()))) : std::wstring();
}

com::ptr<ISoapEnvelope> Read(std::string_view xml, HRESULT* hr)
{
    auto envelope = NewEnvelope();
    const HRESULT result = envelope->ReadResponse(Bytes(xml).get(), com::bstr(L"utf-8").get());
    if (hr)
        *hr = result;
    else
        EXPECT_EQ(result, S_OK) << "ReadResponse: " << std::string(ThreadErrorDescription().begin(), ThreadErrorDescription().end());
    return envelope;
}

std::string ResponseXml(std::string_view body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">"
           "<SOAP-ENV:Header/><SOAP-ENV:Body>" +
           std::string(body) + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

com::ptr<ISoapNodes> Body(ISoapEnvelope* envelope)
{
    com::ptr<ISoapNodes> nodes;
    EXPECT_EQ(envelope->BodyNodes(nodes.put()), S_OK);
    return nodes;
}

com::ptr<ISoapNodes> Children(ISoapNode* node)
{
    com::ptr<ISoapNodes> nodes;
    EXPECT_TRUE(node);
    if (node) {
        EXPECT_EQ(node->ChildNodes(nodes.put()), S_OK);
    }
    return nodes;
}

com::ptr<ISoapNode> Find(ISoapNodes* nodes, std::wstring_view name, std::wstring_view ns)
{
    com::ptr<ISoapNode> node;
    EXPECT_TRUE(nodes);
    if (nodes) {
        EXPECT_EQ(nodes->FindNode(com::bstr(name).get(), com::bstr(ns).get(), node.put()), S_OK);
    }
    return node;
}

com::ptr<ISoapNode> At(ISoapNodes* nodes, long index)
{
    com::ptr<ISoapNode> node;
    EXPECT_EQ(nodes->NodeAt(index, node.put()), S_OK);
    return node;
}

long Count(ISoapNodes* nodes)
{
    long count = -1;
    EXPECT_EQ(nodes->NodeCount(&count), S_OK);
    return count;
}

com::ptr<ISoapNode> Add(ISoapNodes* nodes, std::wstring_view name, const com::variant& value)
{
    com::ptr<ISoapNode> node;
    const com::bstr none(L"");
    EXPECT_EQ(nodes->AddNode(com::bstr(name).get(), value.get(), none.get(), none.get(), none.get(), node.put()), S_OK);
    return node;
}

std::wstring Value(ISoapNode* node)
{
    EXPECT_TRUE(node);
    if (!node)
        return L"<no node>";
    com::variant value;
    EXPECT_EQ(node->GetValue(value.put()), S_OK);
    return TextOf(value);
}

std::wstring Write(ISoapEnvelope* envelope)
{
    com::bstr text;
    EXPECT_EQ(envelope->WriteRequest(text.put()), S_OK);
    return text.str();
}

com::variant Typed(ISoapNode* node, std::wstring_view type, HRESULT* hr)
{
    com::variant value;
    const HRESULT result =
        node->GetTypedValue(com::bstr(soapkit::kXmlSchemaNamespace).get(), com::bstr(type).get(), value.put());
    if (hr)
        *hr = result;
    else
        EXPECT_EQ(result, S_OK);
    return value;
}

bool RunOnWorker(std::function<void()> work, DWORD ms)
{
    struct Run {
        std::function<void()> work;
        HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ~Run() { CloseHandle(done); }
    };
    auto run = std::make_shared<Run>();
    run->work = std::move(work);
    std::thread([run] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        run->work();
        CoUninitialize();
        SetEvent(run->done);
    }).detach();
    return WaitForSingleObject(run->done, ms) == WAIT_OBJECT_0;
}

} // namespace test
