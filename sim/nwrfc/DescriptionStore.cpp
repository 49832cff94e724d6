#include "DescriptionStore.h"

namespace nwrfc {
namespace {

std::string key(const std::string& sysId, const std::string& name)
{
    return sysId + "/" + name;
}

} // namespace

RFCTYPE rfcTypeOf(const simwire::WireType& type)
{
    if (type.kind == simwire::TypeKind::Structure)
        return RFCTYPE_STRUCTURE;
    if (type.kind == simwire::TypeKind::Table)
        return RFCTYPE_TABLE;
    switch (type.letter) {
    case 'C': return RFCTYPE_CHAR;
    case 'D': return RFCTYPE_DATE;
    case 'P': return RFCTYPE_BCD;
    case 'T': return RFCTYPE_TIME;
    case 'X': return RFCTYPE_BYTE;
    case 'N': return RFCTYPE_NUM;
    case 'F': return RFCTYPE_FLOAT;
    case 'I': return RFCTYPE_INT;
    case 's': return RFCTYPE_INT2;
    case 'b': return RFCTYPE_INT1;
    case 'g': return RFCTYPE_STRING;
    case 'y': return RFCTYPE_XSTRING;
    case 'a': return RFCTYPE_DECF16;
    case 'e': return RFCTYPE_DECF34;
    default: return RFCTYPE_NULL;
    }
}

DescriptionStore& DescriptionStore::instance()
{
    static DescriptionStore* store = new DescriptionStore; // descriptions outlive static destruction
    return *store;
}

FunctionDesc& DescriptionStore::createFunction(Ustring name)
{
    auto desc = std::make_shared<FunctionDesc>(std::move(name));
    std::lock_guard lock(m_mutex);
    m_ownFunctions[desc.get()] = desc;
    return *desc;
}

TypeDesc& DescriptionStore::createType(Ustring name)
{
    auto desc = std::make_shared<TypeDesc>(std::move(name));
    std::lock_guard lock(m_mutex);
    m_ownTypes[desc.get()] = desc;
    return *desc;
}

void DescriptionStore::destroy(FunctionDesc& desc)
{
    if (desc.cached())
        illegalState("function description " + toUtf8(desc.name()) + " belongs to the library's cache");
    std::shared_ptr<FunctionDesc> last;
    std::lock_guard lock(m_mutex);
    const auto it = m_ownFunctions.find(&desc);
    if (it != m_ownFunctions.end()) {
        last = std::move(it->second);
        m_ownFunctions.erase(it);
    }
}

void DescriptionStore::destroy(TypeDesc& desc)
{
    if (desc.cached())
        illegalState("type description " + toUtf8(desc.name()) + " belongs to the library's cache");
    std::shared_ptr<TypeDesc> last;
    std::lock_guard lock(m_mutex);
    const auto it = m_ownTypes.find(&desc);
    if (it != m_ownTypes.end()) {
        last = std::move(it->second);
        m_ownTypes.erase(it);
    }
}

std::shared_ptr<FunctionDesc> DescriptionStore::cachedFunction(const std::string& sysId, const std::string& name)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_functionCache.find(key(sysId, name));
    return it == m_functionCache.end() ? nullptr : it->second;
}

std::shared_ptr<TypeDesc> DescriptionStore::cachedType(const std::string& sysId, const std::string& name)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_typeCache.find(key(sysId, name));
    return it == m_typeCache.end() ? nullptr : it->second;
}

// The cached type of that name, built from the list (with the types it contains) when missing.
std::shared_ptr<TypeDesc> DescriptionStore::typeLocked(const std::string& sysId, const std::vector<simwire::TypeDescription>& types,
                                                       const std::string& name)
{
    if (auto found = m_typeCache.find(key(sysId, name)); found != m_typeCache.end())
        return found->second;
    const simwire::TypeDescription* d = nullptr;
    for (const auto& t : types)
        if (t.name == name)
            d = &t;
    if (d == nullptr)
        throw ApiFailure(RFC_INVALID_PROTOCOL, RFC_GROUP_COMMUNICATION_FAILURE, "RFC_INVALID_PROTOCOL",
                         "the system described no type " + name);
    auto type = std::make_shared<TypeDesc>(fromUtf8(d->name));
    m_typeCache[key(sysId, name)] = type; // before the fields, so that a cycle ends here
    for (const simwire::FieldDescription& f : d->fields) {
        RFC_FIELD_DESC field{};
        copyTo(field.name, f.name);
        field.type = rfcTypeOf(f.type);
        field.nucLength = f.nucLength;
        field.nucOffset = f.nucOffset;
        field.ucLength = f.ucLength;
        field.ucOffset = f.ucOffset;
        field.decimals = f.type.decimals;
        if (f.type.kind != simwire::TypeKind::Scalar)
            field.typeDescHandle = handleOf<RFC_TYPE_DESC_HANDLE>(*typeLocked(sysId, types, f.type.typeName));
        type->addField(field);
    }
    type->setLength(d->nucLength, d->ucLength);
    type->markCached();
    return type;
}

std::shared_ptr<FunctionDesc> DescriptionStore::cache(const std::string& sysId, const simwire::FunctionDescription& d)
{
    std::lock_guard lock(m_mutex);
    if (auto found = m_functionCache.find(key(sysId, d.name)); found != m_functionCache.end())
        return found->second;
    auto function = std::make_shared<FunctionDesc>(fromUtf8(d.name));
    for (const simwire::ParameterDescription& p : d.parameters) {
        RFC_PARAMETER_DESC parameter{};
        copyTo(parameter.name, p.name);
        parameter.type = rfcTypeOf(p.type);
        parameter.direction = static_cast<RFC_DIRECTION>(p.direction);
        parameter.nucLength = p.nucLength;
        parameter.ucLength = p.ucLength;
        parameter.decimals = p.type.decimals;
        if (p.type.kind != simwire::TypeKind::Scalar)
            parameter.typeDescHandle = handleOf<RFC_TYPE_DESC_HANDLE>(*typeLocked(sysId, d.types, p.type.typeName));
        copyTo(parameter.defaultValue, p.defaultValue);
        copyTo(parameter.parameterText, p.text);
        parameter.optional = p.optional ? 1 : 0;
        function->addParameter(parameter);
    }
    for (const simwire::ExceptionDescription& e : d.exceptions) {
        RFC_EXCEPTION_DESC exception{};
        copyTo(exception.key, e.name);
        copyTo(exception.message, e.text);
        function->addException(exception);
    }
    function->markCached();
    m_functionCache[key(sysId, d.name)] = function;
    return function;
}

std::shared_ptr<TypeDesc> DescriptionStore::cache(const std::string& sysId, const simwire::TypeDescriptions& d)
{
    if (d.types.empty())
        throw ApiFailure(RFC_INVALID_PROTOCOL, RFC_GROUP_COMMUNICATION_FAILURE, "RFC_INVALID_PROTOCOL", "empty type description");
    std::lock_guard lock(m_mutex);
    return typeLocked(sysId, d.types, d.types.front().name);
}

} // namespace nwrfc
