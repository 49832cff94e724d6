#include "SoapComponent.h"

#include "session/SessionRules.h"

#include <ole2.h>

namespace tolvane::soap {
namespace {

template <class I>
com::ptr<I> Create(const CLSID& clsid)
{
    com::ptr<IUnknown> object;
    Check(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, object.put_void()));
    Check(OleRun(object.get()));
    return object.query<I>();
}

std::wstring_view TrimBlanks(std::wstring_view text)
{
    while (!text.empty() && text.front() == L' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ')
        text.remove_suffix(1);
    return text;
}

std::wstring ChildText(ISoapNode* parent, const wchar_t* name)
{
    com::ptr<ISoapNode> child = FindNode(ChildNodes(parent).get(), name);
    if (!child)
        return DisplayText(com::variant());
    com::variant value;
    Check(child->GetValue(value.put()));
    return DisplayText(value);
}

} // namespace

com::ptr<ISoapEnvelope> NewEnvelope() { return Create<ISoapEnvelope>(CLSID_SoapEnvelope); }

com::ptr<IHttpTransport> NewTransport() { return Create<IHttpTransport>(CLSID_HttpTransport); }

std::wstring ElementName(std::wstring_view module)
{
    std::wstring name;
    for (wchar_t c : module) {
        if (c == L'/')
            name += L"_-";
        else
            name += c;
    }
    return name;
}

com::ptr<ISoapEnvelope> BeginRequest(std::wstring_view module)
{
    com::ptr<ISoapEnvelope> envelope = NewEnvelope();
    Check(envelope->NameBody(com::bstr(ElementName(module)).get(), com::bstr(kRfcNamespace).get()));
    Check(envelope->SetStyleUri(com::bstr(L"").get()));
    return envelope;
}

com::ptr<ISoapNode> AddNode(ISoapNodes* nodes, std::wstring_view name, const com::variant& value)
{
    com::ptr<ISoapNode> node;
    const com::bstr none(L"");
    Check(nodes->AddNode(com::bstr(name).get(), value.get(), none.get(), none.get(), none.get(), node.put()));
    return node;
}

com::ptr<ISoapNodes> BodyNodes(ISoapEnvelope* envelope)
{
    com::ptr<ISoapNodes> nodes;
    Check(envelope->BodyNodes(nodes.put()));
    return nodes;
}

com::ptr<ISoapNodes> ChildNodes(ISoapNode* node)
{
    com::ptr<ISoapNodes> nodes;
    Check(node->ChildNodes(nodes.put()));
    return nodes;
}

com::ptr<ISoapNode> FindNode(ISoapNodes* nodes, std::wstring_view name, std::wstring_view ns)
{
    com::ptr<ISoapNode> node;
    Check(nodes->FindNode(com::bstr(name).get(), com::bstr(ns).get(), node.put()));
    return node;
}

std::wstring DisplayText(const com::variant& value)
{
    const VARTYPE vt = value.vt();
    if (vt == VT_NULL)
        return L"{null}";
    if (vt & VT_ARRAY)
        return L"{binary}";
    if (vt == VT_EMPTY || vt == VT_ERROR)
        return L"{empty}";
    com::variant text;
    if (FAILED(value.try_as(VT_BSTR, text)))
        return L"{empty}";
    return std::wstring(com::view(V_BSTR(text.addr())));
}

FaultInfo ReadFault(ISoapEnvelope* envelope, std::wstring_view module) noexcept
{
    try {
        com::ptr<ISoapNode> detail = FindNode(BodyNodes(envelope).get(), L"detail");
        if (!detail)
            return {L"UNKNOWN", L"SOAP fault without detail"};
        com::ptr<ISoapNodes> children = ChildNodes(detail.get());
        // The element is named after the module as the caller gave it; XML names cannot hold
        // "/", so a namespaced module's element is also looked for under its "_-" form.
        com::ptr<ISoapNode> exception = FindNode(children.get(), std::wstring(module) + L".Exception", kRfcNamespace);
        if (!exception && module.find(L'/') != std::wstring_view::npos)
            exception = FindNode(children.get(), ElementName(module) + L".Exception", kRfcNamespace);
        if (exception) {
            std::wstring name = ChildText(exception.get(), L"Name");
            std::wstring message = L"exception " + name + L" in module " + std::wstring(module);
            return {std::move(name), std::move(message)};
        }
        if (auto error = FindNode(children.get(), L"Error", kRfcNamespace)) {
            return {std::wstring(TrimBlanks(ChildText(error.get(), L"type"))),
                    std::wstring(TrimBlanks(ChildText(error.get(), L"message")))};
        }
        return {L"UNKNOWN", L"SOAP fault without exception"};
    } catch (const com::hresult_error& e) {
        return {L"UNKNOWN", e.description()};
    } catch (...) {
        return {L"UNKNOWN", L""};
    }
}

bool IsPasswordParameter(std::wstring_view name) noexcept { return IsSecretName(name); }

std::wstring MaskPasswords(std::wstring text)
{
    for (const wchar_t* name : {L"PASSWORD", L"NEW_PASSWORD"}) {
        const std::wstring open = std::wstring(L"<") + name + L">";
        const std::wstring close = std::wstring(L"</") + name + L">";
        for (size_t start = text.find(open); start != std::wstring::npos; start = text.find(open, start)) {
            start += open.size();
            const size_t end = text.find(close, start);
            if (end == std::wstring::npos)
                break;
            text.replace(start, end - start, L"********");
        }
    }
    return text;
}

} // namespace tolvane::soap
