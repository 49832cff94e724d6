// Installed structures, and the descriptions of functions and structures read from the partner.
#include "ApiBoundary.h"
#include "ClientConnection.h"
#include "ConnectionTable.h"
#include "FunctionInfo.h"
#include "MemoryCheck.h"
#include "StringStore.h"
#include "StructureInfo.h"
#include "StructureRegistry.h"
#include "TableRegistry.h"
#include "WideText.h"

#include <cstring>

using namespace classicrfc;

namespace {

std::shared_ptr<ClientConnection> client(RFC_HANDLE handle)
{
    return ConnectionTable::resolve<ClientConnection>(handle, "client connection");
}

template <class T>
void put(T* target, const T& value, const char* what)
{
    if (target == nullptr)
        return;
    if (!MemoryCheck::writable(target, sizeof *target))
        invalidParameter(std::string(what) + " is not writable");
    *target = value;
}

// The exception name for the caller, valid until the connection's next exception.
void reportException(ClientConnection& c, rfc_char_t** exception, const std::string& name)
{
    put(exception, const_cast<rfc_char_t*>(c.keepException(name)), "the exception pointer");
}

// The caller's table (emptied) or a new one, created with `rowLength` and handed back.
InternalTable& targetTable(ITAB_H* handle, unsigned rowLength, const wchar_t* name)
{
    if (!MemoryCheck::writable(handle, sizeof *handle))
        invalidParameter("the table handle is not writable");
    if (*handle != nullptr) {
        InternalTable* t = TableRegistry::find(*handle);
        if (t == nullptr)
            invalidParameter("invalid internal table handle");
        if (t->rowLength() != rowLength)
            invalidParameter("the table's rows must have " + std::to_string(rowLength) + " bytes");
        return *t;
    }
    auto fresh = std::make_unique<InternalTable>(name, rowLength, 0);
    InternalTable& t = *fresh;
    *handle = TableRegistry::add(std::move(fresh));
    return t;
}

RFC_UNICODE_TYPE_ELEMENT elementOf(const FieldLayout& f)
{
    return {nullptr, *typeOfLetter(f.letter), f.decimals, f.nucLength, f.nucOffset, f.length, f.offset, 0, 0};
}

// One block holds the elements and their names, so that RfcReleaseStructInfoU frees both.
RFC_UNICODE_TYPE_ELEMENT* elementsOf(const RowLayout& layout)
{
    const size_t count = layout.fields.size();
    size_t size = count * sizeof(RFC_UNICODE_TYPE_ELEMENT);
    for (const FieldLayout& f : layout.fields)
        size += (wide(f.name).size() + 1) * sizeof(rfc_char_t);
    auto* elements = reinterpret_cast<RFC_UNICODE_TYPE_ELEMENT*>(StringStore::allocate(size));
    if (elements == nullptr)
        throw std::bad_alloc();
    auto* names = reinterpret_cast<rfc_char_t*>(elements + count);
    for (size_t i = 0; i < count; ++i) {
        const std::wstring name = wide(layout.fields[i].name);
        elements[i] = elementOf(layout.fields[i]);
        elements[i].name = names;
        std::memcpy(names, name.c_str(), (name.size() + 1) * sizeof(rfc_char_t));
        names += name.size() + 1;
    }
    return elements;
}

RFC_U_FIELDS fieldRowOf(const std::string& structure, const FieldLayout& f, int position)
{
    RFC_U_FIELDS r{};
    copyFixed(r.Tabname, structure);
    copyFixed(r.Fieldname, f.name);
    r.Position = position;
    r.Exid[0] = static_cast<SAP_CHAR>(f.letter);
    r.Decimals = static_cast<SAP_INT>(f.decimals);
    r.Offset_b1 = static_cast<SAP_INT>(f.nucOffset);
    r.Length_b1 = static_cast<SAP_INT>(f.nucLength);
    r.Offset_b2 = static_cast<SAP_INT>(f.offset);
    r.Length_b2 = static_cast<SAP_INT>(f.length);
    return r;
}

// The kind and total lengths of a described structure, to those of the caller's pointers given.
void reportShape(const StructureInfo& info, RFCTYPE* typeKind, unsigned* b1Length, unsigned* b2Length, unsigned* b4Length,
                 RFC_STRUCT_TYPE_ID* structId)
{
    put(typeKind, info.kind, "the type kind");
    put(b1Length, info.layout->nucLength, "the one-byte length");
    put(b2Length, info.layout->length, "the two-byte length");
    put(b4Length, 0u, "the four-byte length");
    if (structId != nullptr) {
        if (!MemoryCheck::writable(structId, sizeof *structId))
            invalidParameter("the structure id is not writable");
        std::memset(structId, 0, sizeof *structId);
    }
}

// The structure's description; false (with the exception reported) when the partner raised one.
bool described(ClientConnection& c, const std::string& name, StructureInfo& info, rfc_char_t** exception)
{
    std::string raised;
    if (StructureInfo::describe(c, name, info, raised) != RFC_EXCEPTION)
        return true;
    reportException(c, exception, raised);
    return false;
}

RFC_TYPEHANDLE install(const RowLayout& layout)
{
    RFC_UNICODE_TYPE_ELEMENT* elements = elementsOf(layout);
    try {
        const RFC_TYPEHANDLE handle =
            StructureRegistry::install(wide(layout.name), elements, static_cast<unsigned>(layout.fields.size()), nullptr);
        StringStore::release(elements);
        return handle;
    } catch (...) {
        StringStore::release(elements);
        throw;
    }
}

} // namespace

