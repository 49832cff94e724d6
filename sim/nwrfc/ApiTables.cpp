// Structures and tables: handles of structure and table fields, table cursors and rows.
#include "ApiBoundary.h"
#include "FieldAccess.h"

using namespace nwrfc;

namespace {

Slot& complexSlot(DATA_CONTAINER_HANDLE h, const SAP_UC* name)
{
    Record& r = FieldAccess::record(h);
    require(name, "name");
    Slot& slot = r.slot(view(name));
    slot.touched = true;
    return slot;
}

Table& table(RFC_TABLE_HANDLE h)
{
    Table* t = dynamic_cast<Table*>(&resolve<DataContainer>(h, HandleKind::Data, "table"));
    if (t == nullptr)
        invalidHandle("the handle is not a table");
    return *t;
}

} // namespace

extern "C" {

RFC_RC SAP_API RfcGetStructure(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_STRUCTURE_HANDLE* structHandle, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetStructure", [&] {
        require(structHandle, "structHandle");
        Slot& slot = complexSlot(h, name);
        if (!slot.structure)
            conversionFailure("field " + toUtf8(view(name)) + " is not a structure");
        *structHandle = handleOf<RFC_STRUCTURE_HANDLE>(*slot.structure);
    });
}

RFC_RC SAP_API RfcGetTable(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_TABLE_HANDLE* tableHandle, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetTable", [&] {
        require(tableHandle, "tableHandle");
        Slot& slot = complexSlot(h, name);
        if (!slot.table)
            conversionFailure("field " + toUtf8(view(name)) + " is not a table");
        *tableHandle = handleOf<RFC_TABLE_HANDLE>(*slot.table);
    });
}

RFC_RC SAP_API RfcGetRowCount(RFC_TABLE_HANDLE h, unsigned* rowCount, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetRowCount", [&] {
        require(rowCount, "rowCount");
        *rowCount = static_cast<unsigned>(table(h).rowCount());
    });
}

RFC_RC SAP_API RfcMoveToFirstRow(RFC_TABLE_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcMoveToFirstRow", [&] { table(h).moveToFirst(); });
}

RFC_RC SAP_API RfcMoveToNextRow(RFC_TABLE_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcMoveToNextRow", [&] { table(h).moveToNext(); });
}

RFC_RC SAP_API RfcMoveTo(RFC_TABLE_HANDLE h, unsigned index, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcMoveTo", [&] { table(h).moveTo(index); });
}

RFC_RC SAP_API RfcMoveToLastRow(RFC_TABLE_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcMoveToLastRow", [&] { table(h).moveToLast(); });
}

RFC_RC SAP_API RfcMoveToPreviousRow(RFC_TABLE_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcMoveToPreviousRow", [&] { table(h).moveToPrevious(); });
}

RFC_STRUCTURE_HANDLE SAP_API RfcGetCurrentRow(RFC_TABLE_HANDLE h, RFC_ERROR_INFO* e)
{
    return guardedHandle<RFC_STRUCTURE_HANDLE>(e, "RfcGetCurrentRow", [&] { return handleOf<RFC_STRUCTURE_HANDLE>(table(h).current()); });
}

RFC_RC SAP_API RfcAppendNewRows(RFC_TABLE_HANDLE h, unsigned numRows, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcAppendNewRows", [&] { table(h).append(numRows); });
}

RFC_STRUCTURE_HANDLE SAP_API RfcAppendNewRow(RFC_TABLE_HANDLE h, RFC_ERROR_INFO* e)
{
    return guardedHandle<RFC_STRUCTURE_HANDLE>(e, "RfcAppendNewRow", [&] { return handleOf<RFC_STRUCTURE_HANDLE>(table(h).appendOne()); });
}

RFC_RC SAP_API RfcDeleteAllRows(RFC_TABLE_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcDeleteAllRows", [&] { table(h).clear(); });
}

RFC_RC SAP_API RfcDeleteCurrentRow(RFC_TABLE_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcDeleteCurrentRow", [&] { table(h).deleteCurrent(); });
}

} // extern "C"
