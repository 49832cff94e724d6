#include "SoapNodes.h"

#include "SoapError.h"
#include "SoapNode.h"
#include "TextCodec.h"
#include "ValueText.h"
#include "com/Bstr.h"
#include "com/Enumerator.h"

namespace soapkit {
namespace {

constexpr std::string_view kSchema = "http://www.w3.org/2001/XMLSchema";
constexpr std::string_view kSchemaInstance = "http://www.w3.org/2001/XMLSchema-instance";

bool is_absent(const VARIANT& value) noexcept
{
    return V_VT(&value) == VT_EMPTY || (V_VT(&value) == VT_ERROR && V_ERROR(&value) == DISP_E_PARAMNOTFOUND);
}

void require_name(const std::string& name, const wchar_t* what)
{
    if (!is_xml_name(name))
        fail(E_INVALIDARG, L"'" + to_wide(name) + L"' cannot be used as " + what);
}

} // namespace

com::ptr<ISoapNodes> make_nodes(const std::shared_ptr<XmlTree>& tree, XmlNode* parent)
{
    return com::make<CSoapNodes>(tree, parent);
}

const std::vector<XmlNode*>& CSoapNodes::children()
{
    if (!children_known_ || children_generation_ != tree_->generation()) {
        children_.clear();
        for (XmlNode* n = first_element(parent_); n; n = next_element(n))
            children_.push_back(n);
        children_generation_ = tree_->generation();
        children_known_ = true;
    }
    return children_;
}

HRESULT CSoapNodes::NodeAt(long index, ISoapNode** node)
{
    return guard([&] {
        com::require_out(node);
        *node = nullptr;
        std::lock_guard lock(tree_->mutex());
        const auto& list = children();
        if (index < 0 || static_cast<size_t>(index) >= list.size())
            fail(E_INVALIDARG, L"there is no child element at position " + std::to_wstring(index) + L" (" +
                                   std::to_wstring(list.size()) + L" children, counted from 0)");
        return make_node(tree_, list[static_cast<size_t>(index)]).copy_to(node);
    });
}

HRESULT CSoapNodes::get_Item(long index, ISoapNode** node) { return NodeAt(index, node); }

HRESULT CSoapNodes::FindNode(BSTR name, BSTR namespaceUri, ISoapNode** node)
{
    return guard([&] {
        com::require_out(node);
        *node = nullptr;
        const std::string local = to_utf8(com::view(name)), ns = to_utf8(com::view(namespaceUri));
        std::lock_guard lock(tree_->mutex());
        XmlNode* found = find_element(parent_, local, ns);
        return found ? make_node(tree_, found).copy_to(node) : S_OK;
    });
}

HRESULT CSoapNodes::NodeCount(long* count)
{
    return guard([&] {
        com::require_out(count);
        std::lock_guard lock(tree_->mutex());
        *count = static_cast<long>(children().size());
    });
}

HRESULT CSoapNodes::AddNode(BSTR name, VARIANT value, BSTR namespaceUri, BSTR prefix, BSTR schemaType,
                            ISoapNode** node)
{
    return guard([&] {
        com::require_out(node);
        *node = nullptr;
        const std::string local = to_utf8(com::view(name)), ns = to_utf8(com::view(namespaceUri));
        const std::string pfx = to_utf8(com::view(prefix)), type = to_utf8(com::view(schemaType));
        require_name(local, L"an element name");
        if (!pfx.empty())
            require_name(pfx, L"a namespace prefix");
        if (!type.empty())
            require_name(type, L"an XML Schema type name");
        const std::string content = is_absent(value) ? std::string() : value_text(value);
        std::lock_guard lock(tree_->mutex());
        XmlNode* element = tree_->append_element(parent_, local, ns, pfx);
        if (!type.empty())
            declare_schema_type(element, type);
        if (!content.empty())
            tree_->set_text(element, content);
        return make_node(tree_, element).copy_to(node);
    });
}

void CSoapNodes::declare_schema_type(XmlNode* element, std::string_view type)
{
    if (lookup_namespace(element, "xsi") != kSchemaInstance)
        tree_->set_attribute(element, "xmlns:xsi", kSchemaInstance);
    if (lookup_namespace(element, "xsd") != kSchema)
        tree_->set_attribute(element, "xmlns:xsd", kSchema);
    tree_->set_attribute(element, "xsi:type", "xsd:" + std::string(type));
}

HRESULT CSoapNodes::get__NewEnum(IUnknown** value)
{
    return guard([&] {
        com::require_out(value);
        *value = nullptr;
        std::vector<com::variant> items;
        {
            std::lock_guard lock(tree_->mutex());
            for (XmlNode* child : children())
                items.emplace_back(static_cast<IDispatch*>(make_node(tree_, child).get()));
        }
        return com::new_enum(std::move(items), unknown(), value);
    });
}

} // namespace soapkit
