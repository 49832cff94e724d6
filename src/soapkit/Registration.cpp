#include "Registration.h"

#include "HttpTransport.h"
#include "SoapEnvelope.h"

namespace soapkit {
namespace {

constexpr wchar_t kLibId[] = L"{5A8EE7FF-3CB3-41CB-A75B-36A663A9CF90}";

const com::ClassEntry kClasses[] = {
    {&CLSID_SoapEnvelope, &com::create_instance<CSoapEnvelope>},
    {&CLSID_HttpTransport, &com::create_instance<CHttpTransport>},
};

} // namespace

std::span<const com::ClassEntry> CreatableClasses() noexcept { return kClasses; }

com::ModuleRegistration& Registration() noexcept
{
    // REGISTRY resources: 101 SoapEnvelope, 102 HttpTransport.
    static com::ModuleRegistration registration({101, 102}, {{L"LIBID", kLibId}});
    return registration;
}

} // namespace soapkit
