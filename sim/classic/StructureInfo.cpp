#include "StructureInfo.h"

#include "CallOutcome.h"
#include "LayoutBuilder.h"
#include "WideText.h"

namespace classicrfc {

RFC_RC StructureInfo::describe(ClientConnection& connection, const std::string& name, StructureInfo& info, std::string& exception)
{
    simwire::TypeDescriptions types;
    try {
        types = connection.idleGateway().describeType(name);
    } catch (const simrfc::RfcFailure& f) {
        if (f.record().code != GatewayCode::notFound)
            rethrow(f, connection.open() ? RFC_FAILURE : RFC_CLOSED);
        exception = "TABLE_NOT_ACTIVE";
        return RFC_EXCEPTION;
    }
    if (types.types.empty()) {
        exception = "TABLE_NOT_ACTIVE";
        return RFC_EXCEPTION;
    }
    const std::string& row = types.types.front().name;
    info.kind = row == upper(name) ? RFCTYPE_STRUCTURE : RFCTYPE_ITAB;
    info.layout = LayoutBuilder(types.types).structure(row);
    for (const FieldLayout& f : info.layout->fields)
        if (f.letter == 'u' || f.letter == 'h' || f.letter == 'a' || f.letter == 'e') {
            exception = "UNSUPPORTED_TYPE";
            return RFC_EXCEPTION;
        }
    return RFC_OK;
}

} // namespace classicrfc
