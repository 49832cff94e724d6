#pragma once

#include "DataContainer.h"
#include "TypeDesc.h"

#include "WireValue.h"

#include <memory>
#include <vector>

namespace nwrfc {

// Rows of one line type with a cursor. Rows are records of their own, handed out as structure
// handles that stay valid until the row is deleted or the table freed.
class Table : public DataContainer {
public:
    explicit Table(std::shared_ptr<TypeDesc> rowType);
    ~Table() override;

    Record& current() override;
    size_t rowCount() const { return m_rows.size(); }
    const std::shared_ptr<TypeDesc>& rowType() const { return m_rowType; }

    void moveTo(size_t index);
    void moveToFirst();
    void moveToNext();
    void moveToPrevious();
    void moveToLast();
    // The cursor ends on the first new row; nothing changes when `count` is 0.
    void append(size_t count);
    Record& appendOne();
    void clear();
    void deleteCurrent();

    simwire::WireValue toWire() const;
    void fromWire(const simwire::WireValue& wire);

private:
    static constexpr size_t none = static_cast<size_t>(-1);

    std::shared_ptr<TypeDesc> m_rowType;
    std::vector<std::unique_ptr<Record>> m_rows;
    size_t m_cursor = none;
};

} // namespace nwrfc
