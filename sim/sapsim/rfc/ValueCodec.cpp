#include "rfc/ValueCodec.h"

#include "dictionary/ScalarCodec.h"
#include "dictionary/Structure.h"
#include "rfc/RfcError.h"
#include "xml/XmlWriter.h"

namespace sapsim {
namespace {

[[noreturn]] void conversion(const std::string& path, const std::string& why)
{
    throw SystemFailure(SystemFailure::conversionError, path + ": " + why);
}

void requireUnqualified(const XmlElement& e, const std::string& path)
{
    if (!e.ns.empty())
        throw SystemFailure(SystemFailure::parameterUnknown,
                            path + ": element {" + e.ns + "}" + e.name + " must be unqualified");
}

Value readStructure(const XmlElement& element, const Structure& s, const std::string& path)
{
    if (!element.hasBlankTextOnly())
        conversion(path, "a structure holds fields, not text");
    Value v = initialValue(DataType{TypeKind::Structure, {}, &s, s.name});
    std::vector<bool> seen(s.components.size(), false);
    for (const XmlElement* child : element.children) {
        const std::string childPath = path + "-" + child->name;
        requireUnqualified(*child, childPath);
        const int i = s.indexOf(child->name);
        if (i < 0)
            throw SystemFailure(SystemFailure::parameterUnknown, childPath + ": structure " + s.name + " has no field " + child->name);
        if (seen[static_cast<size_t>(i)])
            conversion(childPath, "field given twice");
        seen[static_cast<size_t>(i)] = true;
        v.items[static_cast<size_t>(i)] = ValueCodec::read(*child, s.components[static_cast<size_t>(i)].type, childPath);
    }
    return v;
}

Value readTable(const XmlElement& element, const Structure& row, const std::string& path)
{
    if (!element.hasBlankTextOnly())
        conversion(path, "a table holds item elements, not text");
    Value v;
    v.items.reserve(element.children.size());
    for (const XmlElement* child : element.children) {
        const std::string rowPath = path + "[" + std::to_string(v.items.size() + 1) + "]";
        requireUnqualified(*child, rowPath);
        if (child->name != "item")
            conversion(rowPath, "table rows are 'item' elements, not '" + child->name + "'");
        v.items.push_back(readStructure(*child, row, rowPath));
    }
    return v;
}

} // namespace

Value ValueCodec::read(const XmlElement& element, const DataType& type, const std::string& path)
{
    switch (type.kind) {
    case TypeKind::Scalar:
        if (!element.children.empty())
            conversion(path, "a scalar value holds no elements");
        try {
            return Value{ScalarCodec::fromText(type.scalar, element.text), {}};
        } catch (const ConversionError& e) {
            conversion(path, e.what());
        }
    case TypeKind::Structure:
        return readStructure(element, *type.structure, path);
    case TypeKind::Table:
        return readTable(element, *type.structure, path);
    }
    return {};
}

void ValueCodec::write(std::string& out, std::string_view name, const Value& value, const DataType& type)
{
    XmlWriter xml(out);
    switch (type.kind) {
    case TypeKind::Scalar:
        xml.element(name, ScalarCodec::toXml(type.scalar, value.scalar));
        return;
    case TypeKind::Structure: {
        xml.open(name);
        const auto& components = type.structure->components;
        for (size_t i = 0; i < components.size(); ++i)
            write(out, components[i].name, value.items[i], components[i].type);
        xml.close(name);
        return;
    }
    case TypeKind::Table: {
        if (value.items.empty()) {
            xml.element(name, {});
            return;
        }
        xml.open(name);
        const DataType row{TypeKind::Structure, {}, type.structure, type.structure->name};
        for (const Value& item : value.items)
            write(out, "item", item, row);
        xml.close(name);
        return;
    }
    }
}

} // namespace sapsim
