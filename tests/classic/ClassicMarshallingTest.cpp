// The classic marshalling as the library sees it: value buffers, row layouts, internal tables
// and file-mode content, checked in the arrays handed to the (stand-in) library.
#include "ClassicTestSupport.h"

#include "classic/ClassicRfcLibrary.h"
#include "classic/IntRfcParams.h"
#include "classic/IntRfcTables.h"
#include "model/FunctionCall.h"
#include "model/RfcType.h"
#include "session/XTolvane.h"
#include "support/TextFile.h"

#include <cstring>
#include <fstream>

using namespace test;
using tolvane::CIntRfcParams;
using tolvane::CIntRfcT1StructDef;
using tolvane::CIntRfcTables;
using tolvane::CXTolvane;

namespace {

const classic::EntryPoints& Rfc() { return classic::Library(); }

std::wstring WideText(const void* bytes, size_t characters)
{
    std::wstring text(characters, L'\0');
    std::memcpy(text.data(), bytes, characters * sizeof(wchar_t));
    return text;
}

com::ptr<IRfcType> Structure(const wchar_t* name, std::initializer_list<std::pair<const wchar_t*, ABAPTYPE>> fields,
                             short length = 0)
{
    auto type = com::make<tolvane::CRfcType>();
    type->DefineStruct(com::bstr(name).get());
    for (const auto& [field, abapType] : fields)
        type->AddScalarStructField(com::bstr(field).get(), abapType, length, 0, -1, -1, -1, -1);
    return type;
}

uint32_t KindOf(const std::function<void()>& body)
{
    try {
        body();
    } catch (const CXTolvane& e) {
        return e.Kind();
    }
    return UINT32_MAX;
}

} // namespace

TEST(ClassicMarshalling, UnsetScalarsAreSentAsTheirTypesInitialValue)
{
    auto call = com::make<tolvane::CFunctionCall>();
    auto& importing = call->Parameters(tolvane::CFunctionCall::Importing);
    const struct {
        const wchar_t* name;
        ABAPTYPE type;
        short length;
        std::wstring image;
    } cases[] = {
        {L"C", TYPE_CHAR, 10, std::wstring(10, L' ')},
        {L"N", TYPE_NUM, 5, L"00000"},
        {L"D", TYPE_DATE, 8, L"00000000"},
        {L"T", TYPE_TIME, 6, L"000000"},
    };
    for (const auto& c : cases)
        importing.AddScalar(com::bstr(c.name).get(), c.type, c.length, 0, com::variant().get());
    CIntRfcParams params(Rfc(), &importing);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const classic::RFC_PARAMETER& descriptor = params.Array()[i];
        EXPECT_EQ(std::wstring(descriptor.name, descriptor.nlen), cases[i].name);
        EXPECT_EQ(descriptor.leng, 2 * cases[i].image.size());
        EXPECT_EQ(WideText(descriptor.addr, cases[i].image.size()), cases[i].image) << cases[i].name;
    }
    EXPECT_EQ(params.Array()[std::size(cases)].name, nullptr); // the terminator
}

TEST(ClassicMarshalling, MissingOffsetsFollowTheTypesAlignment)
{
    auto structure = Structure(L"ZLAYOUT", {{L"C", TYPE_CHAR}, {L"I", TYPE_INT}, {L"S", TYPE_INT2}, {L"F", TYPE_FLOAT}}, 3);
    const CIntRfcT1StructDef definition(Rfc(), structure.get());
    std::vector<unsigned> offsets;
    for (const auto& field : definition.Fields())
        offsets.push_back(field.offset);
    EXPECT_EQ(offsets, (std::vector<unsigned>{0, 8, 12, 16}));
    EXPECT_EQ(definition.Length(), 24u);
    EXPECT_NE(definition.Type(), 0u);
}

TEST(ClassicMarshalling, AFieldThatDoesNotFitItsStructureIsAnInvalidDefinition)
{
    auto tooShort = com::make<tolvane::CRfcType>();
    tooShort->DefineStruct(com::bstr(L"ZSHORT").get());
    tooShort->AddScalarStructField(com::bstr(L"I").get(), TYPE_INT, 0, 0, 0, 0, 2, 2);
    auto outside = com::make<tolvane::CRfcType>();
    outside->DefineStruct(com::bstr(L"ZOUTSIDE").get());
    outside->AddScalarStructField(com::bstr(L"C").get(), TYPE_CHAR, 4, 0, 10, 5, 8, 4);
    outside->put_StructLength(12);
    for (IRfcType* type : {tooShort.get(), outside.get()})
        EXPECT_EQ(KindOf([&] { CIntRfcT1StructDef(Rfc(), type); }), tolvane::ERROR_INSTALL_STRUCT);
}

