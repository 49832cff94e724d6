// The table reader over the test backend's RFC_READ_TABLE.
#include "TestSession.h"
#include "support/Automation.h"

#include <gtest/gtest.h>

using namespace test;

namespace {

struct Reader {
    StandardBackend backend;
    com::ptr<CTestSession> session = NewSession(backend);
    com::ptr<ITableReader> reader;

    explicit Reader(const wchar_t* table = L"SFLIGHT")
    {
        EXPECT_EQ(session->GetTableReader(com::bstr(table).get(), reader.put()), S_OK);
    }

    void Columns(std::initializer_list<StandardBackend::Column> columns) { backend.tableFields = columns; }

    com::ptr<IRfcRows> Rows()
    {
        com::ptr<IRfcRows> rows;
        EXPECT_EQ(reader->get_Rows(rows.put()), S_OK);
        return rows;
    }

    com::variant Value(long row, const wchar_t* column)
    {
        com::ptr<IRfcFields> fields;
        EXPECT_EQ(Rows()->get_Item(row, fields.put()), S_OK);
        com::ptr<IRfcField> field;
        EXPECT_EQ(fields->get_Item(com::variant(column).get(), field.put()), S_OK) << column;
        com::variant v;
        if (field)
            field->get_value(v.put());
        return v;
    }

    std::vector<std::wstring> Fields()
    {
        com::ptr<IStringList> list;
        reader->get_Fields(list.put());
        long count = 0;
        list->get_Count(&count);
        std::vector<std::wstring> names;
        for (long i = 1; i <= count; ++i) {
            com::bstr name;
            list->get_Item(i, name.put());
            names.push_back(name.str());
        }
        return names;
    }
};

} // namespace

TEST(TableReader, ReadsTypedRowsAndSendsTheSelection)
{
    Reader r;
    r.Columns({{L"CARRID", L"000000", L"000003", L"C"},
               {L"FLDATE", L"000003", L"000008", L"D"},
               {L"DEPTIME", L"000011", L"000006", L"T"},
               {L"SEATS", L"000017", L"000004", L"I"},
               {L"PRICE", L"000021", L"000008", L"F"},
               {L"RAW", L"000029", L"000004", L"X"}});
    r.backend.tableRows = {L"LH " L"20180719" L"143030" L"12- " L"  1234.5" L"0AFF",
                           L"AA " L"00000000" L"000000" L"  7 " L"   -2.25" L"BEEF"};
    com::ptr<IStringList> query;
    r.reader->get_Query(query.put());
    query->Add(com::bstr(L"CARRID = 'LH'").get());
    com::ptr<IStringList> fields;
    r.reader->get_Fields(fields.put());
    fields->Add(com::bstr(L"CARRID").get());

    ASSERT_EQ(r.reader->Read(10, 20), S_OK);
    EXPECT_EQ(r.backend.lastRowCount, 10);
    EXPECT_EQ(r.backend.lastRowSkips, 20);
    EXPECT_EQ(r.backend.lastOptions, std::vector<std::wstring>{L"CARRID = 'LH'"});
    EXPECT_EQ(r.backend.lastFields, std::vector<std::wstring>{L"CARRID"});

    // Fields now lists exactly the server's columns.
    EXPECT_EQ(r.Fields(), (std::vector<std::wstring>{L"CARRID", L"FLDATE", L"DEPTIME", L"SEATS", L"PRICE", L"RAW"}));
    EXPECT_EQ(Text(r.Value(1, L"CARRID")), L"LH");
    com::variant date = r.Value(1, L"FLDATE");
    ASSERT_EQ(date.vt(), VT_DATE);
    SYSTEMTIME st;
    VariantTimeToSystemTime(V_DATE(date.addr()), &st);
    EXPECT_EQ(st.wYear, 2018);
    EXPECT_EQ(st.wMonth, 7);
    EXPECT_EQ(st.wDay, 19);
    com::variant time = r.Value(1, L"DEPTIME");
    ASSERT_EQ(time.vt(), VT_DATE);
    VariantTimeToSystemTime(V_DATE(time.addr()), &st);
    EXPECT_EQ(st.wHour, 14);
    EXPECT_EQ(st.wMinute, 30);
    EXPECT_EQ(st.wSecond, 30);
    EXPECT_EQ(V_I4(r.Value(1, L"SEATS").addr()), -12); // a trailing minus
    EXPECT_DOUBLE_EQ(V_R8(r.Value(1, L"PRICE").addr()), 1234.5);
    EXPECT_EQ(Text(r.Value(1, L"RAW")), L"0AFF");

    EXPECT_EQ(r.Value(2, L"FLDATE").vt(), VT_EMPTY); // an all-zero date is no date
    EXPECT_EQ(V_I4(r.Value(2, L"SEATS").addr()), 7);
    EXPECT_DOUBLE_EQ(V_R8(r.Value(2, L"PRICE").addr()), -2.25);

    com::ptr<IRfcType> rowType;
    r.Rows()->get_RfcType(rowType.put());
    com::bstr name;
    rowType->get_name(name.put());
    EXPECT_EQ(name.view(), L"SFLIGHT");
}

