#include "FieldType.h"

namespace nwrfc {
namespace {

FieldType make(RFCTYPE type, unsigned nucLength, unsigned ucLength, unsigned decimals, RFC_TYPE_DESC_HANDLE handle)
{
    FieldType t;
    t.type = type;
    t.decimals = decimals;
    switch (type) {
    case RFCTYPE_CHAR:
    case RFCTYPE_NUM: t.length = ucLength >= 2 ? ucLength / 2 : nucLength; break;
    case RFCTYPE_DATE: t.length = 8; break;
    case RFCTYPE_TIME: t.length = 6; break;
    case RFCTYPE_BCD:
    case RFCTYPE_BYTE: t.length = nucLength != 0 ? nucLength : ucLength; break;
    default: break;
    }
    if (type == RFCTYPE_BCD && (t.length == 0 || t.length > 16))
        invalidParameter("a packed number takes 1 to 16 bytes");
    if (t.complex())
        t.rowType = typeFromHandle(handle);
    return t;
}

} // namespace

FieldType FieldType::of(const RFC_FIELD_DESC& f)
{
    return make(f.type, f.nucLength, f.ucLength, f.decimals, f.typeDescHandle);
}

FieldType FieldType::of(const RFC_PARAMETER_DESC& p)
{
    return make(p.type, p.nucLength, p.ucLength, p.decimals, p.typeDescHandle);
}

bool FieldType::integer() const
{
    switch (type) {
    case RFCTYPE_INT:
    case RFCTYPE_INT1:
    case RFCTYPE_INT2:
    case RFCTYPE_INT8:
    case RFCTYPE_UTCLONG:
    case RFCTYPE_UTCSECOND:
    case RFCTYPE_UTCMINUTE:
    case RFCTYPE_DTDAY:
    case RFCTYPE_DTWEEK:
    case RFCTYPE_DTMONTH:
    case RFCTYPE_TSECOND:
    case RFCTYPE_TMINUTE:
    case RFCTYPE_CDAY: return true;
    default: return false;
    }
}

bool FieldType::floating() const
{
    return type == RFCTYPE_FLOAT || type == RFCTYPE_DECF16 || type == RFCTYPE_DECF34;
}

} // namespace nwrfc
