#include "LayoutBuilder.h"

#include "ApiFailure.h"

#include <algorithm>

namespace classicrfc {
namespace {

uint32_t roundUp(uint32_t value, uint32_t to)
{
    return (value + to - 1) / to * to;
}

} // namespace

std::shared_ptr<const RowLayout> LayoutBuilder::structure(const std::string& name)
{
    if (const auto it = m_built.find(name); it != m_built.end())
        return it->second;
    const auto described = std::find_if(m_types.begin(), m_types.end(), [&](const simwire::TypeDescription& t) { return t.name == name; });
    if (described == m_types.end())
        programFailure("RFC_FAILURE", "the gateway did not describe structure " + name);
    if (std::find(m_building.begin(), m_building.end(), name) != m_building.end() || m_building.size() > 16)
        programFailure("RFC_FAILURE", "structure " + name + " contains itself");
    m_building.push_back(name);
    auto layout = std::make_shared<RowLayout>();
    layout->name = name;
    layout->nucLength = described->nucLength;
    uint32_t offset = 0;
    for (const simwire::FieldDescription& d : described->fields) {
        FieldLayout f = field(d);
        const uint32_t alignment = f.nested ? f.nested->alignment : scalarSize(f.letter, d.type.length).alignment;
        f.offset = roundUp(offset, alignment);
        offset = f.offset + f.length;
        layout->alignment = std::max(layout->alignment, alignment);
        layout->fields.push_back(std::move(f));
    }
    layout->length = roundUp(offset, layout->alignment);
    m_building.pop_back();
    m_built[name] = layout;
    return layout;
}

FieldLayout LayoutBuilder::field(const simwire::FieldDescription& d)
{
    FieldLayout f;
    f.name = d.name;
    f.nucOffset = d.nucOffset;
    f.nucLength = d.nucLength;
    f.decimals = d.type.decimals;
    switch (d.type.kind) {
    case simwire::TypeKind::Scalar:
        f.letter = d.type.letter;
        f.length = scalarSize(f.letter, d.type.length).size;
        break;
    case simwire::TypeKind::Structure:
        f.letter = 'u';
        f.nested = structure(d.type.typeName);
        f.length = f.nested->length;
        break;
    case simwire::TypeKind::Table:
        f.letter = 'h';
        f.length = scalarSize('h', 0).size;
        break;
    }
    return f;
}

std::shared_ptr<const RowLayout> LayoutBuilder::scalar(RFC_TYPEHANDLE type, unsigned leng, unsigned decimals, bool fixedDecimals)
{
    const auto letter = letterOfType(type);
    if (!letter)
        invalidParameter("type " + std::to_string(type) + " is neither a scalar type nor an installed structure");
    FieldLayout f;
    f.letter = *letter;
    f.decimals = decimals;
    f.fixedDecimals = fixedDecimals;
    switch (f.letter) {
    case 'C':
    case 'N':
    case 'X':
    case 'P': f.length = leng; break;
    case 'D': f.length = scalarSize('D', 8).size; break;
    case 'T': f.length = scalarSize('T', 6).size; break;
    default: f.length = scalarSize(f.letter, 0).size; break;
    }
    const bool noLength = f.letter == 'g' || f.letter == 'y';
    if ((!noLength && leng < f.length) || f.length == 0 || (f.letter == 'P' && f.length > 16))
        invalidParameter("a length of " + std::to_string(leng) + " bytes does not fit type " + std::to_string(type));
    auto layout = std::make_shared<RowLayout>();
    layout->length = f.length;
    layout->fields.push_back(std::move(f));
    return layout;
}

} // namespace classicrfc
