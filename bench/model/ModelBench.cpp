// A table parameter of 100,000 rows x 10 CHAR columns: a million field objects built through
// AddRows, written, read back by position through Item/value, and released. Prints the time
// per field of each phase and the memory per field, for a first table in fresh memory and a
// second one after the first was released.
#include "model/RfcField.h"
#include "model/RfcType.h"
#include "session/Messages.h"

#include "BenchSupport.h"

#include <cstdio>
#include <string>

namespace {

using bench::CommittedBytes;
using bench::Now;

constexpr long kRows = 100000;
constexpr long kColumns = 10;
constexpr double kFields = double(kRows) * kColumns;

void Check(HRESULT hr, const char* what)
{
    if (FAILED(hr)) {
        std::printf("%s failed: 0x%08lx\n", what, static_cast<unsigned long>(hr));
        std::exit(1);
    }
}

com::ptr<IRfcType> RowType()
{
    auto row = com::make<tolvane::CRfcType>();
    Check(row->DefineStruct(com::bstr(L"ZROW").get()), "DefineStruct");
    for (long c = 0; c < kColumns; ++c) {
        const std::wstring name = L"COLUMN" + std::to_wstring(c);
        Check(row->AddScalarStructField(com::bstr(name).get(), TYPE_CHAR, 10, 0, -1, -1, -1, -1), "AddField");
    }
    return row;
}

// Visits every field of every row by position, as a script would.
template <class Visit>
void ForEachField(IRfcRows* rows, Visit visit)
{
    for (long r = 1; r <= kRows; ++r) {
        com::ptr<IRfcFields> row;
        Check(rows->get_Item(r, row.put()), "row");
        for (long c = 1; c <= kColumns; ++c) {
            com::ptr<IRfcField> item;
            Check(row->get_Item(com::variant(c).get(), item.put()), "field");
            visit(item.get());
        }
    }
}

struct Figures {
    double create, write, read, release;
    size_t memoryAfterCreate, memoryWithValues;
};

Figures Round(IRfcType* table)
{
    Figures f{};
    auto field = com::make<tolvane::CRfcField>();
    Check(field->put_RfcType(table), "put_RfcType");
    com::ptr<IRfcRows> rows;
    Check(field->get_Rows(rows.put()), "get_Rows");

    const size_t before = CommittedBytes();
    double t = Now();
    Check(rows->AddRows(kRows), "AddRows");
    f.create = Now() - t;
    f.memoryAfterCreate = CommittedBytes() - before;

    com::variant value(L"ABCDEFGHIJ");
    t = Now();
    ForEachField(rows.get(), [&](IRfcField* item) { Check(item->put_value(value.get()), "put_value"); });
    f.write = Now() - t;
    f.memoryWithValues = CommittedBytes() - before;

    size_t characters = 0;
    t = Now();
    ForEachField(rows.get(), [&](IRfcField* item) {
        com::variant v;
        Check(item->get_value(v.put()), "get_value");
        characters += SysStringLen(V_BSTR(v.addr()));
    });
    f.read = Now() - t;
    if (characters != size_t(kFields) * 10)
        std::printf("read back %zu characters, expected %.0f\n", characters, kFields * 10);

    t = Now();
    rows = nullptr;
    field = nullptr;
    f.release = Now() - t;
    return f;
}

void Print(const char* title, const Figures& f)
{
    std::printf("%s\n", title);
    std::printf("  create (AddRows):        %7.3f us per field\n", f.create * 1e6 / kFields);
    std::printf("  write value by position: %7.3f us per field\n", f.write * 1e6 / kFields);
    std::printf("  read value by position:  %7.3f us per field\n", f.read * 1e6 / kFields);
    std::printf("  release:                 %7.3f us per field\n", f.release * 1e6 / kFields);
    std::printf("  memory after AddRows:    %7.1f bytes per field\n", double(f.memoryAfterCreate) / kFields);
    std::printf("  memory with values:      %7.1f bytes per field\n", double(f.memoryWithValues) / kFields);
}

} // namespace

int main()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    tolvane::InstallErrorPolicy();
    auto table = com::make<tolvane::CRfcType>();
    Check(table->DefineTable(com::bstr(L"ZTABLE").get(), RowType().get()), "DefineTable");
    std::printf("table of %ld rows x %ld CHAR(10) columns (%.0f fields)\n", kRows, kColumns, kFields);
    // The first round touches fresh memory; the second reuses what the heap kept.
    Print("first table (fresh memory):", Round(table.get()));
    Print("second table (memory reused):", Round(table.get()));
    CoUninitialize();
    return 0;
}
