#include "ApiMarkdown.h"

#include <cwchar>
#include <cwctype>

namespace apidoc {

namespace {

// Text that stays inside one table cell.
std::wstring Cell(std::wstring_view text)
{
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'|')
            out += L"\\|";
        else if (c == L'\n')
            out += L"<br>";
        else if (c != L'\r')
            out += c;
    }
    return out;
}

std::wstring Link(std::wstring_view name)
{
    return L"[" + std::wstring(name) + L"](#" + ApiMarkdown::Anchor(name) + L")";
}

// A type name links to its description when the library describes it.
std::wstring TypeLink(const Library& library, const std::wstring& name)
{
    return library.Find(name) ? Link(name) : L"`" + name + L"`";
}

std::wstring ParameterText(const Parameter& p)
{
    std::wstring text = (p.byRef ? L"ByRef " : L"") + p.name;
    if (!p.type.empty())
        text += L" As " + p.type;
    if (!p.defaultValue.empty())
        text += L" = " + p.defaultValue;
    return p.optional ? L"[" + text + L"]" : text;
}

std::wstring KindText(const Member& member)
{
    std::wstring text;
    switch (member.kind) {
    case MemberKind::Method: text = L"Method."; break;
    case MemberKind::Event: text = L"Event."; break;
    case MemberKind::Property:
        text = member.readable && member.writable ? L"Property, read/write."
               : member.readable                  ? L"Property, read-only."
                                                  : L"Property, write-only.";
        break;
    }
    if (member.defaultMember)
        text += L" Default member.";
    if (member.hidden)
        text += L" Hidden.";
    return L"*" + text + L"*";
}

std::vector<const TypeEntry*> OfKind(const Library& library, TypeKind kind)
{
    std::vector<const TypeEntry*> found;
    for (const TypeEntry& type : library.types)
        if (type.kind == kind)
            found.push_back(&type);
    return found;
}

std::wstring Heading(const Library& library, const wchar_t* part) { return library.name + L" " + part; }

const wchar_t* const kMessagesIntro =
    L"A method used the wrong way, or given a value it cannot convert, fails with the error code "
    L"&H80040000 + n (`Err.Number` in VBA and VBScript) and the text of message n (`Err.Description`). "
    L"Failures in SAP or on the network do not fail the method: they set the session's `Error` and "
    L"`ErrorInfo`. `DecodeInternalError` of a session returns the text for a number or an error code. "
    L"The texts below are read from the message table of Tolvane.dll.";

} // namespace

ApiMarkdown::ApiMarkdown(std::wstring intro, std::vector<Library> libraries, std::vector<Message> messages)
    : intro_(std::move(intro)), libraries_(std::move(libraries)), messages_(std::move(messages))
{
}

std::wstring ApiMarkdown::Anchor(std::wstring_view heading)
{
    std::wstring anchor;
    for (wchar_t c : heading) {
        if (std::iswalnum(c) || c == L'_' || c == L'-')
            anchor += static_cast<wchar_t>(std::towlower(c));
        else if (c == L' ')
            anchor += L'-';
    }
    return anchor;
}

std::wstring ApiMarkdown::Signature(const Member& member)
{
    std::wstring parameters;
    for (const Parameter& p : member.parameters)
        parameters += (parameters.empty() ? L"" : L", ") + ParameterText(p);
    std::wstring text = member.name;
    if (member.kind != MemberKind::Property || !member.parameters.empty())
        text += L"(" + parameters + L")";
    if (!member.result.empty())
        text += L" As " + member.result;
    return text;
}

std::wstring ApiMarkdown::Write() const
{
    std::wstring out = intro_;
    if (!out.empty() && out.back() != L'\n')
        out += L'\n';
    WriteContents(out);
    for (const Library& library : libraries_)
        WriteLibrary(out, library);
    if (!messages_.empty())
        WriteMessages(out);
    return out;
}

