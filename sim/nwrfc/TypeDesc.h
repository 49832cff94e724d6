#pragma once

#include "Handles.h"
#include "Text.h"

#include <memory>
#include <vector>

namespace nwrfc {

// A structure or table-line description, read from the system or built by the caller. Fields
// keep the caller's records as given (offsets are not computed); a type is complete once its
// total lengths are set, and frozen once a container uses it.
class TypeDesc : public Handled, public std::enable_shared_from_this<TypeDesc> {
public:
    explicit TypeDesc(Ustring name) : Handled(HandleKind::TypeDesc), m_name(std::move(name)) {}

    const Ustring& name() const { return m_name; }
    const std::vector<RFC_FIELD_DESC>& fields() const { return m_fields; }
    unsigned nucLength() const { return m_nucLength; }
    unsigned ucLength() const { return m_ucLength; }
    bool cached() const { return m_cached; }

    void addField(const RFC_FIELD_DESC& field);
    void setLength(unsigned nucLength, unsigned ucLength);
    int indexOf(Uview fieldName) const;
    const RFC_FIELD_DESC& field(Uview fieldName) const; // RFC_INVALID_PARAMETER when missing
    // Before a container is built on it: fails unless the lengths are set.
    void freeze();
    void markCached() { m_cached = true; }
    std::shared_ptr<TypeDesc> shared() { return shared_from_this(); }
    // Whether `other` is this type or lies inline inside it (through structure fields).
    bool holds(const TypeDesc& other) const;

private:
    Ustring m_name;
    std::vector<RFC_FIELD_DESC> m_fields;
    std::vector<std::shared_ptr<TypeDesc>> m_nested; // keeps the field types alive
    std::vector<const TypeDesc*> m_inline;          // those of structure fields
    unsigned m_nucLength = 0, m_ucLength = 0;
    bool m_lengthSet = false;
    bool m_frozen = false;
    bool m_cached = false;
};

// The shared owner behind a type handle given by the caller.
std::shared_ptr<TypeDesc> typeFromHandle(RFC_TYPE_DESC_HANDLE handle);

} // namespace nwrfc
