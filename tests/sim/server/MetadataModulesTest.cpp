// Interface and structure descriptions, and the import path a SOAP client takes with them.
#include "SimClient.h"

#include <nlohmann/json.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace simtest;

namespace {

SoapReply describe(SimClient& client, const std::string& module)
{
    return client.call(RfcCall("RFC_GET_FUNCTION_INTERFACE").param("FUNCNAME", module));
}

Row param(const SoapReply& r, const std::string& name)
{
    for (const Row& row : r.rows("PARAMS"))
        if (row.at("PARAMETER") == name)
            return row;
    return {};
}

SoapReply structure(SimClient& client, const std::string& name, bool halfDeep = true, bool skipUtf16 = false)
{
    return client.call(RfcCall("RFC_GET_UNICODE_STRUCTURE")
                           .param("TABNAME", name)
                           .param("ALLOW_HALF_DEEP", halfDeep ? "X" : "")
                           .param("SKIP_UTF16_INFO", skipUtf16 ? "X" : "")
                           .param("SKIP_UCS_4_INFO", "X"));
}

std::vector<std::string> repositoryFunctions()
{
    std::vector<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(SimClient::repository() + "/functions")) {
        std::ifstream in(file.path());
        const auto doc = nlohmann::json::parse(in);
        for (const auto& f : doc["functions"])
            names.push_back(f["name"]);
    }
    return names;
}

} // namespace

TEST(MetadataModules, FunctionInterfaceDescribesEveryParameterKind)
{
    SimClient client;
    const SoapReply s = describe(client, "STFC_STRUCTURE");
    ASSERT_EQ(200, s.status()) << s.document();
    std::vector<std::string> seen;
    for (const Row& row : s.rows("PARAMS"))
        seen.push_back(row.at("PARAMCLASS") + " " + row.at("PARAMETER") + " " + row.at("TABNAME") + " " +
                       row.at("EXID") + " " + row.at("INTLENGTH"));
    EXPECT_EQ((std::vector<std::string>{"I IMPORTSTRUCT RFCTEST u 144", "E ECHOSTRUCT RFCTEST u 144",
                                        "E RESPTEXT SYCHAR255 C 255", "T RFCTABLE RFCTEST u 144"}),
              seen);

    const SoapReply echo = describe(client, "Z_SIM_ECHO_TYPES");
    Row bcd = param(echo, "I_BCD");
    EXPECT_EQ("P", bcd["EXID"]);
    EXPECT_EQ("8", bcd["INTLENGTH"]) << "packed lengths are bytes";
    EXPECT_EQ("2", bcd["DECIMALS"]);
    EXPECT_EQ("X", bcd["OPTIONAL"]);
    EXPECT_EQ("g", param(echo, "I_STRING")["EXID"]);
    EXPECT_EQ("y", param(echo, "I_XSTRING")["EXID"]);
    EXPECT_EQ("s", param(echo, "I_INT2")["EXID"]);
    EXPECT_EQ("b", param(echo, "I_INT1")["EXID"]);
    EXPECT_EQ("", param(echo, "E_CHAR")["OPTIONAL"]);

    EXPECT_EQ("v", param(describe(client, "Z_SIM_DEEP"), "I_DEEP")["EXID"]);
    Row items = param(describe(client, "Z_SIM_TABLE_TYPE"), "T_ITEMS");
    EXPECT_EQ("h", items["EXID"]);
    EXPECT_EQ("ZSIM_ALLTYPES_TT", items["TABNAME"]);

    const SoapReply read = describe(client, "RFC_READ_TABLE");
    EXPECT_EQ("0", param(read, "ROWSKIPS")["DEFAULT"]);
    EXPECT_EQ("X", param(read, "DATA_BUFFER_EXCEEDED")["PARAMCLASS"]) << "exceptions are listed with class X";
    EXPECT_EQ("C", param(describe(client, "Z_SIM_INCREMENT"), "VALUE")["PARAMCLASS"]);
    EXPECT_EQ("ECHO", param(describe(client, "/SIM/ECHO"), "ECHO")["PARAMETER"]);
    EXPECT_EQ("FU_NOT_FOUND", describe(client, "Z_NO_SUCH_MODULE").exceptionName());
}

