#pragma once
// What the API reference says about a type library, read once and written as Markdown: names,
// signatures as a VBA user writes them, and help strings.
#include <string>
#include <vector>

namespace apidoc {

struct Parameter {
    std::wstring name;
    std::wstring type;         // String, Long, Boolean, Variant, IRfcType, ABAPTYPE, ...
    bool byRef = false;        // the caller passes a variable that receives a value
    bool optional = false;
    std::wstring defaultValue; // as written in code ("", -1, False); empty when there is none
};

enum class MemberKind { Method, Property, Event };

struct Member {
    std::wstring name;
    MemberKind kind = MemberKind::Method;
    bool readable = false; // properties
    bool writable = false;
    bool defaultMember = false;
    bool hidden = false;
    std::vector<Parameter> parameters; // without the result and without a property's new value
    std::wstring result;               // the type returned; empty for none
    std::wstring help;
};

struct EnumValue {
    std::wstring name;
    long value = 0;
    std::wstring help;
};

enum class TypeKind { Enumeration, Interface, EventInterface, Class };

struct TypeEntry {
    std::wstring name;
    TypeKind kind = TypeKind::Interface;
    std::wstring help;
    std::wstring base; // the interface an interface extends
    std::vector<Member> members;
    std::vector<EnumValue> values;
    std::wstring defaultInterface; // of a class
    std::wstring eventInterface;   // of a class; empty when it raises none
    bool creatable = false;
};

struct Library {
    std::wstring name;
    std::wstring help;
    std::vector<TypeEntry> types;

    const TypeEntry* Find(std::wstring_view typeName) const
    {
        for (const TypeEntry& type : types)
            if (type.name == typeName)
                return &type;
        return nullptr;
    }
};

struct Message {
    unsigned number = 0;
    std::wstring text;
};

} // namespace apidoc
