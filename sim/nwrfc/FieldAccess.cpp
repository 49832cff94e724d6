#include "FieldAccess.h"

namespace nwrfc {

Record& FieldAccess::record(DATA_CONTAINER_HANDLE handle)
{
    return resolve<DataContainer>(handle, HandleKind::Data, "data container").current();
}

} // namespace nwrfc