TEST(MetadataModules, UnicodeStructureGivesBothLayouts)
{
    SimClient client;
    const SoapReply r = structure(client, "RFCTEST");
    ASSERT_EQ(200, r.status()) << r.document();
    EXPECT_EQ("144", r.text("B1_TABLENGTH"));
    EXPECT_EQ("264", r.text("B2_TABLENGTH"));
    // Characters take one or two bytes; F is aligned to 8, I to 4, INT2 to 2, and characters to
    // their own size.
    std::vector<std::string> layout;
    for (const Row& f : r.rows("FIELDS"))
        layout.push_back(f.at("FIELDNAME") + " " + f.at("EXID") + " " + f.at("OFFSET_B1") + "+" + f.at("LENGTH_B1") +
                         " " + f.at("OFFSET_B2") + "+" + f.at("LENGTH_B2"));
    EXPECT_EQ((std::vector<std::string>{
                  "RFCFLOAT F 0+8 0+8", "RFCCHAR1 C 8+1 8+2", "RFCINT2 s 10+2 10+2", "RFCINT1 b 12+1 12+1",
                  "RFCCHAR4 C 13+4 14+8", "RFCINT4 I 20+4 24+4", "RFCHEX3 X 24+3 28+3", "RFCCHAR2 C 27+2 32+4",
                  "RFCTIME T 29+6 36+12", "RFCDATE D 35+8 48+16", "RFCDATA1 C 43+50 64+100", "RFCDATA2 C 93+50 164+100"}),
              layout);

    const SoapReply skipped = structure(client, "RFCTEST", true, true);
    EXPECT_EQ("0", skipped.text("B2_TABLENGTH"));
    EXPECT_EQ("0", skipped.rows("FIELDS").at(4).at("OFFSET_B2"));
    EXPECT_EQ("13", skipped.rows("FIELDS").at(4).at("OFFSET_B1"));

    const SoapReply packed = structure(client, "ZSIM_ALLTYPES");
    ASSERT_EQ(200, packed.status()) << packed.document();
    EXPECT_EQ("2", packed.rows("FIELDS").at(4).at("DECIMALS"));
    EXPECT_EQ("8", packed.rows("FIELDS").at(4).at("LENGTH_B1"));
}

TEST(MetadataModules, UnicodeStructureRefusesWhatIsNotAFlatStructure)
{
    SimClient client;
    EXPECT_EQ("UNSUPPORTED_TYPE", structure(client, "ZSIM_ALLTYPES", false).exceptionName()) << "strings need ALLOW_HALF_DEEP";
    EXPECT_EQ("UNSUPPORTED_TYPE", structure(client, "ZSIM_DEEP").exceptionName());
    EXPECT_EQ("TABLE_NOT_ACTIVE", structure(client, "ZSIM_NOTHING").exceptionName());
    EXPECT_EQ("TABLE_NOT_ACTIVE", structure(client, "ZSIM_ALLTYPES_TT").exceptionName()) << "a table type is no structure";
}

TEST(MetadataModules, NametabNamesTheRowOfATableType)
{
    SimClient client;
    auto nametab = [&](const std::string& name) { return client.call(RfcCall("RFC_GET_NAMETAB").param("TABNAME", name)); };
    const SoapReply tt = nametab("ZSIM_ALLTYPES_TT");
    ASSERT_EQ(200, tt.status()) << tt.document();
    EXPECT_EQ("ZSIM_ALLTYPES", tt.text("HEADER/REFNAME"));
    EXPECT_EQ("L", tt.text("HEADER/TABTYPE"));
    EXPECT_EQ(12u, tt.rows("NAMETAB").size());

    EXPECT_EQ("T", nametab("SFLIGHT").text("HEADER/TABTYPE"));
    const SoapReply deep = nametab("ZSIM_DEEP");
    EXPECT_EQ("u", deep.rows("NAMETAB").at(2).at("EXID"));
    EXPECT_EQ("h", deep.rows("NAMETAB").at(3).at("EXID"));
    EXPECT_EQ("TABLE_NOT_ACTIVE", nametab("ZSIM_NOTHING").exceptionName());
}

// What a SOAP client does to import any module: describe it, then describe each structure
// ("u") and the row of each table type ("h"). Every module the repository ships must pass.
TEST(MetadataModules, EveryModuleCanBeImported)
{
    SimClient client;
    const auto modules = repositoryFunctions();
    ASSERT_GT(modules.size(), 20u);
    for (const std::string& module : modules) {
        const SoapReply r = describe(client, module);
        ASSERT_EQ(200, r.status()) << module << ": " << r.document();
        for (const Row& p : r.rows("PARAMS")) {
            std::string structureName = p.at("TABNAME");
            if (p.at("EXID") == "h")
                structureName = client.call(RfcCall("RFC_GET_NAMETAB").param("TABNAME", structureName)).text("HEADER/REFNAME");
            else if (p.at("EXID") != "u")
                continue;
            const SoapReply s = structure(client, structureName);
            EXPECT_EQ(200, s.status()) << module << "-" << p.at("PARAMETER") << ": " << s.document();
            EXPECT_FALSE(s.rows("FIELDS").empty()) << structureName;
        }
    }
}