TEST(ClassicMarshalling, AFileModeTableSendsTheFilesContentInDataColumnSizedLines)
{
    const std::wstring full = TempFilePath(L"tolvane-filemode-1021.bin");
    const std::wstring empty = TempFilePath(L"tolvane-filemode-empty.bin");
    {
        std::ofstream(full.c_str(), std::ios::binary) << std::string(1020, 'x') << 'y';
        std::ofstream(empty.c_str(), std::ios::binary);
    }
    // KEY, INDEX, DATA (255 characters: 510 bytes a line).
    auto row = com::make<tolvane::CRfcType>();
    row->DefineStruct(com::bstr(L"ZFILELINE").get());
    row->AddScalarStructField(com::bstr(L"KEY").get(), TYPE_CHAR, 4, 0, -1, -1, -1, -1);
    row->AddScalarStructField(com::bstr(L"INDEX").get(), TYPE_INT, 0, 0, -1, -1, -1, -1);
    row->AddScalarStructField(com::bstr(L"DATA").get(), TYPE_CHAR, 255, 0, -1, -1, -1, -1);
    auto call = com::make<tolvane::CFunctionCall>();
    auto& tables = call->Parameters(tolvane::CFunctionCall::Tables);
    tables.AddTable(com::bstr(L"FILES").get(), row.get());
    com::ptr<IRfcRows> rows;
    tables.Parameter(0).get_Rows(rows.put());
    ASSERT_EQ(rows->SetFileMode(3, 2), S_OK);
    for (const std::wstring& path : {full, empty}) {
        com::ptr<IRfcFields> fields;
        rows->AddRow(fields.put());
        com::ptr<IRfcField> field;
        fields->get_Item(com::variant(L"DATA").get(), field.put());
        field->put_value(com::variant(path).get());
        fields->get_Item(com::variant(L"KEY").get(), field.put());
        field->put_value(com::variant(L"K").get());
    }

    CIntRfcTables marshalled(Rfc(), &tables, true);
    const classic::RFC_TABLE& descriptor = marshalled.Array()[0];
    EXPECT_EQ(descriptor.itmode, classic::RFC_ITMODE_BYVALUE);
    ASSERT_EQ(Rfc().ItFillU(descriptor.ithandle), 4u); // 510 + 510 + 1, then the empty file's line
    const struct {
        int index;
        size_t dataBytes;
    } lines[] = {{1, 510}, {1, 510}, {1, 1}, {2, 0}};
    for (unsigned i = 0; i < std::size(lines); ++i) {
        const auto* line = static_cast<const uint8_t*>(Rfc().ItGetLineU(descriptor.ithandle, i + 1));
        EXPECT_EQ(WideText(line, 4), L"K   ") << i;
        int32_t index = 0;
        std::memcpy(&index, line + 8, 4);
        EXPECT_EQ(index, lines[i].index) << i;
        const std::string data(reinterpret_cast<const char*>(line + 12), 510);
        const size_t sent = i == 2 ? 1 : lines[i].dataBytes;
        EXPECT_EQ(data.substr(0, sent), i == 2 ? "y" : std::string(sent, 'x')) << i;
        // Past the file's bytes the line keeps its initial value: blanks.
        if (sent < 510) {
            EXPECT_EQ(WideText(line + 12 + ((sent + 1) & ~size_t(1)), 2), L"  ") << i;
        }
    }
    DeleteFileW(full.c_str());
    DeleteFileW(empty.c_str());

    // A file that is not there names itself in the failure.
    com::ptr<IRfcFields> missing;
    rows->AddRow(missing.put());
    com::ptr<IRfcField> data;
    missing->get_Item(com::variant(L"DATA").get(), data.put());
    data->put_value(com::variant(L"C:\\no\\such\\file.bin").get());
    try {
        CIntRfcTables(Rfc(), &tables, true);
        ADD_FAILURE() << "a missing file must fail the table";
    } catch (const CXTolvane& e) {
        EXPECT_EQ(e.Kind(), tolvane::ERROR_FILE_ACCESS);
        EXPECT_NE(e.Message().find(L"C:\\no\\such\\file.bin"), std::wstring::npos);
    }
}
