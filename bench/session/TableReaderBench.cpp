// The table reader parsing 100,000 rows x 10 columns of RFC_READ_TABLE data. The module's
// answer (the DATA rows) is built by an in-memory backend; its time is measured and taken out,
// and so is the time of building 100,000 empty result rows, so that what remains is the
// reader's own work per row: column layout, slicing the row text, typed values.
#include "TestSession.h"

#include "BenchSupport.h"

#include <cstdio>

namespace {

constexpr long kRows = 100000;
constexpr int kColumns = 10;

using bench::CommittedBytes;
using bench::Now;

} // namespace

int main()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    tolvane::InstallErrorPolicy();
    test::StandardBackend backend;
    // Columns of every kind the reader types: text, numbers, dates, times, floats.
    const wchar_t* types = L"CCNDTIIFCP";
    for (int c = 0; c < kColumns; ++c)
        backend.tableFields.push_back({L"COL" + std::to_wstring(c), std::to_wstring(c * 10), L"10",
                                       std::wstring(1, types[c])});
    const std::wstring row = L"TEXT ONE  TEXT TWO  0000012345201807190000143030 -12      77-       "
                             L"1234.5    SOME TEXT 12345.67  ";
    backend.tableRows.assign(kRows, row);

    double moduleTime = 0;
    auto module = backend.modules[L"RFC_READ_TABLE"];
    backend.modules[L"RFC_READ_TABLE"] = [&](IFunctionCall* call) {
        const double start = Now();
        auto result = module(call);
        moduleTime += Now() - start;
        return result;
    };

    auto session = test::NewSession(backend);
    com::ptr<ITableReader> reader;
    session->GetTableReader(com::bstr(L"ZBENCH").get(), reader.put());

    const size_t before = CommittedBytes();
    const double start = Now();
    if (FAILED(reader->Read(0, 0))) {
        std::printf("Read failed\n");
        return 1;
    }
    const double total = Now() - start;
    const size_t memory = CommittedBytes() - before;

    // Building the same number of empty result rows, for comparison.
    com::ptr<IRfcRows> rows;
    reader->get_Rows(rows.put());
    com::ptr<IRfcType> rowType;
    rows->get_RfcType(rowType.put());
    auto table = com::make<tolvane::CRfcType>();
    table->DefineTable(com::bstr(L"T").get(), rowType.get());
    auto empty = com::make<tolvane::CRfcRows>();
    empty->put_RfcType(table.get());
    const double buildStart = Now();
    empty->AddRows(kRows);
    const double build = Now() - buildStart;

    const double reading = total - moduleTime;
    std::printf("RFC_READ_TABLE answer of %ld rows x %d columns\n", kRows, kColumns);
    std::printf("  Read() in all:              %8.3f s\n", total);
    std::printf("  of which the module:        %8.3f s\n", moduleTime);
    std::printf("  reader, per row:            %8.3f us\n", reading * 1e6 / kRows);
    std::printf("  building empty rows, per row: %6.3f us\n", build * 1e6 / kRows);
    std::printf("  reader beyond building rows: %7.3f us per row\n", (reading - build) * 1e6 / kRows);
    std::printf("  memory of DATA and result:  %8.1f bytes per result field\n",
                double(memory) / (double(kRows) * kColumns));
    CoUninitialize();
    return 0;
}
