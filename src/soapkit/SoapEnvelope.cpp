#include "SoapEnvelope.h"

#include "SoapError.h"
#include "SoapNodes.h"
#include "TextCodec.h"
#include "com/Bstr.h"
#include "com/SafeArray.h"
#include "com/Variant.h"

namespace soapkit {
namespace {

constexpr std::string_view kSoap11 = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr std::string_view kSoap12 = "http://www.w3.org/2003/05/soap-envelope";
constexpr std::string_view kEnvelopePrefix = "soap";
constexpr std::string_view kRequestPrefix = "m";
constexpr long kDepthCeiling = 1000; // beyond this the parser's recursion could exhaust a stack

std::vector<char> utf8_of(std::wstring_view text)
{
    const std::string utf8 = to_utf8(text);
    std::vector<char> buffer;
    buffer.reserve(utf8.size() + 1);
    buffer.assign(utf8.begin(), utf8.end());
    return buffer;
}

std::vector<char> bytes_text(SAFEARRAY* array, std::wstring_view charset, size_t max_bytes)
{
    if (!array || SafeArrayGetDim(array) != 1)
        fail(E_INVALIDARG, L"the response must be a one-dimensional byte array or a string");
    com::array_data<const char> bytes(array);
    if (bytes.size() > max_bytes)
        fail(result::ParseError, L"the response has " + std::to_wstring(bytes.size()) + L" bytes, more than the limit of " +
                                     std::to_wstring(max_bytes));
    return decode_to_utf8(std::string_view(bytes.data(), bytes.size()), charset);
}

// The response as UTF-8 text: a byte array in its character set, or a string as it stands.
// A response passed by value is read where it is: a copy of a large one costs fresh memory.
std::vector<char> response_text(const VARIANT& response, std::wstring_view charset, size_t max_bytes)
{
    if (V_VT(&response) == (VT_ARRAY | VT_UI1))
        return bytes_text(V_ARRAY(&response), charset, max_bytes);
    if (V_VT(&response) == VT_BSTR)
        return utf8_of(com::view(V_BSTR(&response)));
    com::variant direct;
    com::check(VariantCopyInd(direct.addr(), const_cast<VARIANT*>(&response)));
    if (direct.vt() == VT_BSTR)
        return utf8_of(com::view(V_BSTR(direct.addr())));
    if (direct.vt() != (VT_ARRAY | VT_UI1))
        fail(E_INVALIDARG, L"the response must be a one-dimensional byte array or a string");
    return bytes_text(V_ARRAY(direct.addr()), charset, max_bytes);
}

std::wstring child_text(XmlNode* parent, std::string_view local, std::string_view ns)
{
    XmlNode* child = parent ? find_element(parent, local, ns) : nullptr;
    return child ? to_wide(text_of(child)) : std::wstring();
}

// "faultcode: faultstring" of a SOAP 1.1 fault, or "Code: Reason" of a SOAP 1.2 one.
std::wstring fault_description(XmlNode* fault)
{
    std::wstring code = child_text(fault, "faultcode", ""), text = child_text(fault, "faultstring", "");
    if (code.empty() && text.empty()) {
        code = child_text(find_element(fault, "Code", kSoap12), "Value", kSoap12);
        text = child_text(find_element(fault, "Reason", kSoap12), "Text", kSoap12);
    }
    return L"SOAP fault " + code + L": " + text;
}

} // namespace

CSoapEnvelope::CSoapEnvelope() : document_(new_request()) {}

CSoapEnvelope::Document CSoapEnvelope::new_request()
{
    Document d;
    d.tree = std::make_shared<XmlTree>();
    d.envelope = d.tree->append_element(d.tree->document(), "Envelope", kSoap11, kEnvelopePrefix);
    d.body = d.tree->append_element(d.envelope, "Body", kSoap11, kEnvelopePrefix);
    d.is_request = true;
    return d;
}

CSoapEnvelope::Document CSoapEnvelope::parse_response(std::vector<char> text, const XmlLimits& limits)
{
    Document d;
    d.tree = XmlTree::parse(std::move(text), limits);
    d.envelope = d.tree->root();
    const std::string_view ns = namespace_of(d.envelope);
    if (local_name(d.envelope) != "Envelope" || (ns != kSoap11 && ns != kSoap12))
        fail(result::ParseError, L"the response is not a SOAP envelope (its root element is '" +
                                     to_wide(local_name(d.envelope)) + L"' in '" + to_wide(ns) + L"')");
    d.body = find_element(d.envelope, "Body", ns);
    if (!d.body)
        fail(result::ParseError, L"the SOAP envelope has no Body");
    d.content = first_element(d.body);
    return d;
}

XmlLimits CSoapEnvelope::limits() const
{
    std::lock_guard lock(mutex_);
    return limits_;
}

HRESULT CSoapEnvelope::SetStyleUri(BSTR uri)
{
    return guard([&] {
        const std::string style = to_utf8(com::view(uri));
        std::lock_guard lock(mutex_);
        style_uri_ = style;
    });
}

HRESULT CSoapEnvelope::NameBody(BSTR name, BSTR namespaceUri)
{
    return guard([&] {
        const std::string local = to_utf8(com::view(name)), ns = to_utf8(com::view(namespaceUri));
        if (!is_xml_name(local))
            fail(E_INVALIDARG, L"'" + std::wstring(com::view(name)) + L"' cannot be used as an element name");
        Document request = new_request();
        request.content = request.tree->append_element(request.body, local, ns, kRequestPrefix);
        std::lock_guard lock(mutex_);
        document_ = std::move(request);
    });
}

HRESULT CSoapEnvelope::ReadResponse(VARIANT response, BSTR charset)
{
    return guard([&] {
        const XmlLimits bounds = limits();
        Document parsed = parse_response(response_text(response, com::view(charset), bounds.max_bytes), bounds);
        XmlNode* content = parsed.content;
        const bool is_fault = content && local_name(content) == "Fault" && namespace_of(content) == namespace_of(parsed.envelope);
        {
            std::lock_guard lock(mutex_);
            document_ = std::move(parsed);
        }
        if (is_fault)
            fail(result::Fault, fault_description(content));
    });
}

HRESULT CSoapEnvelope::WriteRequest(BSTR* text)
{
    return guard([&] {
        com::require_out(text);
        *text = nullptr;
        std::shared_ptr<XmlTree> tree;
        XmlNode* target = nullptr;
        std::string style;
        {
            std::lock_guard lock(mutex_);
            if (!document_.is_request)
                fail(result::WrongOrder, L"the envelope holds a response; name a new request body first");
            tree = document_.tree;
            target = document_.content ? document_.content : document_.body;
            style = style_uri_;
        }
        std::lock_guard lock(tree->mutex());
        if (!style.empty())
            tree->set_attribute(target, std::string(kEnvelopePrefix) + ":encodingStyle", style);
        else if (auto* a = target->first_attribute("soap:encodingStyle"))
            target->remove_attribute(a);
        const std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>" + tree->serialize();
        return com::bstr(to_wide(xml)).copy_to(text);
    });
}

HRESULT CSoapEnvelope::BodyNodes(ISoapNodes** nodes)
{
    return guard([&] {
        com::require_out(nodes);
        *nodes = nullptr;
        std::lock_guard lock(mutex_);
        XmlNode* parent = document_.content ? document_.content : document_.body;
        return make_nodes(document_.tree, parent).copy_to(nodes);
    });
}

HRESULT CSoapEnvelope::get_MaxDocumentSize(long* bytes)
{
    return guard([&] {
        com::require_out(bytes);
        std::lock_guard lock(mutex_);
        *bytes = static_cast<long>(limits_.max_bytes);
    });
}

HRESULT CSoapEnvelope::put_MaxDocumentSize(long bytes)
{
    return guard([&] {
        if (bytes <= 0)
            fail(E_INVALIDARG, L"the document size limit must be positive");
        std::lock_guard lock(mutex_);
        limits_.max_bytes = static_cast<size_t>(bytes);
    });
}

HRESULT CSoapEnvelope::get_MaxDepth(long* levels)
{
    return guard([&] {
        com::require_out(levels);
        std::lock_guard lock(mutex_);
        *levels = static_cast<long>(limits_.max_depth);
    });
}

HRESULT CSoapEnvelope::put_MaxDepth(long levels)
{
    return guard([&] {
        if (levels <= 0 || levels > kDepthCeiling)
            fail(E_INVALIDARG, L"the nesting limit must lie between 1 and " + std::to_wstring(kDepthCeiling));
        std::lock_guard lock(mutex_);
        limits_.max_depth = static_cast<unsigned>(levels);
    });
}

} // namespace soapkit
