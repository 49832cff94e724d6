#include "dictionary/Structure.h"

#include "dictionary/ScalarCodec.h"

#include <algorithm>

namespace sapsim {
namespace {

int alignment(const DataType& type, int bytesPerChar);

int scalarAlignment(const ScalarType& t, int bytesPerChar)
{
    switch (t.letter) {
    case 'C':
    case 'N':
    case 'D':
    case 'T': return bytesPerChar;
    case 'F':
    case 'g':
    case 'y':
    case 'a':
    case 'e': return 8;
    case 'I': return 4;
    case 's': return 2;
    default: return 1;
    }
}

// A nested structure lies inline, aligned like its strictest component; a table is a reference.
int alignment(const DataType& type, int bytesPerChar)
{
    switch (type.kind) {
    case TypeKind::Scalar: return scalarAlignment(type.scalar, bytesPerChar);
    case TypeKind::Table: return 8;
    case TypeKind::Structure: {
        int strictest = 1;
        for (const Component& c : type.structure->components)
            strictest = std::max(strictest, alignment(c.type, bytesPerChar));
        return strictest;
    }
    }
    return 1;
}

int size(const DataType& type, int bytesPerChar)
{
    switch (type.kind) {
    case TypeKind::Scalar: return type.scalar.characterLike() ? type.scalar.length * bytesPerChar : type.scalar.length;
    case TypeKind::Table: return 8;
    case TypeKind::Structure: return type.structure->totalLength(bytesPerChar);
    }
    return 0;
}

int roundUp(int value, int to)
{
    return (value + to - 1) / to * to;
}

} // namespace

int Structure::indexOf(std::string_view componentName) const
{
    for (size_t i = 0; i < components.size(); ++i)
        if (components[i].name == componentName)
            return static_cast<int>(i);
    return -1;
}

bool Structure::deep() const
{
    return std::any_of(components.begin(), components.end(),
                       [](const Component& c) { return c.type.kind != TypeKind::Scalar; });
}

bool Structure::halfDeep() const
{
    return std::any_of(components.begin(), components.end(), [](const Component& c) {
        return c.type.kind == TypeKind::Scalar && c.type.scalar.variableLength();
    });
}

std::vector<FieldPlacement> Structure::layout(int bytesPerChar) const
{
    std::vector<FieldPlacement> placements;
    int offset = 0;
    for (const Component& c : components) {
        const int align = alignment(c.type, bytesPerChar);
        offset = roundUp(offset, align);
        const int length = size(c.type, bytesPerChar);
        placements.push_back({offset, length});
        offset += length;
    }
    return placements;
}

int Structure::totalLength(int bytesPerChar) const
{
    int end = 0;
    int maxAlign = 1;
    const auto placements = layout(bytesPerChar);
    for (size_t i = 0; i < components.size(); ++i) {
        end = placements[i].offset + placements[i].length;
        maxAlign = std::max(maxAlign, alignment(components[i].type, bytesPerChar));
    }
    return roundUp(end, maxAlign);
}

Value initialValue(const DataType& type)
{
    Value v;
    if (type.kind == TypeKind::Scalar)
        v.scalar = ScalarCodec::initial(type.scalar);
    else if (type.kind == TypeKind::Structure)
        for (const Component& c : type.structure->components)
            v.items.push_back(initialValue(c.type));
    return v;
}

} // namespace sapsim
