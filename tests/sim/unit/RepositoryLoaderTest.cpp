#include "repo/Repository.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

using namespace sapsim;
namespace fs = std::filesystem;

namespace {

// A small repository in a temporary folder; each test adds or replaces files.
class TempRepository {
public:
    TempRepository()
    {
        m_dir = fs::temp_directory_path() / ("sapsim-repo-" + std::to_string(++s_counter));
        fs::remove_all(m_dir);
        write("users.json", R"({"clients": [{"client": "001", "users": [{"user": "U", "password": "secret1"}]}]})");
        write("dictionary/base.json", R"({"structures": [{"name": "S", "fields": [{"name": "F", "type": "C", "length": 3}]}]})");
        write("functions/base.json", R"({"functions": [{"name": "F", "importing": [{"name": "P", "type": "S"}]}]})");
    }
    ~TempRepository() { fs::remove_all(m_dir); }

    void write(const std::string& file, const std::string& text)
    {
        fs::create_directories((m_dir / file).parent_path());
        std::ofstream(m_dir / file) << text;
    }
    std::string loadError()
    {
        try {
            Repository::load(m_dir);
        } catch (const RepositoryError& e) {
            return e.what();
        }
        return "loaded";
    }
    std::unique_ptr<Repository> load() { return Repository::load(m_dir); }

private:
    static inline int s_counter = 0;
    fs::path m_dir;
};

std::string table(const std::string& fields, const std::string& more)
{
    return R"({"tables": [{"name": "TAB", "fields": )" + fields + more + "}]}";
}

const std::string intField = R"([{"name": "N", "type": "I"}])";

} // namespace

TEST(RepositoryLoader, NamesFileAndEntryOfEveryMistake)
{
    const std::pair<std::pair<std::string, std::string>, std::string> cases[] = {
        {{"dictionary/x.json", R"({"structures": [{"name": "XS", "fields": [{"name": "A", "type": "ZZZ"}]}]})"},
         "x.json: structure XS: field A: unknown type 'ZZZ'"},
        {{"dictionary/x.json", R"({"structures": [{"name": "S", "fields": [{"name": "A", "type": "I"}]}]})"}, "'S' defined twice"},
        {{"dictionary/x.json", R"({"structures": [{"name": "XS", "fields": [{"name": "A", "type": "C", "lenght": 2}]}]})"},
         "unknown key 'lenght'"},
        {{"dictionary/x.json", R"({"structures": [{"name": "XA", "fields": [{"name": "A", "type": "YB"}]},
                                                  {"name": "YB", "fields": [{"name": "B", "type": "XA"}]}]})"},
         "contains itself"},
        {{"dictionary/x.json", R"({"structures": [{"name": "XS", "fields": [{"name": "A", "type": "P", "length": 2, "decimals": 3}]}]})"},
         "decimals"},
        {{"dictionary/x.json", R"({"structures": [{"name": "XS", "fields": [{"name": "A", "type": "C"}]}]})"}, "needs a length"},
        {{"dictionary/x.json", R"({"structures": [{"name": "lower", "fields": [{"name": "A", "type": "I"}]}]})"}, "name 'lower'"},
        {{"dictionary/x.json", R"({"tableTypes": [{"name": "P", "rowType": "S"}]})"}, "'P' is a type letter"},
        {{"tables/t.json", table(R"([{"name": "G", "type": "g"}])", "")}, "fixed-length scalar fields only"},
        {{"tables/t.json", table(intField, R"(, "rows": [[1, 2]])")}, "row 1 must list 1 values"},
        {{"tables/t.json", table(intField, R"(, "rows": [[1], ["abc"]])")}, "row 2: value 'abc' does not fit type I"},
        {{"tables/t.json", table(intField, R"(, "generate": {"rows": 1, "columns": {"M": {"constant": 1}}})")}, "unknown column M"},
        {{"tables/t.json", table(intField, R"(, "generate": {"rows": 1, "columns": {"N": {"random": [5, 1]}}})")}, "range runs backwards"},
        {{"tables/t.json", table(intField, R"(, "rows": [], "fromUsers": {})")}, "exclude each other"},
        {{"functions/x.json", R"({"functions": [{"name": "G", "tables": [{"name": "T", "type": "I"}]}]})"}, "a table parameter needs"},
        {{"functions/x.json", R"({"functions": [{"name": "G", "importing": [{"name": "I", "type": "I", "default": "x"}]}]})"},
         "parameter I: value 'x'"},
        {{"functions/x.json", R"({"functions": [{"name": "F"}]})"}, "function F: defined twice"},
        {{"functions/x.json", "{not json"}, "x.json"},
        {{"users.json", R"({"clients": [{"client": "01"}]})"}, "three digits"},
    };
    for (const auto& [file, expected] : cases) {
        TempRepository repo;
        repo.write(file.first, file.second);
        const std::string error = repo.loadError();
        EXPECT_NE(std::string::npos, error.find(expected)) << "expected '" << expected << "' in: " << error;
    }
}

TEST(RepositoryLoader, GeneratedTablesAreTheSameOnEveryLoadAndStayInRange)
{
    TempRepository repo;
    repo.write("tables/t.json", table(R"([{"name": "N", "type": "I"}, {"name": "D", "type": "D"}, {"name": "A", "type": "P", "length": 4, "decimals": 2}])",
                                      R"(, "generate": {"rows": 2000, "seed": 3, "columns": {"N": {"random": [-5, 5]},
                                          "D": {"date": ["2024-02-27", "2024-03-02"]}, "A": {"random": [-150, 150]}}})"));
    const auto first = repo.load();
    const auto second = repo.load();
    const DbTable* t = first->table("TAB");
    ASSERT_NE(nullptr, t);
    ASSERT_EQ(2000u, t->rows.size());
    EXPECT_EQ(t->rows, second->table("TAB")->rows);
    std::set<std::string> days, numbers;
    for (const auto& row : t->rows) {
        numbers.insert(row[0]);
        days.insert(row[1]);
        const double amount = std::stod(row[2]);
        EXPECT_TRUE(amount >= -1.5 && amount <= 1.5) << row[2];
    }
    EXPECT_EQ((std::set<std::string>{"-1", "-2", "-3", "-4", "-5", "0", "1", "2", "3", "4", "5"}), numbers);
    EXPECT_EQ((std::set<std::string>{"20240227", "20240228", "20240229", "20240301", "20240302"}), days);
}
