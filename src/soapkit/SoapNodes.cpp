#include "SoapNodes.h"

#include "SoapError.h"
#include "SoapNode.h"
#include "TextCodec.h"
#include "ValueText.h"
#include "com/Bstr.h"
#include "com/Enumerator.h"
#include "com/SafeArray.h"
#include "XsdValue.h"

#include <algorithm>
#include <optional>

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

// The value of an element's own default namespace declaration, if it has one.
std::optional<std::string_view> own_default_namespace(const XmlNode* element) noexcept
{
    for (auto* a = element->first_attribute(); a; a = a->next_attribute())
        if (std::string_view(a->name(), a->name_size()) == "xmlns")
            return std::string_view(a->value(), a->value_size());
    return std::nullopt;
}

// The columns of a table read, resolved once for all of its rows. A row is walked once,
// matching its children to columns, instead of searching it for every column and resolving
// the namespace of every element met on the way.
class RowReader {
public:
    RowReader(const std::vector<std::wstring>& names, const std::vector<std::wstring>& types)
    {
        for (size_t c = 0; c < names.size(); ++c) {
            names_.push_back(to_utf8(names[c]));
            decoders_.push_back(types[c].empty() ? std::nullopt : std::optional<XsdDecoder>(std::in_place, types[c]));
            first_of_name_.push_back(c);
            for (size_t earlier = 0; earlier < c; ++earlier) {
                if (names_[earlier] == names_[c]) {
                    first_of_name_[c] = earlier;
                    break;
                }
            }
            if (first_of_name_[c] == c)
                ++distinct_;
        }
        found_.resize(names.size());
    }

    // The values of one row, one per column, into `out`. `scope` is the default namespace
    // in scope at the row's parent.
    void read(const XmlNode* row, std::string_view scope, VARIANT* out)
    {
        find_columns(row, own_default_namespace(row).value_or(scope));
        for (size_t c = 0; c < names_.size(); ++c, ++out) {
            const XmlNode* element = found_[first_of_name_[c]];
            if (!element) {
                V_VT(out) = VT_ERROR;
                V_ERROR(out) = DISP_E_PARAMNOTFOUND;
            } else if (!decoders_[c]) {
                *out = plain_value(element).detach();
            } else {
                *out = decoders_[c]->decode(text_view(element, joined_)).detach();
            }
        }
    }

private:
    // For every column, the row's first unqualified child of its name.
    void find_columns(const XmlNode* row, std::string_view scope)
    {
        std::fill(found_.begin(), found_.end(), nullptr);
        size_t next = 0, missing = distinct_;
        for (const XmlNode* child = first_element(row); child && missing > 0; child = next_element(child)) {
            const size_t c = column_named(local_name(child), next);
            if (c == kNone || found_[c] || !is_unqualified(child, scope))
                continue;
            found_[c] = child;
            next = c + 1;
            --missing;
        }
    }

    static bool is_unqualified(const XmlNode* element, std::string_view scope) noexcept
    {
        if (!prefix_of(element).empty())
            return namespace_of(element).empty();
        return own_default_namespace(element).value_or(scope).empty();
    }

    // The first column of that name; the search starts at `from`, where the next column of a
    // row written in column order is.
    size_t column_named(std::string_view name, size_t from) const noexcept
    {
        const size_t n = names_.size();
        for (size_t i = 0; i < n; ++i) {
            const size_t c = (from + i) % n;
            if (first_of_name_[c] == c && names_[c] == name)
                return c;
        }
        return kNone;
    }

    static constexpr size_t kNone = static_cast<size_t>(-1);
    std::vector<std::string> names_;
    std::vector<std::optional<XsdDecoder>> decoders_; // none: the text as GetValue reads it
    std::vector<size_t> first_of_name_;               // a column named like an earlier one reads as it
    size_t distinct_ = 0;
    std::vector<const XmlNode*> found_;
    std::string joined_;
};

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
        RowReader reader(names, types);

        std::lock_guard lock(tree_->mutex());
        const auto& rows = children();
        com::safearray array = com::safearray::vector(VT_VARIANT, com::checked_mul(rows.size(), names.size()));
        if (!names.empty()) {
            const std::string_view scope = lookup_namespace(parent_, "").value_or(std::string_view());
            com::array_data<VARIANT> data(array.get());
            VARIANT* out = data.data();
            for (XmlNode* row : rows) {
                reader.read(row, scope, out);
                out += names.size();
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
