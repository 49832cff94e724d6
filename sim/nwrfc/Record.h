#pragma once

#include "DataContainer.h"
#include "FunctionDesc.h"
#include "ScalarConversion.h"

#include "WireValue.h"

#include <memory>
#include <string>
#include <vector>

namespace nwrfc {

class Table;

// One field or parameter of a record.
struct Slot {
    FieldType type;
    Scalar scalar;
    std::unique_ptr<Record> structure;
    std::unique_ptr<Table> table;
    bool active = true;
    bool touched = false; // set by the caller: an importing parameter is sent only then
};

// The values of a function call (one slot per parameter) or of a structure or table row (one
// slot per field), built from the description, every value initial.
class Record : public DataContainer {
public:
    explicit Record(std::shared_ptr<FunctionDesc> function);
    explicit Record(std::shared_ptr<TypeDesc> type);
    ~Record() override;

    // The function container behind a handle; RFC_INVALID_HANDLE for anything else.
    static Record& function(RFC_FUNCTION_HANDLE handle);

    Record& current() override { return *this; }
    bool isFunction() const { return m_function != nullptr; }
    const std::shared_ptr<FunctionDesc>& function() const { return m_function; }
    const std::shared_ptr<TypeDesc>& type() const { return m_type; }

    // The slot of a field or parameter; RFC_INVALID_PARAMETER naming it when there is none.
    Slot& slot(Uview name);
    size_t size() const { return m_slots.size(); }
    Uview nameAt(size_t index) const;
    RFC_DIRECTION directionAt(size_t index) const;

    simwire::WireValue toWire() const;
    // Fields the record does not have are skipped: a partner may know more than the caller.
    void fromWire(const simwire::WireValue& wire);
    void fromWireAt(size_t index, const simwire::WireValue& wire) { slotFromWire(m_slots[index], wire, nameAt(index)); }

    // A call's importing, changing and table parameters that are active and were set.
    simwire::NamedValues inputs() const;
    std::vector<std::string> inactiveNames() const;
    // Exporting, changing and table parameters that are active (only tables when `tablesOnly`).
    simwire::NamedValues outputs(bool tablesOnly) const;
    void apply(const simwire::NamedValues& values);

private:
    void build(const FieldType& type, Slot& slot);
    simwire::WireValue slotToWire(const Slot& slot) const;
    void slotFromWire(Slot& slot, const simwire::WireValue& wire, Uview name);

    std::shared_ptr<FunctionDesc> m_function;
    std::shared_ptr<TypeDesc> m_type;
    std::vector<Slot> m_slots;
};

} // namespace nwrfc
