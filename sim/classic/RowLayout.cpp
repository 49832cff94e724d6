#include "RowLayout.h"

namespace classicrfc {

bool RowLayout::deep() const
{
    for (const FieldLayout& f : fields)
        if (f.letter == 'h' || (f.nested && f.nested->deep()))
            return true;
    return false;
}

const FieldLayout* RowLayout::field(const std::string& fieldName) const
{
    for (const FieldLayout& f : fields)
        if (f.name == fieldName)
            return &f;
    return nullptr;
}

std::optional<RFCTYPE> typeOfLetter(char letter)
{
    switch (letter) {
    case 'C': return RFCTYPE_CHAR;
    case 'D': return RFCTYPE_DATE;
    case 'P': return RFCTYPE_BCD;
    case 'T': return RFCTYPE_TIME;
    case 'X': return RFCTYPE_BYTE;
    case 'N': return RFCTYPE_NUM;
    case 'F': return RFCTYPE_FLOAT;
    case 'I': return RFCTYPE_INT;
    case 's': return RFCTYPE_INT2;
    case 'b': return RFCTYPE_INT1;
    case 'g': return RFCTYPE_STRING;
    case 'y': return RFCTYPE_XSTRING;
    case 'u': return RFCTYPE_STRUCTURE;
    case 'h': return RFCTYPE_ITAB;
    default: return std::nullopt;
    }
}

std::optional<char> letterOfType(RFC_TYPEHANDLE type)
{
    switch (type) {
    case RFCTYPE_CHAR: return 'C';
    case RFCTYPE_DATE: return 'D';
    case RFCTYPE_BCD: return 'P';
    case RFCTYPE_TIME: return 'T';
    case RFCTYPE_BYTE: return 'X';
    case RFCTYPE_NUM: return 'N';
    case RFCTYPE_FLOAT: return 'F';
    case RFCTYPE_INT: return 'I';
    case RFCTYPE_INT2: return 's';
    case RFCTYPE_INT1: return 'b';
    case RFCTYPE_STRING: return 'g';
    case RFCTYPE_XSTRING: return 'y';
    default: return std::nullopt;
    }
}

ScalarSize scalarSize(char letter, uint32_t length)
{
    switch (letter) {
    case 'C':
    case 'N':
    case 'D':
    case 'T': return {2 * length, 2};
    case 'I': return {4, 4};
    case 's': return {2, 2};
    case 'b': return {1, 1};
    case 'F':
    case 'a': return {8, 8};
    case 'e': return {16, 8};
    case 'g': return {sizeof(RFC_STRING), alignof(RFC_STRING)};
    case 'y': return {sizeof(RFC_XSTRING), alignof(RFC_XSTRING)};
    case 'h': return {8, 8};
    default: return {length, 1}; // X, P
    }
}

} // namespace classicrfc
