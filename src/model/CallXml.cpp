#include "CallXml.h"

#include "FunctionCall.h"
#include "RfcType.h"
#include "com/XmlBounds.h"

#include <rapidxml/rapidxml.hpp>
#include <rapidxml/rapidxml_print.hpp>

#include <algorithm>
#include <climits>
#include <iterator>
#include <vector>

namespace tolvane {
namespace {

using Document = rapidxml::xml_document<wchar_t>;
using Node = rapidxml::xml_node<wchar_t>;

constexpr int kMaxDepth = 256;
const wchar_t* const kListElements[] = {L"importing", L"exporting", L"changing", L"tables"};

// ---- writing ---------------------------------------------------------------------------

class Writer {
public:
    explicit Writer(Document& document) : doc_(document) {}

    Node* Element(Node* parent, const wchar_t* name)
    {
        Node* node = doc_.allocate_node(rapidxml::node_element, name);
        if (parent)
            parent->append_node(node);
        else
            doc_.append_node(node);
        return node;
    }

    void Attribute(Node* node, const wchar_t* name, std::wstring_view value)
    {
        const wchar_t* copy = doc_.allocate_string(value.data(), value.size());
        node->append_attribute(doc_.allocate_attribute(name, copy, 0, value.size()));
    }

    void Number(Node* node, const wchar_t* name, long value) { Attribute(node, name, std::to_wstring(value)); }

    void Type(Node* parent, IRfcType* type, int depth)
    {
        if (depth > kMaxDepth)
            throw com::hresult_error(E_INVALIDARG); // a descriptor that contains itself
        Node* node = Element(parent, L"type");
        com::bstr name;
        com::check(type->get_name(name.put()));
        Attribute(node, L"name", name.view());
        switch (KindOf(type)) {
        case RFCTYPEKIND_SCALAR:
            Scalar(node, type);
            break;
        case RFCTYPEKIND_STRUCT:
            Attribute(node, L"kind", L"struct");
            Components(node, type, depth);
            break;
        case RFCTYPEKIND_TABLE: {
            Attribute(node, L"kind", L"table");
            com::ptr<IRfcType> rowType;
            com::check(type->get_RowType(rowType.put()));
            if (rowType)
                Type(node, rowType.get(), depth + 1);
            break;
        }
        default:
            break; // undefined and deep structures: the name only
        }
    }

private:
    void Scalar(Node* node, IRfcType* type)
    {
        ABAPTYPE abapType = TYPE_CHAR;
        short length = 0, decimals = 0;
        long offset = -1, offsetC1 = -1, size = -1, sizeC1 = -1;
        com::check(type->get_ScalarType(&abapType));
        com::check(type->get_ScalarLength(&length));
        com::check(type->get_ScalarDecimals(&decimals));
        com::check(type->get_StructOffset(&offset));
        com::check(type->get_structOffsetC1(&offsetC1));
        com::check(type->get_StructLength(&size));
        com::check(type->get_structLengthC1(&sizeC1));
        Attribute(node, L"kind", L"scalar");
        Number(node, L"abaptype", abapType);
        Number(node, L"length", length);
        Number(node, L"decimals", decimals);
        if (offset != -1)
            Number(node, L"structoffset", offset);
        if (offsetC1 != -1)
            Number(node, L"structoffsetc1", offsetC1);
        if (size != -1)
            Number(node, L"structlength", size);
        if (sizeC1 != -1)
            Number(node, L"structlengthc1", sizeC1);
    }

    void Components(Node* node, IRfcType* type, int depth)
    {
        ForEachComponent(type, [&](IRfcType* component) { Type(node, component, depth + 1); });
    }

    Document& doc_;
};

// ---- reading ---------------------------------------------------------------------------

const wchar_t* AttributeValue(const Node* node, const wchar_t* name)
{
    const auto* attribute = node->first_attribute(name);
    return attribute ? attribute->value() : nullptr;
}

// Leading blanks and a sign, then digits up to the first other character; no digits read as 0.
long ReadNumber(const wchar_t* text, long missing)
{
    if (!text)
        return missing;
    while (*text == L' ' || *text == L'\t')
        ++text;
    const bool negative = *text == L'-';
    if (*text == L'-' || *text == L'+')
        ++text;
    long long value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text)
        value = std::min<long long>(value * 10 + (*text - L'0'), static_cast<long long>(LONG_MAX) + 1);
    value = negative ? -value : value;
    return static_cast<long>(std::clamp<long long>(value, LONG_MIN, LONG_MAX));
}

short ToShort(long value) { return static_cast<short>(std::clamp<long>(value, SHRT_MIN, SHRT_MAX)); }

com::ptr<CRfcType> ReadType(const Node* element);

void ReadScalar(CRfcType& type, const Node* element)
{
    type.SetKind(RFCTYPEKIND_SCALAR);
    type.put_ScalarType(static_cast<ABAPTYPE>(ReadNumber(AttributeValue(element, L"abaptype"), -1)));
    type.put_ScalarLength(ToShort(ReadNumber(AttributeValue(element, L"length"), -1)));
    type.put_ScalarDecimals(ToShort(ReadNumber(AttributeValue(element, L"decimals"), -1)));
    type.SetLayout(ReadNumber(AttributeValue(element, L"structoffset"), -1),
                   ReadNumber(AttributeValue(element, L"structlength"), -1),
                   ReadNumber(AttributeValue(element, L"structoffsetc1"), -1),
                   ReadNumber(AttributeValue(element, L"structlengthc1"), -1));
}

com::ptr<CRfcType> ReadType(const Node* element)
{
    auto type = com::make<CRfcType>();
    if (const wchar_t* name = AttributeValue(element, L"name"))
        type->SetName(SharedString(name));
    const wchar_t* kindText = AttributeValue(element, L"kind");
    const std::wstring_view kind = kindText ? kindText : L"";
    if (kind == L"scalar") {
        ReadScalar(*type, element);
    } else if (kind == L"struct") {
        type->SetKind(RFCTYPEKIND_STRUCT);
        for (const Node* child = element->first_node(L"type"); child; child = child->next_sibling(L"type")) {
            auto component = ReadType(child);
            std::wstring key(component->Name().view());
            type->Components().Append(std::move(component), std::move(key));
        }
    } else if (kind == L"table") {
        type->SetKind(RFCTYPEKIND_TABLE);
        if (const Node* child = element->first_node(L"type")) {
            auto rowType = ReadType(child);
            com::bstr name(type->Name().view());
            // A row type that is not a structure leaves a table without row type.
            type->DefineTable(name.get(), rowType.get());
        }
    }
    return type;
}

struct ParameterPlan {
    int list;
    std::wstring name;
    com::ptr<CRfcType> type;
    const wchar_t* optional;
    const wchar_t* defaultValue;
    const wchar_t* description;
};

} // namespace

