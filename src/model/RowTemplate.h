#pragma once
// The value tree that a structure descriptor calls for, worked out once and then built any
// number of times: a table's rows all have the fields of one row type, so AddRows reads the
// descriptor once and every row shares one name index.
#include "ComCollect.h"
#include "SharedString.h"
#include "idl/Tolvane_h.h"

#include <memory>
#include <vector>

namespace tolvane {

class CRfcFields;
struct StructTemplate;

struct FieldTemplate {
    SharedString name;
    com::ptr<IRfcType> type;
    RFCTYPEKIND kind = RFCTYPEKIND_UNDEFINED;
    std::shared_ptr<const StructTemplate> structure; // for a structure component
};

struct StructTemplate {
    std::vector<FieldTemplate> fields;
    std::shared_ptr<KeyIndex> index; // shared by every field collection built from it

    // The template of a structure descriptor. Throws MessageError 514 for a structure without
    // components or an undefined component, hresult_error E_UNEXPECTED for a deep structure.
    static std::shared_ptr<const StructTemplate> Of(IRfcType* structure);

    // A new collection of fields, each typed by its component.
    com::ptr<CRfcFields> Build() const;
};

// The number of components of a structure descriptor (0 when it cannot be read).
size_t ComponentCount(IRfcType* structure);

} // namespace tolvane
