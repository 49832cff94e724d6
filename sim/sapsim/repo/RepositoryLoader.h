#pragma once

#include "repo/Repository.h"
#include "repo/TableGenerator.h"

#include <nlohmann/json_fwd.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace sapsim {

// Reads the repository's data files (format: sim/README.md) into a Repository. Every mistake in
// a file is a RepositoryError naming the file and the entry.
class RepositoryLoader {
public:
    explicit RepositoryLoader(Repository& repository) : m_repo(repository) {}

    void load(const std::filesystem::path& directory);

private:
    struct Document {
        std::filesystem::path file;
        nlohmann::json* json;
    };

    void declareTypes(const nlohmann::json& doc, bool tables);
    void defineTableTypes(const nlohmann::json& doc);
    void defineStructures(const nlohmann::json& doc, bool tables);
    void checkCycles() const;
    void loadFunctions(const nlohmann::json& doc);
    void loadUsers(const nlohmann::json& doc);
    void loadTableRows(const nlohmann::json& doc);

    Component component(const nlohmann::json& field) const;
    Parameter parameter(const nlohmann::json& p, ParamClass paramClass) const;
    void fillRows(DbTable& table, const nlohmann::json& definition) const;
    void fillGenerated(DbTable& table, const nlohmann::json& definition) const;
    void fillFromRecords(DbTable& table, const nlohmann::json& mapping, bool users) const;
    ColumnRule columnRule(const nlohmann::json& definition) const;

    Repository& m_repo;
};

} // namespace sapsim
