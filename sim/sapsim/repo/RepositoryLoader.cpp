#include "repo/RepositoryLoader.h"

#include "dictionary/ScalarCodec.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <functional>
#include <set>

namespace sapsim {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

constexpr size_t maxGeneratedRows = 2'000'000;

[[noreturn]] void bad(const std::string& message)
{
    throw RepositoryError(message);
}

void checkKeys(const json& j, std::initializer_list<const char*> allowed, const std::string& where)
{
    if (!j.is_object())
        bad(where + ": an object is expected");
    for (const auto& item : j.items())
        if (std::none_of(allowed.begin(), allowed.end(), [&](const char* a) { return item.key() == a; }))
            bad(where + ": unknown key '" + item.key() + "'");
}

std::string text(const json& j, const char* key, const std::string& fallback = {})
{
    if (!j.contains(key))
        return fallback;
    if (!j[key].is_string())
        bad(std::string("'") + key + "' must be a string");
    return j[key].get<std::string>();
}

int64_t number(const json& j, const char* key, int64_t fallback)
{
    if (!j.contains(key))
        return fallback;
    if (!j[key].is_number_integer())
        bad(std::string("'") + key + "' must be an integer");
    return j[key].get<int64_t>();
}

bool flag(const json& j, const char* key)
{
    if (!j.contains(key))
        return false;
    if (!j[key].is_boolean())
        bad(std::string("'") + key + "' must be true or false");
    return j[key].get<bool>();
}

const json& list(const json& j, const char* key)
{
    static const json empty = json::array();
    if (!j.contains(key))
        return empty;
    if (!j[key].is_array())
        bad(std::string("'") + key + "' must be a list");
    return j[key];
}

std::string name(const json& j, size_t maxLength = 30)
{
    const std::string n = text(j, "name");
    const bool ok = !n.empty() && n.size() <= maxLength && std::all_of(n.begin(), n.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '/';
    });
    if (!ok)
        bad("name '" + n + "' must be 1.." + std::to_string(maxLength) + " characters of A-Z, 0-9, _ and /");
    return n;
}

// A data file value as text: strings as they are, numbers in JSON's own notation.
std::string cellText(const json& v)
{
    if (v.is_string())
        return v.get<std::string>();
    if (v.is_number())
        return v.dump();
    bad("values must be strings or numbers, not " + v.dump());
}

std::vector<json> readDirectory(const fs::path& dir, std::vector<fs::path>& files)
{
    std::vector<json> docs;
    if (!fs::is_directory(dir))
        return docs;
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file() && entry.path().extension() == ".json")
            found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    for (const auto& file : found) {
        std::ifstream in(file, std::ios::binary);
        try {
            docs.push_back(json::parse(in));
        } catch (const json::exception& e) {
            bad(file.string() + ": " + e.what());
        }
        files.push_back(file);
    }
    return docs;
}

// Runs `step` for every document, naming the file in any error.
void eachDocument(const std::vector<json>& docs, const std::vector<fs::path>& files,
                  const std::function<void(const json&)>& step)
{
    for (size_t i = 0; i < docs.size(); ++i) {
        try {
            step(docs[i]);
        } catch (const RepositoryError& e) {
            throw RepositoryError(files[i].string() + ": " + e.what());
        } catch (const std::exception& e) {
            throw RepositoryError(files[i].string() + ": " + e.what());
        }
    }
}

// Runs `step` for one entry, naming the entry in any error.
template <class F>
void inEntry(const std::string& what, F step)
{
    try {
        step();
    } catch (const std::exception& e) {
        throw RepositoryError(what + ": " + e.what());
    }
}

} // namespace