std::wstring WriteCallXml(const CFunctionCall& call)
{
    Document doc;
    Writer writer(doc);
    Node* root = writer.Element(nullptr, L"function");
    writer.Attribute(root, L"name", call.Function().view());
    writer.Attribute(root, L"doc", call.Documentation().view());
    for (int list = 0; list < CFunctionCall::kListCount; ++list) {
        const CRfcParameters& parameters = call.Parameters(list);
        for (size_t i = 0; i < parameters.Size(); ++i) {
            IRfcParameter* parameter = parameters.At(i);
            com::bstr name, description, defaultValue;
            VARIANT_BOOL optional = VARIANT_FALSE;
            com::ptr<IRfcType> type;
            com::check(parameter->get_name(name.put()));
            com::check(parameter->get_Description(description.put()));
            com::check(parameter->get_DefaultValue(defaultValue.put()));
            com::check(parameter->get_Optional(&optional));
            com::check(parameter->get_RfcType(type.put()));
            Node* node = writer.Element(root, kListElements[list]);
            writer.Attribute(node, L"name", name.view());
            writer.Attribute(node, L"description", description.view());
            writer.Attribute(node, L"default", defaultValue.view());
            writer.Attribute(node, L"optional", optional != VARIANT_FALSE ? L"X" : L" ");
            if (type)
                writer.Type(node, type.get(), 0);
        }
    }
    std::wstring text;
    rapidxml::print(std::back_inserter(text), doc, 0);
    return text;
}

void ReadCallXml(CFunctionCall& call, std::wstring_view text)
{
    // The recursive parser must never see a document nested deeper than the bound, nor a
    // document type declaration (its markup would escape the nesting scan).
    if (com::xml::check_bounds(text, kMaxDepth) != com::xml::Verdict::Within)
        throw com::hresult_error(E_INVALIDARG);
    std::vector<wchar_t> buffer(text.begin(), text.end());
    buffer.push_back(L'\0');
    Document doc;
    try {
        doc.parse<0>(buffer.data());
    } catch (const rapidxml::parse_error&) {
        throw com::hresult_error(E_INVALIDARG);
    }
    const Node* function = doc.first_node(L"function");
    if (!function)
        throw com::hresult_error(E_INVALIDARG);

    // Build everything first; the call changes only once nothing can fail for want of input.
    std::vector<ParameterPlan> plan;
    for (int list = 0; list < CFunctionCall::kListCount; ++list) {
        for (const Node* element = function->first_node(kListElements[list]); element;
             element = element->next_sibling(kListElements[list])) {
            const wchar_t* name = AttributeValue(element, L"name");
            const Node* typeElement = element->first_node(L"type");
            plan.push_back({list, name ? name : L"", typeElement ? ReadType(typeElement) : com::make<CRfcType>(),
                            AttributeValue(element, L"optional"), AttributeValue(element, L"default"),
                            AttributeValue(element, L"description")});
        }
    }

    if (const wchar_t* name = AttributeValue(function, L"name"))
        call.SetFunction(name);
    if (const wchar_t* doc = AttributeValue(function, L"doc"))
        call.SetDocumentation(doc);
    for (ParameterPlan& p : plan) {
        CRfcParameter& parameter = call.Parameters(p.list).Add(p.name, p.type.get());
        if (p.optional)
            parameter.put_Optional(std::wstring_view(p.optional) == L"X" ? VARIANT_TRUE : VARIANT_FALSE);
        if (p.defaultValue)
            parameter.put_DefaultValue(com::bstr(p.defaultValue).get());
        if (p.description)
            parameter.put_Description(com::bstr(p.description).get());
    }
}

} // namespace tolvane
