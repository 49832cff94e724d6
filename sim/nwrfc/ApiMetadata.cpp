// Descriptions: reading them from the system (cached per system ID) and building them.
#include "ApiBoundary.h"
#include "ClientConnection.h"
#include "Record.h"
#include "Table.h"
#include "DescriptionStore.h"

using namespace nwrfc;

namespace {

ClientConnection& clientConnection(RFC_CONNECTION_HANDLE h)
{
    return resolve<ClientConnection>(h, HandleKind::Connection, "client connection");
}

FunctionDesc& functionDesc(RFC_FUNCTION_DESC_HANDLE h)
{
    return resolve<FunctionDesc>(h, HandleKind::FunctionDesc, "function description");
}

TypeDesc& typeDesc(RFC_TYPE_DESC_HANDLE h)
{
    return resolve<TypeDesc>(h, HandleKind::TypeDesc, "type description");
}

std::string abapName(const SAP_UC* name)
{
    require(name, "name");
    const std::string n = upper(toUtf8(view(name)));
    if (n.empty() || n.size() > 30)
        invalidParameter("'" + n + "' is not a name of 1 to 30 characters");
    return n;
}

template <class T>
void countOf(const std::vector<T>& list, unsigned* count)
{
    require(count, "count");
    *count = static_cast<unsigned>(list.size());
}

// The index-th record of a description, copied into the caller's.
template <class T>
void copyAt(const std::vector<T>& list, unsigned index, T* out, const char* what)
{
    require(out, what);
    if (index >= list.size())
        invalidParameter(std::string(what) + " index " + std::to_string(index) + " out of range");
    *out = list[index];
}

} // namespace

extern "C" {

RFC_FUNCTION_DESC_HANDLE SAP_API RfcGetFunctionDesc(RFC_CONNECTION_HANDLE h, const SAP_UC* funcName, RFC_ERROR_INFO* e)
{
    return guardedHandle<RFC_FUNCTION_DESC_HANDLE>(e, "RfcGetFunctionDesc", [&] {
        ClientConnection& c = clientConnection(h);
        const std::string name = abapName(funcName);
        DescriptionStore& store = DescriptionStore::instance();
        auto desc = store.cachedFunction(c.attributes().sysId, name);
        if (!desc) {
            c.trace(2, "reading the description of " + name);
            try {
                desc = store.cache(c.attributes().sysId, c.gateway().describeFunction(name));
            } catch (const simrfc::RfcFailure& f) {
                rethrow(f);
            }
        }
        return handleOf<RFC_FUNCTION_DESC_HANDLE>(*desc);
    });
}

RFC_TYPE_DESC_HANDLE SAP_API RfcGetTypeDesc(RFC_CONNECTION_HANDLE h, const SAP_UC* typeName, RFC_ERROR_INFO* e)
{
    return guardedHandle<RFC_TYPE_DESC_HANDLE>(e, "RfcGetTypeDesc", [&] {
        ClientConnection& c = clientConnection(h);
        const std::string name = abapName(typeName);
        DescriptionStore& store = DescriptionStore::instance();
        auto desc = store.cachedType(c.attributes().sysId, name);
        if (!desc) {
            try {
                desc = store.cache(c.attributes().sysId, c.gateway().describeType(name));
            } catch (const simrfc::RfcFailure& f) {
                rethrow(f);
            }
        }
        return handleOf<RFC_TYPE_DESC_HANDLE>(*desc);
    });
}

RFC_RC SAP_API RfcGetParameterCount(RFC_FUNCTION_DESC_HANDLE h, unsigned* count, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetParameterCount", [&] { countOf(functionDesc(h).parameters(), count); });
}

RFC_RC SAP_API RfcGetParameterDescByIndex(RFC_FUNCTION_DESC_HANDLE h, unsigned index, RFC_PARAMETER_DESC* desc, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetParameterDescByIndex", [&] { copyAt(functionDesc(h).parameters(), index, desc, "paramDesc"); });
}

RFC_RC SAP_API RfcGetParameterDescByName(RFC_FUNCTION_DESC_HANDLE h, const SAP_UC* name, RFC_PARAMETER_DESC* desc, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetParameterDescByName", [&] {
        require(desc, "paramDesc");
        require(name, "name");
        *desc = functionDesc(h).parameter(view(name));
    });
}

RFC_RC SAP_API RfcGetExceptionCount(RFC_FUNCTION_DESC_HANDLE h, unsigned* count, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetExceptionCount", [&] { countOf(functionDesc(h).exceptions(), count); });
}

RFC_RC SAP_API RfcGetExceptionDescByIndex(RFC_FUNCTION_DESC_HANDLE h, unsigned index, RFC_EXCEPTION_DESC* desc, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetExceptionDescByIndex", [&] { copyAt(functionDesc(h).exceptions(), index, desc, "excDesc"); });
}

RFC_RC SAP_API RfcGetFieldCount(RFC_TYPE_DESC_HANDLE h, unsigned* count, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetFieldCount", [&] { countOf(typeDesc(h).fields(), count); });
}

RFC_RC SAP_API RfcGetFieldDescByIndex(RFC_TYPE_DESC_HANDLE h, unsigned index, RFC_FIELD_DESC* desc, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetFieldDescByIndex", [&] { copyAt(typeDesc(h).fields(), index, desc, "fieldDescr"); });
}