void RepositoryLoader::load(const fs::path& directory)
{
    if (!fs::is_directory(directory))
        bad("repository folder " + directory.string() + " not found");
    std::vector<fs::path> dictFiles, tableFiles, functionFiles, userFiles;
    const auto dictDocs = readDirectory(directory / "dictionary", dictFiles);
    const auto tableDocs = readDirectory(directory / "tables", tableFiles);
    const auto functionDocs = readDirectory(directory / "functions", functionFiles);

    eachDocument(dictDocs, dictFiles, [&](const json& d) { declareTypes(d, false); });
    eachDocument(tableDocs, tableFiles, [&](const json& d) { declareTypes(d, true); });
    eachDocument(dictDocs, dictFiles, [&](const json& d) { defineTableTypes(d); });
    eachDocument(dictDocs, dictFiles, [&](const json& d) { defineStructures(d, false); });
    eachDocument(tableDocs, tableFiles, [&](const json& d) { defineStructures(d, true); });
    checkCycles();
    eachDocument(functionDocs, functionFiles, [&](const json& d) { loadFunctions(d); });

    const fs::path usersFile = directory / "users.json";
    std::ifstream in(usersFile, std::ios::binary);
    if (!in)
        bad(usersFile.string() + " not found");
    try {
        loadUsers(json::parse(in));
    } catch (const std::exception& e) {
        bad(usersFile.string() + ": " + e.what());
    }
    eachDocument(tableDocs, tableFiles, [&](const json& d) { loadTableRows(d); });
}

namespace {

// A dictionary name of one letter that is also a type letter could never be referred to.
std::string typeName(const json& j)
{
    const std::string n = name(j);
    if (n.size() == 1 && ScalarType::knownLetter(n[0]))
        bad("'" + n + "' is a type letter and cannot name a type");
    return n;
}

} // namespace

void RepositoryLoader::declareTypes(const json& doc, bool tables)
{
    if (tables) {
        checkKeys(doc, {"tables"}, "tables file");
        for (const json& t : list(doc, "tables")) {
            const std::string n = typeName(t);
            Structure& s = m_repo.m_dictionary.addStructure(n);
            s.text = text(t, "text");
            DbTable& table = m_repo.m_tables[n];
            table.name = n;
            table.text = s.text;
            table.structure = &s;
        }
        return;
    }
    checkKeys(doc, {"structures", "tableTypes"}, "dictionary file");
    for (const json& s : list(doc, "structures"))
        m_repo.m_dictionary.addStructure(typeName(s)).text = text(s, "text");
    for (const json& t : list(doc, "tableTypes"))
        m_repo.m_dictionary.addTableType(typeName(t)).text = text(t, "text");
}

void RepositoryLoader::defineTableTypes(const json& doc)
{
    for (const json& t : list(doc, "tableTypes")) {
        const std::string n = name(t);
        inEntry("table type " + n, [&] {
            checkKeys(t, {"name", "text", "rowType"}, "table type");
            const Structure* row = m_repo.m_dictionary.structure(text(t, "rowType"));
            if (row == nullptr)
                bad("row type '" + text(t, "rowType") + "' is not a structure");
            m_repo.m_dictionary.editTableType(n)->row = row;
        });
    }
}

void RepositoryLoader::defineStructures(const json& doc, bool tables)
{
    for (const json& s : list(doc, tables ? "tables" : "structures")) {
        const std::string n = name(s);
        inEntry((tables ? "table " : "structure ") + n, [&] {
            if (tables)
                checkKeys(s, {"name", "text", "clientIndependent", "fields", "columns", "rows", "generate", "fromClients", "fromUsers"}, "table");
            else
                checkKeys(s, {"name", "text", "fields"}, "structure");
            Structure& structure = *m_repo.m_dictionary.editStructure(n);
            for (const json& f : list(s, "fields")) {
                Component c = component(f);
                if (structure.indexOf(c.name) >= 0)
                    bad("field " + c.name + " defined twice");
                if (tables && (c.type.kind != TypeKind::Scalar || c.type.scalar.variableLength()))
                    bad("field " + c.name + ": database tables hold fixed-length scalar fields only");
                structure.components.push_back(std::move(c));
            }
            if (structure.components.empty())
                bad("no fields");
            if (tables) {
                const Component& first = structure.components.front();
                m_repo.m_tables[n].clientDependent = !flag(s, "clientIndependent") && first.name == "MANDT" &&
                                                      first.type.scalar.letter == 'C' && first.type.scalar.length == 3;
            }
        });
    }
}