void ApiMarkdown::WriteContents(std::wstring& out) const
{
    out += L"\n## Contents\n\n";
    const std::pair<TypeKind, const wchar_t*> parts[] = {
        {TypeKind::Interface, L"interfaces"}, {TypeKind::EventInterface, L"events"}, {TypeKind::Enumeration, L"enumerations"}};
    for (const Library& library : libraries_) {
        out += L"- " + Link(library.name) + L": " + library.help + L"\n";
        out += L"  - [Classes](#" + Anchor(Heading(library, L"classes")) + L")\n";
        for (const auto& [kind, part] : parts) {
            const auto types = OfKind(library, kind);
            if (types.empty())
                continue;
            std::wstring links;
            for (const TypeEntry* type : types)
                links += (links.empty() ? L"" : L", ") + Link(type->name);
            std::wstring title(part);
            title[0] = static_cast<wchar_t>(std::towupper(title[0]));
            out += L"  - [" + title + L"](#" + Anchor(Heading(library, part)) + L"): " + links + L"\n";
        }
    }
    if (!messages_.empty())
        out += L"- [Messages](#messages)\n";
}

void ApiMarkdown::WriteLibrary(std::wstring& out, const Library& library) const
{
    out += L"\n## " + library.name + L"\n\n" + library.help + L"\n";
    WriteClasses(out, library);
    const std::pair<TypeKind, const wchar_t*> parts[] = {{TypeKind::Interface, L"interfaces"}, {TypeKind::EventInterface, L"events"}};
    for (const auto& [kind, part] : parts) {
        const auto types = OfKind(library, kind);
        if (types.empty())
            continue;
        out += L"\n### " + Heading(library, part) + L"\n";
        for (const TypeEntry* type : types)
            WriteInterface(out, library, *type);
    }
    const auto enumerations = OfKind(library, TypeKind::Enumeration);
    if (!enumerations.empty()) {
        out += L"\n### " + Heading(library, L"enumerations") + L"\n";
        for (const TypeEntry* type : enumerations)
            WriteEnumeration(out, *type);
    }
}

void ApiMarkdown::WriteClasses(std::wstring& out, const Library& library) const
{
    out += L"\n### " + Heading(library, L"classes") + L"\n";
    std::wstring created, handedOut;
    for (const TypeEntry* type : OfKind(library, TypeKind::Class)) {
        const std::wstring row = L"| `" + type->name + L"` | " + TypeLink(library, type->defaultInterface) + L" | ";
        if (type->creatable) {
            const std::wstring events = type->eventInterface.empty() ? L"" : TypeLink(library, type->eventInterface);
            created += row + events + L" | " + Cell(type->help) + L" |\n";
        } else {
            handedOut += row + Cell(type->help) + L" |\n";
        }
    }
    if (!created.empty())
        out += L"\nCreated by the client, by ProgID or with `New`:\n\n| Class | Interface | Events | Description |\n"
               L"|---|---|---|---|\n" +
               created;
    if (!handedOut.empty())
        out += L"\nCreated by the component and handed out by other objects:\n\n| Class | Interface | Description |\n"
               L"|---|---|---|\n" +
               handedOut;
}

void ApiMarkdown::WriteInterface(std::wstring& out, const Library& library, const TypeEntry& type) const
{
    out += L"\n#### " + type.name + L"\n\n" + type.help + L"\n";
    if (!type.base.empty() && type.base != L"IDispatch" && type.base != L"IUnknown")
        out += L"\nExtends " + TypeLink(library, type.base) + L": its members belong to this interface too.\n";
    if (type.members.empty())
        return;
    out += L"\n| Member | Description |\n|---|---|\n";
    for (const Member& member : type.members)
        out += L"| `" + Cell(Signature(member)) + L"` | " + KindText(member) + L" " + Cell(member.help) + L" |\n";
}

void ApiMarkdown::WriteEnumeration(std::wstring& out, const TypeEntry& type) const
{
    out += L"\n#### " + type.name + L"\n\n" + type.help + L"\n\n| Name | Value | Description |\n|---|---|---|\n";
    for (const EnumValue& value : type.values)
        out += L"| `" + value.name + L"` | " + std::to_wstring(value.value) + L" | " + Cell(value.help) + L" |\n";
}

void ApiMarkdown::WriteMessages(std::wstring& out) const
{
    out += L"\n## Messages\n\n" + std::wstring(kMessagesIntro) +
           L"\n\n| n | Error code | Err.Number | Text |\n|---|---|---|---|\n";
    for (const Message& message : messages_) {
        const unsigned long code = 0x80040000UL | message.number;
        wchar_t hex[16];
        std::swprintf(hex, 16, L"&H%08lX", code);
        out += L"| " + std::to_wstring(message.number) + L" | " + hex + L" | " +
               std::to_wstring(static_cast<long>(code)) + L" | " + Cell(message.text) + L" |\n";
    }
}

} // namespace apidoc
