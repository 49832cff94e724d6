#include "TypeLibraryReader.h"
#include "TypeInfoDesc.h"
#include "TypeText.h"

#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "com/Variant.h"

#include <map>
#include <stdexcept>

namespace apidoc {

namespace {

// The attributes of a type, copied so that no release is forgotten.
TYPEATTR Attributes(ITypeInfo* info)
{
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr)))
        throw std::runtime_error("a type of the library cannot be read");
    TYPEATTR copy = *attr;
    info->ReleaseTypeAttr(attr);
    return copy;
}

struct Documentation {
    std::wstring name;
    std::wstring help;
};

Documentation Document(ITypeInfo* info, MEMBERID id)
{
    com::bstr name, help;
    info->GetDocumentation(id, name.put(), help.put(), nullptr, nullptr);
    return {name.str(), help.str()};
}

std::vector<std::wstring> Names(ITypeInfo* info, MEMBERID id, UINT count)
{
    std::vector<BSTR> raw(count + 1, nullptr);
    UINT got = 0;
    info->GetNames(id, raw.data(), static_cast<UINT>(raw.size()), &got);
    std::vector<std::wstring> names;
    for (UINT i = 0; i < got; ++i)
        names.push_back(com::bstr::attach(raw[i]).str());
    names.resize(count + 1);
    return names;
}

Parameter ReadParameter(ITypeInfo* info, const ELEMDESC& element, std::wstring name)
{
    const USHORT flags = element.paramdesc.wParamFlags;
    Parameter parameter;
    parameter.name = std::move(name);
    parameter.type = TypeText(info, element.tdesc);
    parameter.byRef = (flags & PARAMFLAG_FOUT) != 0;
    parameter.optional = (flags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) != 0;
    if ((flags & PARAMFLAG_FHASDEFAULT) && element.paramdesc.pparamdescex)
        parameter.defaultValue = DefaultText(element.paramdesc.pparamdescex->varDefaultValue, parameter.type);
    return parameter;
}

struct Signature {
    std::vector<Parameter> parameters;
    std::wstring result;
};

// The arguments and result of one entry. A property's put takes the new value last, whose type
// is the property's own; a dispinterface method returns its result directly.
Signature ReadSignature(ITypeInfo* info, const FuncDesc& f, const std::vector<std::wstring>& names, bool isPut)
{
    Signature signature;
    for (SHORT i = 0; i < f->cParams; ++i) {
        const ELEMDESC& element = f->lprgelemdescParam[i];
        if ((element.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) || (isPut && i + 1 == f->cParams))
            signature.result = TypeText(info, element.tdesc);
        else
            signature.parameters.push_back(ReadParameter(info, element, names[static_cast<size_t>(i) + 1]));
    }
    if (signature.result.empty())
        signature.result = TypeText(info, f->elemdescFunc.tdesc);
    return signature;
}

// One entry of the vtable (or of an event interface) merged into the member it belongs to:
// a property's get and put become one property.
void AddFunction(ITypeInfo* info, const FuncDesc& f, bool isEvent, std::vector<Member>& members,
                 std::map<MEMBERID, size_t>& byId)
{
    const auto names = Names(info, f->memid, static_cast<UINT>(f->cParams));
    auto [at, fresh] = byId.try_emplace(f->memid, members.size());
    if (fresh) {
        members.emplace_back();
        members.back().name = names[0];
        members.back().help = Document(info, f->memid).help;
    }
    Member& member = members[at->second];
    const bool isGet = f->invkind == INVOKE_PROPERTYGET;
    const bool isPut = f->invkind == INVOKE_PROPERTYPUT || f->invkind == INVOKE_PROPERTYPUTREF;
    member.kind = isEvent ? MemberKind::Event : (isGet || isPut) ? MemberKind::Property : MemberKind::Method;
    member.defaultMember = f->memid == DISPID_VALUE;
    member.hidden = member.hidden || (f->wFuncFlags & (FUNCFLAG_FHIDDEN | FUNCFLAG_FRESTRICTED)) != 0;
    member.readable = member.readable || isGet;
    member.writable = member.writable || isPut;
    // A get describes the property best; a put fills in only what no get gave.
    if (fresh || isGet) {
        Signature signature = ReadSignature(info, f, names, isPut);
        member.parameters = std::move(signature.parameters);
        if (!signature.result.empty())
            member.result = std::move(signature.result);
    }
}

} // namespace