Component RepositoryLoader::component(const json& f) const
{
    checkKeys(f, {"name", "type", "length", "decimals", "typeName", "text"}, "field");
    Component c;
    c.name = name(f);
    inEntry("field " + c.name, [&] {
        c.type = m_repo.m_dictionary.resolve(text(f, "type"), static_cast<int>(number(f, "length", 0)),
                                             static_cast<int>(number(f, "decimals", 0)), text(f, "typeName"));
        c.text = text(f, "text");
    });
    return c;
}

void RepositoryLoader::checkCycles() const
{
    // A structure that contains itself, directly or through other types, has no finite value.
    std::set<const Structure*> done;
    std::function<void(const Structure*, std::vector<const Structure*>&)> visit =
        [&](const Structure* s, std::vector<const Structure*>& path) {
            if (done.count(s))
                return;
            if (std::find(path.begin(), path.end(), s) != path.end())
                bad("structure " + s->name + " contains itself");
            path.push_back(s);
            for (const Component& c : s->components)
                if (c.type.kind != TypeKind::Scalar)
                    visit(c.type.structure, path);
            path.pop_back();
            done.insert(s);
        };
    for (const Structure* s : m_repo.m_dictionary.structures()) {
        std::vector<const Structure*> path;
        visit(s, path);
    }
}

void RepositoryLoader::loadFunctions(const json& doc)
{
    checkKeys(doc, {"functions"}, "functions file");
    for (const json& f : list(doc, "functions")) {
        FunctionDef def;
        def.name = name(f);
        inEntry("function " + def.name, [&] {
            checkKeys(f, {"name", "text", "importing", "exporting", "changing", "tables", "exceptions"}, "function");
            def.text = text(f, "text");
            const std::pair<const char*, ParamClass> classes[] = {{"importing", ParamClass::Importing},
                                                                 {"exporting", ParamClass::Exporting},
                                                                 {"changing", ParamClass::Changing},
                                                                 {"tables", ParamClass::Tables}};
            for (const auto& [key, cls] : classes)
                for (const json& p : list(f, key)) {
                    Parameter param = parameter(p, cls);
                    if (def.indexOf(param.name) >= 0)
                        bad("parameter " + param.name + " defined twice");
                    def.parameters.push_back(std::move(param));
                }
            for (const json& e : list(f, "exceptions")) {
                checkKeys(e, {"name", "text"}, "exception");
                def.exceptions.push_back({name(e), text(e, "text")});
            }
            if (!m_repo.m_functions.emplace(def.name, def).second)
                bad("defined twice");
        });
    }
}

Parameter RepositoryLoader::parameter(const json& p, ParamClass paramClass) const
{
    checkKeys(p, {"name", "type", "length", "decimals", "typeName", "optional", "default", "text"}, "parameter");
    Parameter param;
    param.name = name(p);
    param.paramClass = paramClass;
    inEntry("parameter " + param.name, [&] {
        param.type = m_repo.m_dictionary.resolve(text(p, "type"), static_cast<int>(number(p, "length", 0)),
                                                 static_cast<int>(number(p, "decimals", 0)), text(p, "typeName"));
        if (paramClass == ParamClass::Tables && param.type.kind == TypeKind::Structure) {
            param.type.kind = TypeKind::Table;
            param.type.name.clear();
        } else if (paramClass == ParamClass::Tables && param.type.kind != TypeKind::Table) {
            bad("a table parameter needs a structure or a table type");
        }
        param.optional = flag(p, "optional");
        param.defaultValue = text(p, "default");
        param.text = text(p, "text");
        if (!param.defaultValue.empty()) {
            if (param.type.kind != TypeKind::Scalar)
                bad("only scalar parameters have default values");
            ScalarCodec::fromText(param.type.scalar, param.defaultValue, ScalarCodec::Binary::Hex);
        }
    });
    return param;
}

