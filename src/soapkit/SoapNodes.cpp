#include "SoapNodes.h"

#include "SoapError.h"
#include "SoapNode.h"
#include "TextCodec.h"
#include "ValueText.h"
#include "com/Bstr.h"
#include "com/Enumerator.h"
#include "com/SafeArray.h"
#include "XsdValue.h"

namespace soapkit {
namespace {

constexpr std::string_view kSchema = "http://www.w3.org/2001/XMLSchema";
constexpr std::string_view kSchemaInstance = "http://www.w3.org/2001/XMLSchema-instance";

bool is_absent(const VARIANT& value) noexcept
{
    return V_VT(&value) == VT_EMPTY || (V_VT(&value) == VT_ERROR && V_ERROR(&value) == DISP_E_PARAMNOTFOUND);
}

// The texts of an array argument (of strings, or of variants holding strings).
std::vector<std::wstring> texts_of(const VARIANT& argument)
{
    const VARIANT* v = &argument;
    if (V_VT(v) == (VT_BYREF | VT_VARIANT))
        v = V_VARIANTREF(v);
    std::vector<std::wstring> texts;
    if (V_VT(v) == (VT_ARRAY | VT_BSTR)) {
        com::array_data<BSTR> data(V_ARRAY(v));
        for (BSTR s : data.span())
            texts.emplace_back(com::view(s));
    } else if (V_VT(v) == (VT_ARRAY | VT_VARIANT)) {
        com::array_data<VARIANT> data(V_ARRAY(v));
        for (const VARIANT& item : data.span()) {
            com::variant text;
            if (FAILED(com::variant(item).try_as(VT_BSTR, text)))
                fail(E_INVALIDARG, L"the column arrays must hold text");
            texts.emplace_back(com::view(V_BSTR(text.addr())));
        }
    } else {
        fail(E_INVALIDARG, L"columns and types are passed as arrays of text");
    }
    return texts;
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

HRESULT CSoapNodes::ReadRows(VARIANT columns, VARIANT schemaTypes, VARIANT* values)
{
    return guard([&] {
        com::require_out(values);
        VariantInit(values);
        const std::vector<std::wstring> names = texts_of(columns), types = texts_of(schemaTypes);
        if (names.size() != types.size())
            fail(E_INVALIDARG, L"one XML Schema type name (or none) is needed per column");
        std::vector<std::string> local;
        for (const auto& name : names)
            local.push_back(to_utf8(name));

        std::lock_guard lock(tree_->mutex());
        const auto& rows = children();
        com::safearray array(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(rows.size() * names.size())));
        if (!array.get())
            throw std::bad_alloc();
        {
            com::array_data<VARIANT> data(array.get());
            VARIANT* out = data.data();
            for (XmlNode* row : rows) {
                for (size_t c = 0; c < names.size(); ++c, ++out) {
                    const XmlNode* element = find_element(row, local[c], "");
                    if (!element) {
                        V_VT(out) = VT_ERROR;
                        V_ERROR(out) = DISP_E_PARAMNOTFOUND;
                    } else if (types[c].empty()) {
                        *out = plain_value(element).detach();
                    } else {
                        *out = decode_xsd(text_of(element), types[c]).detach();
                    }
                }
            }
        }
        V_VT(values) = VT_ARRAY | VT_VARIANT;
        V_ARRAY(values) = array.detach();
    });
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
