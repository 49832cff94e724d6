#include "SoapNode.h"

#include "SoapError.h"
#include "SoapNodes.h"
#include "TextCodec.h"
#include "ValueText.h"
#include "XsdValue.h"
#include "com/Bstr.h"

namespace soapkit {
namespace {

constexpr std::string_view kSchemaInstance = "http://www.w3.org/2001/XMLSchema-instance";

com::bstr bstr_of(std::string_view utf8) { return com::bstr(to_wide(utf8)); }

} // namespace

com::ptr<ISoapNode> make_node(const std::shared_ptr<XmlTree>& tree, XmlNode* element)
{
    return com::make<CSoapNode>(tree, element);
}

std::string CSoapNode::text() const
{
    std::lock_guard lock(tree_->mutex());
    return text_of(element_);
}

com::variant plain_value(const XmlNode* element)
{
    const auto marker = attribute_of(element, kSchemaInstance, "nil");
    if (marker && (*marker == "true" || *marker == "1"))
        return com::variant::null();
    std::string joined;
    com::variant text;
    V_VT(text.put()) = VT_BSTR;
    V_BSTR(text.addr()) = new_bstr(text_view(element, joined));
    return text;
}

HRESULT CSoapNode::GetValue(VARIANT* value)
{
    return guard([&] {
        com::require_out(value);
        VariantInit(value);
        com::variant content;
        {
            std::lock_guard lock(tree_->mutex());
            content = plain_value(element_);
        }
        *value = content.detach();
    });
}

HRESULT CSoapNode::SetValue(VARIANT value)
{
    return guard([&] {
        const std::string content = value_text(value);
        std::lock_guard lock(tree_->mutex());
        tree_->set_text(element_, content);
    });
}

HRESULT CSoapNode::GetTypedValue(BSTR schemaNamespace, BSTR typeName, VARIANT* value)
{
    return guard([&] {
        com::require_out(value);
        VariantInit(value);
        if (com::view(schemaNamespace) != kXmlSchemaNamespace)
            fail(E_INVALIDARG, L"typed values are read in the XML Schema namespace " + std::wstring(kXmlSchemaNamespace) +
                                   L", not '" + std::wstring(com::view(schemaNamespace)) + L"'");
        *value = decode_xsd(text(), com::view(typeName)).detach();
    });
}

HRESULT CSoapNode::ChildNodes(ISoapNodes** nodes)
{
    return guard([&] {
        com::require_out(nodes);
        *nodes = nullptr;
        return make_nodes(tree_, element_).copy_to(nodes);
    });
}

HRESULT CSoapNode::get_Name(BSTR* localName)
{
    return guard([&] {
        com::require_out(localName);
        *localName = nullptr;
        std::lock_guard lock(tree_->mutex());
        return bstr_of(local_name(element_)).copy_to(localName);
    });
}

HRESULT CSoapNode::get_NamespaceUri(BSTR* uri)
{
    return guard([&] {
        com::require_out(uri);
        *uri = nullptr;
        std::lock_guard lock(tree_->mutex());
        return bstr_of(namespace_of(element_)).copy_to(uri);
    });
}

} // namespace soapkit
