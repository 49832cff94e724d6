#pragma once

#include "FunctionDesc.h"

#include "WireDescription.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace nwrfc {

// Owns every description: those the caller builds (until it destroys them) and those read from
// a system, cached per system ID for the life of the process, so that a second connection to
// the same system finds them without asking.
class DescriptionStore {
public:
    static DescriptionStore& instance();

    FunctionDesc& createFunction(Ustring name);
    TypeDesc& createType(Ustring name);
    // RFC_ILLEGAL_STATE for a cached description; a destroyed one lives on while a container uses it.
    void destroy(FunctionDesc& desc);
    void destroy(TypeDesc& desc);

    std::shared_ptr<FunctionDesc> cachedFunction(const std::string& sysId, const std::string& name);
    std::shared_ptr<TypeDesc> cachedType(const std::string& sysId, const std::string& name);
    // Turns a description from the gateway into cached library descriptions.
    std::shared_ptr<FunctionDesc> cache(const std::string& sysId, const simwire::FunctionDescription& d);
    std::shared_ptr<TypeDesc> cache(const std::string& sysId, const simwire::TypeDescriptions& d);

private:
    std::shared_ptr<TypeDesc> typeLocked(const std::string& sysId, const std::vector<simwire::TypeDescription>& types,
                                         const std::string& name);

    std::recursive_mutex m_mutex;
    std::map<const void*, std::shared_ptr<FunctionDesc>> m_ownFunctions;
    std::map<const void*, std::shared_ptr<TypeDesc>> m_ownTypes;
    std::map<std::string, std::shared_ptr<FunctionDesc>> m_functionCache; // sysId + "/" + name
    std::map<std::string, std::shared_ptr<TypeDesc>> m_typeCache;
};

RFCTYPE rfcTypeOf(const simwire::WireType& type);

} // namespace nwrfc
