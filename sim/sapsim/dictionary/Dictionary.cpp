#include "dictionary/Dictionary.h"

#include <stdexcept>

namespace sapsim {
namespace {

// Largest lengths accepted from declarations; beyond them a field cannot travel in one
// table row or is simply a mistake in a data file.
constexpr int maxCharLength = 65535;
constexpr int maxPackedBytes = 16;

ScalarType scalarOf(char letter, int length, int decimals)
{
    ScalarType t{letter, length, decimals};
    if (const int fixed = ScalarType::fixedLength(letter)) {
        t.length = fixed;
        t.decimals = 0;
        return t;
    }
    if (letter == 'P') {
        if (length < 1 || length > maxPackedBytes)
            throw std::runtime_error("packed length must be 1.." + std::to_string(maxPackedBytes) + " bytes");
        if (decimals < 0 || decimals >= t.digits())
            throw std::runtime_error("decimals must be below the number of digits");
        return t;
    }
    if (length < 1 || length > maxCharLength)
        throw std::runtime_error(std::string("type ") + letter + " needs a length of 1.." + std::to_string(maxCharLength));
    t.decimals = 0;
    return t;
}

} // namespace

Structure& Dictionary::addStructure(const std::string& name)
{
    if (contains(name))
        throw std::runtime_error("dictionary name '" + name + "' defined twice");
    auto& slot = m_structures[name];
    slot = std::make_unique<Structure>();
    slot->name = name;
    return *slot;
}

TableType& Dictionary::addTableType(const std::string& name)
{
    if (contains(name))
        throw std::runtime_error("dictionary name '" + name + "' defined twice");
    auto& slot = m_tableTypes[name];
    slot = std::make_unique<TableType>();
    slot->name = name;
    return *slot;
}

const Structure* Dictionary::structure(const std::string& name) const
{
    const auto it = m_structures.find(name);
    return it == m_structures.end() ? nullptr : it->second.get();
}

const TableType* Dictionary::tableType(const std::string& name) const
{
    const auto it = m_tableTypes.find(name);
    return it == m_tableTypes.end() ? nullptr : it->second.get();
}

Structure* Dictionary::editStructure(const std::string& name)
{
    const auto it = m_structures.find(name);
    return it == m_structures.end() ? nullptr : it->second.get();
}

TableType* Dictionary::editTableType(const std::string& name)
{
    const auto it = m_tableTypes.find(name);
    return it == m_tableTypes.end() ? nullptr : it->second.get();
}

std::vector<const Structure*> Dictionary::structures() const
{
    std::vector<const Structure*> out;
    for (const auto& [name, s] : m_structures)
        out.push_back(s.get());
    return out;
}

bool Dictionary::contains(const std::string& name) const
{
    return m_structures.count(name) != 0 || m_tableTypes.count(name) != 0;
}

DataType Dictionary::resolve(const std::string& type, int length, int decimals, const std::string& typeName) const
{
    DataType result;
    if (type.size() == 1 && ScalarType::knownLetter(type[0])) {
        result.kind = TypeKind::Scalar;
        result.scalar = scalarOf(type[0], length, decimals);
        result.name = typeName.empty() ? result.scalar.predefinedName() : typeName;
    } else if (const Structure* s = structure(type)) {
        result.kind = TypeKind::Structure;
        result.structure = s;
        result.name = type;
    } else if (const TableType* tt = tableType(type)) {
        result.kind = TypeKind::Table;
        result.structure = tt->row;
        result.name = type;
    } else {
        throw std::runtime_error("unknown type '" + type + "'");
    }
    return result;
}

} // namespace sapsim
