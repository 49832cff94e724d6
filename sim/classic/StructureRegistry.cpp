#include "StructureRegistry.h"

#include "ApiFailure.h"
#include "MemoryCheck.h"
#include "WideText.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace classicrfc {
namespace {

struct Installed {
    std::mutex mutex;
    std::map<RFC_TYPEHANDLE, std::shared_ptr<const RowLayout>> byHandle;
    std::map<std::string, RFC_TYPEHANDLE> byKey;
    RFC_TYPEHANDLE next = StructureRegistry::firstHandle;
};

Installed& registryOfInstalled()
{
    static Installed* i = new Installed;
    return *i;
}

// The smallest two-byte length an element of the type needs.
uint32_t minimumLength(char letter)
{
    switch (letter) {
    case 'D': return 16;
    case 'T': return 12;
    case 'C':
    case 'N':
    case 'X':
    case 'P': return 1;
    default: return scalarSize(letter, 0).size;
    }
}

FieldLayout fieldOf(const RFC_UNICODE_TYPE_ELEMENT& e, unsigned index)
{
    FieldLayout f;
    f.name = e.name == nullptr ? std::string() : utf8(callerText(e.name, 30, "element name"));
    f.offset = e.c2_offset;
    f.length = e.c2_length;
    f.decimals = e.decimals;
    f.nucOffset = e.c1_offset;
    f.nucLength = e.c1_length;
    const std::string which = "element " + std::to_string(index + 1) + " (" + f.name + ")";
    if (const auto letter = letterOfType(e.type)) {
        f.letter = *letter;
        if (f.length < minimumLength(f.letter) || (f.letter == 'P' && f.length > 16))
            invalidParameter(which + ": a length of " + std::to_string(f.length) + " bytes does not fit its type");
        if (f.letter == 'D' || f.letter == 'T')
            f.length = minimumLength(f.letter);
    } else if (auto nested = StructureRegistry::find(e.type)) {
        f.letter = 'u';
        f.nested = std::move(nested);
        if (f.length < f.nested->length)
            invalidParameter(which + ": shorter than its structure");
    } else {
        invalidParameter(which + ": type " + std::to_string(e.type) + " is neither a scalar type nor an installed structure");
    }
    if (static_cast<uint64_t>(f.offset) + f.length > (1u << 30))
        invalidParameter(which + ": offset and length beyond any row");
    return f;
}

std::string keyOf(const std::string& name, const RFC_UNICODE_TYPE_ELEMENT* elements, unsigned count, const RFC_BYTE* identifier)
{
    std::string key = name + '\n';
    if (identifier != nullptr)
        key.append(reinterpret_cast<const char*>(identifier), 16);
    for (unsigned i = 0; i < count; ++i) {
        const auto& e = elements[i];
        key += (e.name ? utf8(callerText(e.name, 30, "element name")) : std::string()) + '|' + std::to_string(e.type) + '|' +
               std::to_string(e.decimals) + '|' + std::to_string(e.c2_length) + '|' + std::to_string(e.c2_offset) + ';';
    }
    return key;
}

} // namespace

RFC_TYPEHANDLE StructureRegistry::install(const std::wstring& name, const RFC_UNICODE_TYPE_ELEMENT* elements, unsigned count,
                                          const RFC_BYTE* identifier)
{
    if (count == 0 || count > maxElements)
        invalidParameter("a structure has 1 to " + std::to_string(maxElements) + " elements");
    if (!MemoryCheck::readable(elements, count * sizeof(RFC_UNICODE_TYPE_ELEMENT)))
        invalidParameter("the element array is not readable");
    if (identifier != nullptr && !MemoryCheck::readable(identifier, 16))
        invalidParameter("the structure identifier is not readable");
    auto layout = std::make_shared<RowLayout>();
    layout->name = utf8(name);
    for (unsigned i = 0; i < count; ++i) {
        FieldLayout f = fieldOf(elements[i], i);
        layout->length = std::max(layout->length, f.offset + f.length);
        layout->nucLength = std::max(layout->nucLength, f.nucOffset + f.nucLength);
        layout->alignment = std::max(layout->alignment, f.nested ? f.nested->alignment : scalarSize(f.letter, 0).alignment);
        layout->fields.push_back(std::move(f));
    }
    const std::string key = keyOf(layout->name, elements, count, identifier);
    Installed& registry = registryOfInstalled();
    std::lock_guard lock(registry.mutex);
    if (const auto it = registry.byKey.find(key); it != registry.byKey.end())
        return it->second;
    const RFC_TYPEHANDLE handle = registry.next++;
    registry.byHandle[handle] = std::move(layout);
    registry.byKey[key] = handle;
    return handle;
}

std::shared_ptr<const RowLayout> StructureRegistry::find(RFC_TYPEHANDLE handle)
{
    Installed& registry = registryOfInstalled();
    std::lock_guard lock(registry.mutex);
    const auto it = registry.byHandle.find(handle);
    return it == registry.byHandle.end() ? nullptr : it->second;
}

} // namespace classicrfc