extern "C" {

RFC_RC SAP_API RfcInstallUnicodeStructureU(rfc_char_t* name, RFC_UNICODE_TYPE_ELEMENT* elements, unsigned entries, unsigned /*flag*/,
                                           RFC_STRUCT_TYPE_ID identifier, RFC_TYPEHANDLE* typeHandle)
{
    return guarded([&] {
        if (!MemoryCheck::writable(typeHandle, sizeof *typeHandle))
            invalidParameter("the type handle is not writable");
        *typeHandle = StructureRegistry::install(callerText(name, 30, "the structure name"), elements, entries, identifier);
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcGetFunctionInfoAsTableU(RFC_HANDLE handle, SAP_CHAR* functionName, ITAB_H* itabFunInfo, rfc_char_t** exception)
{
    return guarded([&] {
        const auto c = client(handle);
        const std::string function = utf8(callerText(functionName, 30, "the function name"));
        std::lock_guard lock(c->mutex());
        InternalTable& rows = targetTable(itabFunInfo, sizeof(RFC_U_FUNINT), L"funcinfo");
        std::string raised;
        const RFC_RC rc = FunctionInfo::read(*c, function, rows, raised);
        if (rc == RFC_EXCEPTION)
            reportException(*c, exception, raised);
        return rc;
    });
}

RFC_RC SAP_API RfcGetStructureInfoFlatU(RFC_HANDLE handle, SAP_CHAR* structName, int install, unsigned* cntHeads, RFC_TYPE_HEAD** heads,
                                        unsigned* cntFields, RFC_UNICODE_TYPE_ELEMENT** fields, RFCTYPE* typeKind, unsigned* b1Length,
                                        unsigned* b2Length, unsigned* b4Length, RFC_STRUCT_TYPE_ID* structId, RFC_TYPEHANDLE* typeHandle,
                                        rfc_char_t** exception)
{
    return guarded([&] {
        const auto c = client(handle);
        const std::string name = utf8(callerText(structName, 30, "the structure name"));
        if (!MemoryCheck::writable(cntFields, sizeof *cntFields) || !MemoryCheck::writable(fields, sizeof *fields))
            invalidParameter("the field count and field pointer must be writable");
        std::lock_guard lock(c->mutex());
        StructureInfo info;
        if (!described(*c, name, info, exception))
            return RFC_EXCEPTION;
        put(cntHeads, 0u, "the head count");
        put(heads, static_cast<RFC_TYPE_HEAD*>(nullptr), "the head pointer");
        reportShape(info, typeKind, b1Length, b2Length, b4Length, structId);
        put(typeHandle, install != 0 ? ::install(*info.layout) : RFC_TYPEHANDLE{0}, "the type handle");
        *fields = elementsOf(*info.layout);
        *cntFields = static_cast<unsigned>(info.layout->fields.size());
        return RFC_OK;
    });
}

void SAP_API RfcReleaseStructInfoU(RFC_TYPE_HEAD* /*heads*/, RFC_UNICODE_TYPE_ELEMENT* fields)
{
    StringStore::release(fields);
}

RFC_RC SAP_API RfcGetStructureInfoAsTableU(RFC_HANDLE handle, SAP_CHAR* structName, ITAB_H* itabStruct, ITAB_H* itabHeads,
                                           RFCTYPE* typeKind, unsigned* b1Length, unsigned* b2Length, unsigned* b4Length,
                                           RFC_STRUCT_TYPE_ID* structId, rfc_char_t** exception)
{
    return guarded([&] {
        const auto c = client(handle);
        const std::string name = utf8(callerText(structName, 30, "the structure name"));
        std::lock_guard lock(c->mutex());
        StructureInfo info;
        if (!described(*c, name, info, exception))
            return RFC_EXCEPTION;
        InternalTable& rows = targetTable(itabStruct, sizeof(RFC_U_FIELDS), L"fields");
        rows.clear();
        int position = 0;
        for (const FieldLayout& f : info.layout->fields) {
            const RFC_U_FIELDS r = fieldRowOf(info.layout->name, f, ++position);
            std::memcpy(rows.append(), &r, sizeof r);
        }
        put(itabHeads, static_cast<ITAB_H>(nullptr), "the heads table");
        reportShape(info, typeKind, b1Length, b2Length, b4Length, structId);
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcExidToRfcTypeU(SAP_CHAR exid, RFCTYPE* type)
{
    return guarded([&] {
        const auto code = exid < 0x80 ? typeOfLetter(static_cast<char>(exid)) : std::nullopt;
        if (!code)
            invalidParameter("unknown type letter");
        put(type, *code, "the type");
        return RFC_OK;
    });
}

} // extern "C"
