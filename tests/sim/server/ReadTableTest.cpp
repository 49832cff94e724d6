// RFC_READ_TABLE: selections checked against the shipped flight data read independently from
// the repository file, paging, column layout and the module's exceptions.
#include "SimClient.h"

#include <nlohmann/json.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

using namespace simtest;

namespace {

using Flight = std::map<std::string, std::string>;

std::vector<Flight> flights()
{
    std::ifstream in(SimClient::repository() + "/tables/flights.json");
    const auto doc = nlohmann::json::parse(in);
    for (const auto& t : doc["tables"]) {
        if (t["name"] != "SFLIGHT")
            continue;
        std::vector<Flight> out;
        for (const auto& row : t["rows"]) {
            Flight f;
            for (size_t i = 0; i < row.size(); ++i)
                f[t["fields"][i]["name"]] = row[i].is_string() ? row[i].get<std::string>() : row[i].dump();
            out.push_back(f);
        }
        return out;
    }
    return {};
}

std::string trim(const std::string& s)
{
    const size_t a = s.find_first_not_of(' ');
    return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::vector<std::string> split(const std::string& wa, char delimiter)
{
    std::vector<std::string> parts(1);
    for (char c : wa) {
        if (c == delimiter)
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    std::transform(parts.begin(), parts.end(), parts.begin(), trim);
    return parts;
}

RfcCall readTable(const std::string& table, const std::vector<std::string>& options,
                  const std::vector<std::string>& fields, const std::string& delimiter = "|")
{
    std::string opt, fld;
    for (const auto& o : options)
        opt += "<item><TEXT>" + RfcCall::escape(o) + "</TEXT></item>";
    for (const auto& f : fields)
        fld += "<item><FIELDNAME>" + f + "</FIELDNAME></item>";
    return std::move(RfcCall("RFC_READ_TABLE")
                         .param("QUERY_TABLE", table)
                         .param("DELIMITER", delimiter)
                         .raw("<OPTIONS>" + opt + "</OPTIONS><FIELDS>" + fld + "</FIELDS>"));
}

// The flights a selection returns, as "CARRID|CONNID|FLDATE" in the server's order.
std::vector<std::string> selectFlights(SimClient& client, const std::vector<std::string>& options,
                                       const std::string& paging = "")
{
    const SoapReply r = client.call(std::move(readTable("SFLIGHT", options, {"CARRID", "CONNID", "FLDATE"}).raw(paging)));
    EXPECT_EQ(200, r.status()) << r.document();
    std::vector<std::string> keys;
    for (const Row& row : r.rows("DATA")) {
        const auto parts = split(row.at("WA"), '|');
        keys.push_back(parts.at(0) + "|" + parts.at(1) + "|" + parts.at(2));
    }
    return keys;
}

std::vector<std::string> expectFlights(const std::function<bool(const Flight&)>& keep)
{
    std::vector<std::string> keys;
    for (const Flight& f : flights())
        if (keep(f))
            keys.push_back(f.at("CARRID") + "|" + f.at("CONNID") + "|" + f.at("FLDATE"));
    return keys;
}

double price(const Flight& f) { return std::stod(f.at("PRICE")); }

std::string exceptionOf(SimClient& client, const RfcCall& call)
{
    return client.call(call).exceptionName();
}

} // namespace

TEST(ReadTable, SelectionsMatchTheFlightData)
{
    struct Case {
        std::vector<std::string> options;
        std::function<bool(const Flight&)> keep;
    };
    const Case cases[] = {
        {{"CARRID = 'LH'"}, [](const Flight& f) { return f.at("CARRID") == "LH"; }},
        {{"carrid eq 'LH'"}, [](const Flight& f) { return f.at("CARRID") == "LH"; }},
        {{"CARRID = 'lh'"}, [](const Flight&) { return false; }},
        {{"CARRID <> 'LH'"}, [](const Flight& f) { return f.at("CARRID") != "LH"; }},
        {{"PRICE > 1000"}, [](const Flight& f) { return price(f) > 1000; }},
        {{"PRICE >= '1000.00' AND PRICE LT 1500"}, [](const Flight& f) { return price(f) >= 1000 && price(f) < 1500; }},
        {{"SEATSOCC <= 150"}, [](const Flight& f) { return std::stoi(f.at("SEATSOCC")) <= 150; }},
        {{"FLDATE < '20240301'"}, [](const Flight& f) { return f.at("FLDATE") < "20240301"; }},
        {{"CONNID = 400"}, [](const Flight& f) { return f.at("CONNID") == "0400"; }},
        {{"PLANETYPE LIKE 'A3%'"}, [](const Flight& f) { return f.at("PLANETYPE").rfind("A3", 0) == 0; }},
        {{"PLANETYPE LIKE '7_7%'"}, [](const Flight& f) { return f.at("PLANETYPE").size() >= 3 && f.at("PLANETYPE")[0] == '7' && f.at("PLANETYPE")[2] == '7'; }},
        {{"CARRID = 'LH' AND ( PRICE < 700 OR PLANETYPE = '747-400' )"},
         [](const Flight& f) { return f.at("CARRID") == "LH" && (price(f) < 700 || f.at("PLANETYPE") == "747-400"); }},
        {{"CARRID = 'LH' AND PRICE < 700 OR PLANETYPE = '747-400'"},
         [](const Flight& f) { return (f.at("CARRID") == "LH" && price(f) < 700) || f.at("PLANETYPE") == "747-400"; }},
        {{"NOT CARRID = 'LH'", "AND NOT ( PRICE > 900 )"}, [](const Flight& f) { return f.at("CARRID") != "LH" && !(price(f) > 900); }},
        {{"CARRID IN ('AA', 'DL')"}, [](const Flight& f) { return f.at("CARRID") == "AA" || f.at("CARRID") == "DL"; }},
        {{"PRICE BETWEEN 500 AND 600"}, [](const Flight& f) { return price(f) >= 500 && price(f) <= 600; }},
        {{"CARRID NOT IN ('AA','DL') AND PLANETYPE NOT LIKE '%-%'"},
         [](const Flight& f) { return f.at("CARRID") != "AA" && f.at("CARRID") != "DL" && f.at("PLANETYPE").find('-') == std::string::npos; }},
        {{"CARRID = 'LH'", "AND CONNID = '0400'"}, [](const Flight& f) { return f.at("CARRID") == "LH" && f.at("CONNID") == "0400"; }},
    };
    SimClient client;
    for (const Case& c : cases) {
        const auto expected = expectFlights(c.keep);
        EXPECT_EQ(expected, selectFlights(client, c.options)) << c.options.front();
    }
    EXPECT_EQ(flights().size(), selectFlights(client, {}).size()) << "no selection reads everything";
}

TEST(ReadTable, PagesJoinUpToTheWholeSelection)
{
    SimClient client;
    const auto all = selectFlights(client, {"CARRID = 'LH'"});
    ASSERT_GT(all.size(), 20u);
    std::vector<std::string> paged;
    for (int skip = 0; skip <= static_cast<int>(all.size()); skip += 7) {
        const auto page = selectFlights(client, {"CARRID = 'LH'"},
                                        "<ROWSKIPS>" + std::to_string(skip) + "</ROWSKIPS><ROWCOUNT>7</ROWCOUNT>");
        EXPECT_LE(page.size(), 7u);
        paged.insert(paged.end(), page.begin(), page.end());
    }
    EXPECT_EQ(all, paged);
}

TEST(ReadTable, FieldsDescribeTheRowLayout)
{
    SimClient client;
    const SoapReply r = client.call(readTable("SFLIGHT", {}, {"carrid", "PRICE", "SEATSOCC", "FLDATE"}, " "));
    ASSERT_EQ(200, r.status()) << r.document();
    const auto fields = r.rows("FIELDS");
    ASSERT_EQ(4u, fields.size());
    std::vector<std::string> layout;
    for (const Row& f : fields)
        layout.push_back(f.at("FIELDNAME") + " " + f.at("TYPE") + " " + f.at("OFFSET") + " " + f.at("LENGTH"));
    // A blank delimiter means none; packed numbers take digits, point and sign; INT4 takes 11.
    EXPECT_EQ((std::vector<std::string>{"CARRID C 000000 000003", "PRICE P 000003 000017", "SEATSOCC I 000020 000011",
                                        "FLDATE D 000031 000008"}),
              layout);
    EXPECT_EQ("Airfare", fields[1].at("FIELDTEXT"));

    const Flight first = flights().front();
    const std::string wa = r.rows("DATA").front().at("WA");
    EXPECT_EQ(first.at("CARRID"), trim(wa.substr(0, 3)));
    EXPECT_EQ(first.at("PRICE"), trim(wa.substr(3, 17)));
    EXPECT_EQ(first.at("SEATSOCC"), trim(wa.substr(20, 11)));
    EXPECT_EQ(first.at("FLDATE"), wa.substr(31, 8));

    const SoapReply noData = client.call(std::move(readTable("SFLIGHT", {}, {}).param("NO_DATA", "X")));
    EXPECT_EQ(14u, noData.rows("FIELDS").size()) << "no FIELDS asked: all columns";
    EXPECT_TRUE(noData.rows("DATA").empty());
}

TEST(ReadTable, NumbersCarryTheirSignBehind)
{
    SimClient client;
    const SoapReply r = client.call(std::move(readTable("ZSIM_BIG", {"QUANTITY < 0 AND AMOUNT < 0"}, {"ID", "QUANTITY", "AMOUNT"})
                                                  .param("ROWCOUNT", "25")));
    ASSERT_EQ(200, r.status()) << r.document();
    const auto data = r.rows("DATA");
    ASSERT_EQ(25u, data.size());
    for (const Row& row : data) {
        const auto parts = split(row.at("WA"), '|');
        EXPECT_EQ('-', parts.at(1).back()) << row.at("WA");
        EXPECT_EQ('-', parts.at(2).back()) << row.at("WA");
        EXPECT_EQ(std::string::npos, parts.at(1).substr(0, parts.at(1).size() - 1).find_first_not_of("0123456789"))
            << "digits before the sign: " << row.at("WA");
    }
}

TEST(ReadTable, ReadsAHundredThousandRows)
{
    SimClient client;
    const SoapReply r = client.call(readTable("ZSIM_BIG", {}, {"ID"}));
    ASSERT_EQ(200, r.status());
    const auto data = r.rows("DATA");
    ASSERT_EQ(100000u, data.size());
    EXPECT_EQ("0000000001", data.front().at("WA"));
    EXPECT_EQ("0000100000", data.back().at("WA"));
}

TEST(ReadTable, TablesBuiltFromClientsAndUsers)
{
    SimClient client;
    auto column = [&](const std::string& table, const std::string& option, const std::string& field) {
        std::vector<std::string> values;
        for (const Row& row : client.call(readTable(table, {option}, {field})).rows("DATA"))
            values.push_back(row.at("WA"));
        return values;
    };
    EXPECT_EQ((std::vector<std::string>{"000", "001"}), column("T000", "", "MANDT"));
    EXPECT_EQ((std::vector<std::string>{"LOCKED"}), column("USR02", "UFLAG = 64", "BNAME"));
    EXPECT_EQ((std::vector<std::string>{"Demo User"}), column("ZSIM_USERNAMES", "BNAME = 'DEMO'", "NAME_TEXT"));

    // Tables beginning with MANDT show the rows of the logon client only; T000 belongs to none.
    SimClient reference({"REFUSER", "refuser1", "000"});
    EXPECT_EQ(2u, reference.call(readTable("T000", {}, {"MANDT"})).rows("DATA").size());
    EXPECT_EQ((std::vector<std::string>{"REFUSER"}), [&] {
        std::vector<std::string> users;
        for (const Row& row : reference.call(readTable("USR02", {}, {"BNAME"})).rows("DATA"))
            users.push_back(row.at("WA"));
        return users;
    }());
    const SoapReply none = reference.call(readTable("SFLIGHT", {}, {"CARRID"}));
    ASSERT_EQ(200, none.status());
    EXPECT_TRUE(none.rows("DATA").empty());
}

TEST(ReadTable, RaisesItsExceptions)
{
    SimClient client;
    EXPECT_EQ("TABLE_NOT_AVAILABLE", exceptionOf(client, readTable("ZNOTHING", {}, {})));
    EXPECT_EQ("FIELD_NOT_VALID", exceptionOf(client, readTable("SFLIGHT", {}, {"CARRID", "NOFIELD"})));
    for (const char* bad : {"CARRID = 'LH", "CARRID 'LH'", "NOFIELD = 1", "SEATSOCC = 'many'", "( CARRID = 'LH'",
                            "CARRID = 'LH' AND", "SEATSOCC LIKE '1%'", "PRICE BETWEEN 1", "CARRID IN ()", "CARRID = 'LH' ; DROP"})
        EXPECT_EQ("OPTION_NOT_VALID", exceptionOf(client, readTable("SFLIGHT", {bad}, {}))) << bad;
    // One parenthesis per selection line, as a line holds only 72 characters.
    auto nested = [](int depth) {
        std::vector<std::string> lines(static_cast<size_t>(depth), "(");
        lines.push_back("CARRID = 'LH'");
        lines.insert(lines.end(), static_cast<size_t>(depth), ")");
        return lines;
    };
    EXPECT_EQ(selectFlights(client, {"CARRID = 'LH'"}), selectFlights(client, nested(40)));
    EXPECT_EQ("OPTION_NOT_VALID", exceptionOf(client, readTable("SFLIGHT", nested(60), {})));

    EXPECT_EQ("DATA_BUFFER_EXCEEDED", exceptionOf(client, readTable("ZSIM_WIDE", {}, {})));
    const SoapReply narrow = client.call(readTable("ZSIM_WIDE", {"ID = 3"}, {"ID", "TEXT1"}));
    ASSERT_EQ(1u, narrow.rows("DATA").size()) << narrow.document();
    EXPECT_EQ("0003|first text of row 3", narrow.rows("DATA").front().at("WA"));
}