Library TypeLibraryReader::Read(const std::wstring& path)
{
    com::ptr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put())))
        throw std::runtime_error("no type library in the file given");
    Library result;
    com::bstr name, help;
    library->GetDocumentation(-1, name.put(), help.put(), nullptr, nullptr);
    result.name = name.str();
    result.help = help.str();
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        com::ptr<ITypeInfo> info;
        if (FAILED(library->GetTypeInfo(i, info.put())))
            throw std::runtime_error("a type of the library cannot be read");
        TypeEntry entry = ReadType(info.get());
        if (!entry.name.empty())
            result.types.push_back(std::move(entry));
    }
    return result;
}

TypeEntry TypeLibraryReader::ReadType(ITypeInfo* info)
{
    const TYPEATTR attr = Attributes(info);
    const Documentation doc = Document(info, MEMBERID_NIL);
    TypeEntry entry;
    entry.name = doc.name;
    entry.help = doc.help;
    switch (attr.typekind) {
    case TKIND_ENUM:
        entry.kind = TypeKind::Enumeration;
        ReadValues(info, entry);
        break;
    case TKIND_INTERFACE:
        ReadInterface(info, entry);
        break;
    case TKIND_DISPATCH:
        if (attr.wTypeFlags & TYPEFLAG_FDUAL) {
            HREFTYPE vtable = 0;
            com::ptr<ITypeInfo> vtableInfo;
            if (FAILED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable)) ||
                FAILED(info->GetRefTypeInfo(vtable, vtableInfo.put())))
                throw std::runtime_error("the vtable of a dual interface cannot be read");
            ReadInterface(vtableInfo.get(), entry);
        } else {
            entry.kind = TypeKind::EventInterface;
            ReadMembers(info, entry);
        }
        break;
    case TKIND_COCLASS:
        entry.kind = TypeKind::Class;
        ReadClass(info, entry);
        break;
    default:
        return {}; // aliases and records: nothing a client works with
    }
    return entry;
}

void TypeLibraryReader::ReadInterface(ITypeInfo* info, TypeEntry& entry)
{
    entry.kind = TypeKind::Interface;
    HREFTYPE base = 0;
    com::ptr<ITypeInfo> baseInfo;
    if (SUCCEEDED(info->GetRefTypeOfImplType(0, &base)) && SUCCEEDED(info->GetRefTypeInfo(base, baseInfo.put())))
        entry.base = Document(baseInfo.get(), MEMBERID_NIL).name;
    ReadMembers(info, entry);
}

void TypeLibraryReader::ReadMembers(ITypeInfo* info, TypeEntry& entry)
{
    const TYPEATTR attr = Attributes(info);
    std::map<MEMBERID, size_t> byId;
    for (UINT i = 0; i < attr.cFuncs; ++i) {
        FuncDesc f(info, i);
        AddFunction(info, f, entry.kind == TypeKind::EventInterface, entry.members, byId);
    }
}

void TypeLibraryReader::ReadValues(ITypeInfo* info, TypeEntry& entry)
{
    const TYPEATTR attr = Attributes(info);
    com::ptr<ITypeInfo2> info2 = com::ptr<ITypeInfo>(info).try_query<ITypeInfo2>();
    for (UINT i = 0; i < attr.cVars; ++i) {
        VarDesc v(info, i);
        EnumValue value;
        value.name = Names(info, v->memid, 0)[0];
        value.help = Document(info, v->memid).help;
        if (v->varkind == VAR_CONST && v->lpvarValue)
            value.value = V_I4(com::variant(*v->lpvarValue).as(VT_I4).addr());
        if (value.help.empty() && info2) {
            com::variant help;
            if (SUCCEEDED(info2->GetVarCustData(i, kValueHelpGuid, help.put())) && V_VT(help.addr()) == VT_BSTR)
                value.help = V_BSTR(help.addr()) ? V_BSTR(help.addr()) : L"";
        }
        entry.values.push_back(std::move(value));
    }
}

void TypeLibraryReader::ReadClass(ITypeInfo* info, TypeEntry& entry)
{
    const TYPEATTR attr = Attributes(info);
    entry.creatable = (attr.wTypeFlags & TYPEFLAG_FCANCREATE) != 0;
    for (UINT i = 0; i < attr.cImplTypes; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        com::ptr<ITypeInfo> implemented;
        if (FAILED(info->GetImplTypeFlags(i, &flags)) || FAILED(info->GetRefTypeOfImplType(i, &ref)) ||
            FAILED(info->GetRefTypeInfo(ref, implemented.put())) || !(flags & IMPLTYPEFLAG_FDEFAULT))
            continue;
        std::wstring name = Document(implemented.get(), MEMBERID_NIL).name;
        (flags & IMPLTYPEFLAG_FSOURCE ? entry.eventInterface : entry.defaultInterface) = std::move(name);
    }
}

} // namespace apidoc