RFC_RC SAP_API RfcGetFieldDescByName(RFC_TYPE_DESC_HANDLE h, const SAP_UC* name, RFC_FIELD_DESC* desc, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetFieldDescByName", [&] {
        require(desc, "fieldDescr");
        require(name, "name");
        *desc = typeDesc(h).field(view(name));
    });
}

RFC_RC SAP_API RfcGetTypeName(RFC_TYPE_DESC_HANDLE h, RFC_CHAR* buffer, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetTypeName", [&] {
        require(buffer, "bufferForName");
        copyTo(buffer, 31, typeDesc(h).name());
    });
}

RFC_RC SAP_API RfcGetTypeLength(RFC_TYPE_DESC_HANDLE h, unsigned* nucByteLength, unsigned* ucByteLength, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetTypeLength", [&] {
        const TypeDesc& t = typeDesc(h);
        if (nucByteLength != nullptr)
            *nucByteLength = t.nucLength();
        if (ucByteLength != nullptr)
            *ucByteLength = t.ucLength();
    });
}

RFC_FUNCTION_DESC_HANDLE SAP_API RfcDescribeFunction(RFC_FUNCTION_HANDLE h, RFC_ERROR_INFO* e)
{
    return guardedHandle<RFC_FUNCTION_DESC_HANDLE>(e, "RfcDescribeFunction", [&] {
        return handleOf<RFC_FUNCTION_DESC_HANDLE>(*Record::function(h).function());
    });
}

RFC_TYPE_DESC_HANDLE SAP_API RfcDescribeType(DATA_CONTAINER_HANDLE h, RFC_ERROR_INFO* e)
{
    return guardedHandle<RFC_TYPE_DESC_HANDLE>(e, "RfcDescribeType", [&] {
        DataContainer& c = resolve<DataContainer>(h, HandleKind::Data, "data container");
        if (auto* t = dynamic_cast<Table*>(&c))
            return handleOf<RFC_TYPE_DESC_HANDLE>(*t->rowType());
        auto& r = dynamic_cast<Record&>(c);
        if (r.isFunction())
            invalidHandle("a function has no type description (RfcDescribeFunction)");
        return handleOf<RFC_TYPE_DESC_HANDLE>(*r.type());
    });
}

RFC_RC SAP_API RfcGetFunctionName(RFC_FUNCTION_DESC_HANDLE h, RFC_CHAR* buffer, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetFunctionName", [&] {
        require(buffer, "bufferForName");
        copyTo(buffer, 31, functionDesc(h).name());
    });
}

RFC_FUNCTION_DESC_HANDLE SAP_API RfcCreateFunctionDesc(const SAP_UC* name, RFC_ERROR_INFO* e)
{
    return guardedHandle<RFC_FUNCTION_DESC_HANDLE>(e, "RfcCreateFunctionDesc", [&] {
        require(name, "name");
        if (view(name).empty() || view(name).size() > 30)
            invalidParameter("a function name has 1 to 30 characters");
        return handleOf<RFC_FUNCTION_DESC_HANDLE>(DescriptionStore::instance().createFunction(Ustring(view(name))));
    });
}

RFC_RC SAP_API RfcAddParameter(RFC_FUNCTION_DESC_HANDLE h, const RFC_PARAMETER_DESC* desc, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcAddParameter", [&] {
        FunctionDesc& f = functionDesc(h);
        require(desc, "paramDescr");
        f.addParameter(*desc);
    });
}

RFC_RC SAP_API RfcAddException(RFC_FUNCTION_DESC_HANDLE h, const RFC_EXCEPTION_DESC* desc, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcAddException", [&] {
        FunctionDesc& f = functionDesc(h);
        require(desc, "excDesc");
        f.addException(*desc);
    });
}

RFC_RC SAP_API RfcDestroyFunctionDesc(RFC_FUNCTION_DESC_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcDestroyFunctionDesc", [&] { DescriptionStore::instance().destroy(functionDesc(h)); });
}

RFC_TYPE_DESC_HANDLE SAP_API RfcCreateTypeDesc(const SAP_UC* name, RFC_ERROR_INFO* e)
{
    return guardedHandle<RFC_TYPE_DESC_HANDLE>(e, "RfcCreateTypeDesc", [&] {
        require(name, "name");
        if (view(name).empty() || view(name).size() > 30)
            invalidParameter("a type name has 1 to 30 characters");
        return handleOf<RFC_TYPE_DESC_HANDLE>(DescriptionStore::instance().createType(Ustring(view(name))));
    });
}

RFC_RC SAP_API RfcAddTypeField(RFC_TYPE_DESC_HANDLE h, const RFC_FIELD_DESC* desc, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcAddTypeField", [&] {
        TypeDesc& t = typeDesc(h);
        require(desc, "fieldDescr");
        t.addField(*desc);
    });
}

RFC_RC SAP_API RfcSetTypeLength(RFC_TYPE_DESC_HANDLE h, unsigned nucByteLength, unsigned ucByteLength, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcSetTypeLength", [&] { typeDesc(h).setLength(nucByteLength, ucByteLength); });
}

RFC_RC SAP_API RfcDestroyTypeDesc(RFC_TYPE_DESC_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcDestroyTypeDesc", [&] { DescriptionStore::instance().destroy(typeDesc(h)); });
}

} // extern "C"