void RepositoryLoader::loadUsers(const json& doc)
{
    checkKeys(doc, {"clients"}, "users file");
    for (const json& c : list(doc, "clients")) {
        checkKeys(c, {"client", "text", "city", "currency", "users"}, "client");
        ClientRecord client{text(c, "client"), text(c, "text"), text(c, "city"), text(c, "currency")};
        if (client.client.size() != 3 || !std::all_of(client.client.begin(), client.client.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
            bad("client '" + client.client + "' must be three digits");
        m_repo.m_users.addClient(client);
        for (const json& u : list(c, "users")) {
            checkKeys(u, {"user", "password", "fullName", "type", "group", "validFrom", "validTo", "expired", "locked"}, "user");
            UserRecord user;
            user.client = client.client;
            user.user = text(u, "user");
            user.password = text(u, "password");
            user.fullName = text(u, "fullName");
            user.type = text(u, "type", "A");
            user.group = text(u, "group");
            user.validFrom = text(u, "validFrom");
            user.validTo = text(u, "validTo");
            user.expired = flag(u, "expired");
            user.locked = flag(u, "locked");
            if (user.user.empty() || user.user.size() > 12)
                bad("user name '" + user.user + "' must have 1..12 characters");
            m_repo.m_users.addUser(std::move(user));
        }
    }
}

void RepositoryLoader::loadTableRows(const json& doc)
{
    for (const json& t : list(doc, "tables")) {
        DbTable& table = m_repo.m_tables[name(t)];
        inEntry("table " + table.name, [&] {
            const int sources = t.contains("rows") + t.contains("generate") + t.contains("fromClients") + t.contains("fromUsers");
            if (sources > 1)
                bad("rows, generate, fromClients and fromUsers exclude each other");
            if (t.contains("rows"))
                fillRows(table, t);
            else if (t.contains("generate"))
                fillGenerated(table, t["generate"]);
            else if (t.contains("fromClients"))
                fillFromRecords(table, t["fromClients"], false);
            else if (t.contains("fromUsers"))
                fillFromRecords(table, t["fromUsers"], true);
        });
    }
}

void RepositoryLoader::fillRows(DbTable& table, const json& definition) const
{
    const auto& components = table.structure->components;
    std::vector<int> columns;
    if (definition.contains("columns")) {
        for (const json& c : list(definition, "columns")) {
            const int index = c.is_string() ? table.structure->indexOf(c.get<std::string>()) : -1;
            if (index < 0)
                bad("unknown column " + c.dump());
            columns.push_back(index);
        }
    } else {
        for (size_t i = 0; i < components.size(); ++i)
            columns.push_back(static_cast<int>(i));
    }
    for (const json& r : list(definition, "rows")) {
        if (!r.is_array() || r.size() != columns.size())
            bad("row " + std::to_string(table.rows.size() + 1) + " must list " + std::to_string(columns.size()) + " values");
        std::vector<std::string> row;
        for (const Component& c : components)
            row.push_back(ScalarCodec::initial(c.type.scalar));
        for (size_t i = 0; i < columns.size(); ++i) {
            const ScalarType& type = components[static_cast<size_t>(columns[i])].type.scalar;
            inEntry("row " + std::to_string(table.rows.size() + 1), [&] {
                row[static_cast<size_t>(columns[i])] = ScalarCodec::fromText(type, cellText(r[i]), ScalarCodec::Binary::Hex);
            });
        }
        table.rows.push_back(std::move(row));
    }
}

void RepositoryLoader::fillGenerated(DbTable& table, const json& definition) const
{
    checkKeys(definition, {"rows", "seed", "columns"}, "generate");
    const int64_t rows = number(definition, "rows", 0);
    if (rows < 0 || static_cast<size_t>(rows) > maxGeneratedRows)
        bad("generate.rows must be 0.." + std::to_string(maxGeneratedRows));
    std::map<std::string, ColumnRule> rules;
    if (definition.contains("columns")) {
        if (!definition["columns"].is_object())
            bad("generate.columns must be an object");
        for (const auto& item : definition["columns"].items()) {
            if (table.structure->indexOf(item.key()) < 0)
                bad("generate.columns: unknown column " + item.key());
            inEntry("column " + item.key(), [&] { rules[item.key()] = columnRule(item.value()); });
        }
    }
    TableGenerator::generate(table, static_cast<uint64_t>(number(definition, "seed", 1)), static_cast<size_t>(rows), rules);
}

ColumnRule RepositoryLoader::columnRule(const json& definition) const
{
    checkKeys(definition, {"constant", "sequence", "random", "scale", "choice", "date", "time", "text", "bytes"}, "column rule");
    ColumnRule rule;
    auto pair = [&](const char* key) {
        const json& v = definition[key];
        if (!v.is_array() || v.size() != 2)
            bad(std::string("'") + key + "' needs two values");
        return std::make_pair(v[0], v[1]);
    };
    if (definition.contains("constant")) {
        rule.kind = ColumnRule::Kind::Constant;
        rule.constant = cellText(definition["constant"]);
    } else if (definition.contains("sequence")) {
        rule.kind = ColumnRule::Kind::Sequence;
        const auto [first, step] = pair("sequence");
        rule.first = first.get<int64_t>();
        rule.step = step.get<int64_t>();
    } else if (definition.contains("random")) {
        rule.kind = ColumnRule::Kind::Random;
        const auto [low, high] = pair("random");
        rule.low = low.get<int64_t>();
        rule.high = high.get<int64_t>();
        rule.scale = static_cast<int>(number(definition, "scale", -1));
    } else if (definition.contains("choice")) {
        rule.kind = ColumnRule::Kind::Choice;
        for (const json& c : list(definition, "choice"))
            rule.choices.push_back(cellText(c));
        if (rule.choices.empty())
            bad("'choice' needs at least one value");
    } else if (definition.contains("date")) {
        rule.kind = ColumnRule::Kind::Date;
        const auto [from, to] = pair("date");
        const ScalarType date{'D', 8, 0};
        rule.low = TableGenerator::daysFromDate(ScalarCodec::fromText(date, cellText(from)));
        rule.high = TableGenerator::daysFromDate(ScalarCodec::fromText(date, cellText(to)));
    } else if (definition.contains("time")) {
        rule.kind = ColumnRule::Kind::Time;
        const auto [from, to] = pair("time");
        const ScalarType time{'T', 6, 0};
        auto seconds = [&](const json& v) {
            const std::string t = ScalarCodec::fromText(time, cellText(v));
            return std::stoll(t.substr(0, 2)) * 3600 + std::stoll(t.substr(2, 2)) * 60 + std::stoll(t.substr(4, 2));
        };
        rule.low = seconds(from);
        rule.high = seconds(to);
    } else if (definition.contains("text")) {
        rule.kind = ColumnRule::Kind::Text;
        rule.pattern = text(definition, "text");
    } else if (definition.contains("bytes")) {
        rule.kind = ColumnRule::Kind::Bytes;
    } else {
        bad("no rule given");
    }
    if ((rule.kind == ColumnRule::Kind::Random || rule.kind == ColumnRule::Kind::Date ||
         rule.kind == ColumnRule::Kind::Time) && rule.high < rule.low)
        bad("range runs backwards");
    return rule;
}

void RepositoryLoader::fillFromRecords(DbTable& table, const json& mapping, bool users) const
{
    if (!mapping.is_object())
        bad("the record mapping must be an object");
    std::vector<std::map<std::string, std::string>> records;
    if (users) {
        for (const UserRecord& u : m_repo.m_users.users())
            records.push_back({{"client", u.client}, {"user", u.user}, {"fullName", u.fullName},
                               {"type", u.type}, {"group", u.group}, {"validFrom", u.validFrom},
                               {"validTo", u.validTo}, {"lockFlag", u.locked ? "64" : "0"},
                               {"passwordState", u.expired ? "1" : "0"}});
    } else {
        for (const ClientRecord& c : m_repo.m_users.clients())
            records.push_back({{"client", c.client}, {"text", c.text}, {"city", c.city}, {"currency", c.currency}});
    }
    for (const auto& record : records) {
        std::vector<std::string> row;
        for (const Component& c : table.structure->components) {
            const json* attribute = mapping.contains(c.name) ? &mapping[c.name] : nullptr;
            if (attribute == nullptr) {
                row.push_back(ScalarCodec::initial(c.type.scalar));
                continue;
            }
            const auto it = record.find(cellText(*attribute));
            if (it == record.end())
                bad("column " + c.name + ": no attribute " + attribute->dump());
            row.push_back(ScalarCodec::fromText(c.type.scalar, it->second, ScalarCodec::Binary::Hex));
        }
        table.rows.push_back(std::move(row));
    }
}

} // namespace sapsim
