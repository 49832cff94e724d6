#include "StructLayout.h"

#include "RfcType.h"

#include "com/ComPtr.h"
#include "com/Variant.h"
#include "convert/StringHandles.h"

namespace tolvane {
namespace {

long RoundUp(long value, long multiple) noexcept { return (value + multiple - 1) / multiple * multiple; }

struct Scalar {
    long type;
    long length;
    long offset, size, offsetC1, sizeC1;
};

Scalar Read(IRfcType* component)
{
    ABAPTYPE type = TYPE_CHAR;
    short length = 0;
    Scalar s{};
    com::check(component->get_ScalarType(&type));
    com::check(component->get_ScalarLength(&length));
    com::check(component->get_StructOffset(&s.offset));
    com::check(component->get_StructLength(&s.size));
    com::check(component->get_structOffsetC1(&s.offsetC1));
    com::check(component->get_structLengthC1(&s.sizeC1));
    s.type = type;
    s.length = length;
    return s;
}

// Places one component after `running`, which it advances.
ComponentLayout Place(long type, long givenOffset, long givenLength, long defaultLength, long& running) noexcept
{
    ComponentLayout c;
    c.length = givenLength != -1 ? givenLength : defaultLength;
    if (givenOffset != -1) {
        c.offset = givenOffset;
    } else {
        if (type == TYPE_STRING || type == TYPE_XSTRING)
            running = RoundUp(running, sizeof(void*));
        else if (type == TYPE_FLOAT || type == TYPE_INT)
            running = RoundUp(running, 4);
        else if (type == TYPE_INT2)
            running = RoundUp(running, 2);
        c.offset = running;
    }
    running = c.offset + c.length;
    return c;
}

} // namespace

long DefaultLength(long type, long n, bool unicode) noexcept
{
    switch (type) {
    case TYPE_CHAR:
    case TYPE_NUM:
        return unicode ? 2 * n : n;
    case TYPE_BYTE:
        return n;
    case TYPE_DATE:
        return unicode ? 16 : 8;
    case TYPE_TIME:
        return unicode ? 12 : 6;
    case TYPE_BCD:
        return n / 2 + 1;
    case TYPE_FLOAT:
        return 8;
    case TYPE_INT:
        return 4;
    case TYPE_INT2:
        return 2;
    case TYPE_INT1:
        return 1;
    // The library keeps these as a pointer and as a length with a pointer: their size is the
    // bitness's.
    case TYPE_STRING:
        return sizeof(RfcStringHandle);
    case TYPE_XSTRING:
        return sizeof(RfcXStringImage);
    default:
        return 0;
    }
}

StructLayout LayoutOf(IRfcType* structure)
{
    StructLayout layout;
    long running = 0, runningC1 = 0;
    ForEachComponent(structure, [&](IRfcType* component) {
        const Scalar s = Read(component);
        layout.unicode.push_back(Place(s.type, s.offset, s.size, DefaultLength(s.type, s.length, true), running));
        layout.nonUnicode.push_back(
            Place(s.type, s.offsetC1, s.sizeC1, DefaultLength(s.type, s.length, false), runningC1));
    });
    long ownLength = -1, ownLengthC1 = -1;
    com::check(structure->get_StructLength(&ownLength));
    com::check(structure->get_structLengthC1(&ownLengthC1));
    layout.unicodeLength = ownLength != -1 ? ownLength : RoundUp(running, 4);
    layout.nonUnicodeLength = ownLengthC1 != -1 ? ownLengthC1 : runningC1;
    return layout;
}

} // namespace tolvane
