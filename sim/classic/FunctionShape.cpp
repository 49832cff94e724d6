#include "FunctionShape.h"

#include "LayoutBuilder.h"

namespace classicrfc {

FunctionShape::FunctionShape(const simwire::FunctionDescription& description) : m_description(description)
{
    LayoutBuilder layouts(m_description.types);
    for (const simwire::ParameterDescription& p : m_description.parameters) {
        ParameterShape shape{p.direction, p.type.kind, p.type.decimals, nullptr};
        if (p.type.kind != simwire::TypeKind::Scalar)
            shape.row = layouts.structure(p.type.typeName);
        m_parameters[p.name] = std::move(shape);
    }
}

const ParameterShape* FunctionShape::find(const std::string& parameter) const
{
    const auto it = m_parameters.find(parameter);
    return it == m_parameters.end() ? nullptr : &it->second;
}

std::shared_ptr<const RowLayout> FunctionShape::layoutOf(const std::string& parameter) const
{
    const ParameterShape* p = find(parameter);
    return p == nullptr ? nullptr : p->row;
}

} // namespace classicrfc