TEST(TableReader, RawStringsKeepEveryColumnAsUntrimmedText)
{
    Reader r;
    r.Columns({{L"CARRID", L"0", L"5", L"C"}, {L"SEATS", L"5", L"4", L"I"}});
    r.backend.tableRows = {L"LH   12- "};
    r.reader->put_Option(com::bstr(L"tablereader.rawstrings").get(), com::bstr(L"1").get());
    ASSERT_EQ(r.reader->Read(0, 0), S_OK);
    EXPECT_EQ(Text(r.Value(1, L"CARRID")), L"LH   ");
    EXPECT_EQ(Text(r.Value(1, L"SEATS")), L"12- ");
    com::ptr<IRfcType> rowType;
    r.Rows()->get_RfcType(rowType.put());
    com::ptr<IRfcTypes> components;
    rowType->get_StructFields(components.put());
    com::ptr<IRfcType> seats;
    components->get_Item(com::variant(L"SEATS").get(), seats.put());
    ABAPTYPE type{};
    seats->get_ScalarType(&type);
    EXPECT_EQ(type, TYPE_CHAR);
}

TEST(TableReader, HostileLayoutsReadAsBlanksNeverOutsideTheRow)
{
    Reader r;
    r.Columns({{L"BEYOND", L"000500", L"000010", L"C"},
               {L"NEGATIVE", L"-5", L"3", L"C"},
               {L"HUGE", L"0", L"99999999", L"C"},
               {L"WORDS", L"abc", L"xyz", L"I"},
               {L"DATE", L"3", L"8", L"D"},
               {L"TIME", L"2000000000", L"6", L"T"},
               {L"UNKNOWN", L"0", L"2", L"?"}});
    r.backend.tableRows = {L"AB", L""};
    ASSERT_EQ(r.reader->Read(0, 0), S_OK);
    EXPECT_EQ(Text(r.Value(1, L"BEYOND")), L"");
    EXPECT_EQ(Text(r.Value(1, L"NEGATIVE")), L"");
    EXPECT_EQ(Text(r.Value(1, L"HUGE")), L"AB");
    EXPECT_EQ(V_I4(r.Value(1, L"WORDS").addr()), 0);
    EXPECT_EQ(r.Value(1, L"DATE").vt(), VT_EMPTY);
    EXPECT_EQ(r.Value(2, L"TIME").vt(), VT_DATE); // blanks read as 00:00:00
    EXPECT_EQ(Text(r.Value(1, L"UNKNOWN")), L"AB");
}

TEST(TableReader, AFailingSelectionKeepsThePreviousRowsAndReportsTheError)
{
    Reader r;
    r.Columns({{L"CARRID", L"0", L"3", L"C"}});
    r.backend.tableRows = {L"LH ", L"AA "};
    ASSERT_EQ(r.reader->Read(0, 0), S_OK);
    auto rows = r.Rows();

    r.backend.failReadTable = true;
    ASSERT_EQ(r.reader->Read(0, 0), S_OK);
    VARIANT_BOOL error = VARIANT_FALSE;
    r.reader->get_Error(&error);
    EXPECT_EQ(error, VARIANT_TRUE);
    com::ptr<IRfcError> info;
    r.reader->get_ErrorInfo(info.put());
    com::bstr message;
    info->get_Message(message.put());
    EXPECT_EQ(message.view(), L"OPTION_NOT_VALID");
    EXPECT_EQ(r.Rows(), rows);
    long count = 0;
    rows->get_Count(&count);
    EXPECT_EQ(count, 2);

    // The next successful read clears the reader's error.
    r.backend.failReadTable = false;
    ASSERT_EQ(r.reader->Read(0, 0), S_OK);
    r.reader->get_Error(&error);
    EXPECT_EQ(error, VARIANT_FALSE);
}

TEST(TableReader, AReplacementModuleMustHaveTheSameInterface)
{
    Reader r;
    r.backend.interfaces[L"Z_READ_TABLE"] = [](IFunctionCall* call) {
        com::ptr<IRfcParameters> importing;
        call->get_Importing(importing.put());
        importing->AddScalar(com::bstr(L"QUERY_TABLE").get(), TYPE_CHAR, 30, 0, com::variant().get());
    };
    r.reader->put_Option(com::bstr(L"tablereader.transportcall").get(), com::bstr(L"Z_READ_TABLE").get());
    EXPECT_EQ(r.reader->Read(0, 0), E_INVALIDARG); // no DELIMITER to set

    Reader missing;
    missing.reader->put_Option(com::bstr(L"tablereader.transportcall").get(), com::bstr(L"Z_NOWHERE").get());
    EXPECT_EQ(missing.reader->Read(0, 0), static_cast<HRESULT>(0x8004021C));

    // A script reads the same reader through IDispatch.
    Reader scripted;
    scripted.Columns({{L"MANDT", L"0", L"3", L"C"}});
    scripted.backend.tableRows = {L"001"};
    auto dispatch = scripted.reader.query<IDispatch>();
    ASSERT_EQ(Call(dispatch.get(), L"Read", Args(1L)).hr, S_OK);
    auto rows = Object(Get(dispatch.get(), L"Rows"));
    auto first = Object(Get(rows.get(), L"Item", Args(1L)));
    auto field = Object(Get(first.get(), L"Item", Args(L"MANDT")));
    EXPECT_EQ(test::Text(Get(field.get(), L"value").value), L"001");
}
