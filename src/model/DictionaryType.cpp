#include "DictionaryType.h"

namespace tolvane {

long AbapTypeOfLetter(wchar_t letter) noexcept
{
    switch (letter) {
    case L'C': return TYPE_CHAR;
    case L'D': return TYPE_DATE;
    case L'P': return TYPE_BCD;
    case L'T': return TYPE_TIME;
    case L'X': return TYPE_BYTE;
    case L'N': return TYPE_NUM;
    case L'F': return TYPE_FLOAT;
    case L'I': return TYPE_INT;
    case L's': return TYPE_INT2;
    case L'b': return TYPE_INT1;
    case L'g': return TYPE_STRING;
    case L'y': return TYPE_XSTRING;
    default: return -1;
    }
}

short ScalarLengthOfEntry(wchar_t letter, long length) noexcept
{
    switch (letter) {
    case L'C':
    case L'D':
    case L'T':
    case L'X':
    case L'N':
        return static_cast<short>(length);
    case L'P':
        return static_cast<short>(2 * length - 1);
    default:
        return 0;
    }
}

ParameterKind ParameterKindOfLetter(wchar_t letter) noexcept
{
    switch (letter) {
    case L'h': return ParameterKind::TableType;
    case L'u': return ParameterKind::Structure;
    case L'v': return ParameterKind::DeepStructure;
    default: return ParameterKind::Scalar;
    }
}

} // namespace tolvane
