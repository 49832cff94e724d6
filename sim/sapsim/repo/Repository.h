#pragma once

#include "dictionary/Dictionary.h"
#include "repo/DbTable.h"
#include "repo/FunctionDef.h"
#include "repo/UserStore.h"

#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace sapsim {

class RepositoryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Everything the simulated system knows: the dictionary, function module interfaces, database
// tables and users. Apart from the users' passwords it does not change after loading, so
// requests read it without locks.
class Repository {
public:
    static std::unique_ptr<Repository> load(const std::filesystem::path& directory);

    const Dictionary& dictionary() const { return m_dictionary; }
    const FunctionDef* function(const std::string& name) const;
    const DbTable* table(const std::string& name) const;
    std::vector<const FunctionDef*> functions() const;
    UserStore& users() { return m_users; }
    const UserStore& users() const { return m_users; }

private:
    friend class RepositoryLoader;

    Dictionary m_dictionary;
    std::map<std::string, FunctionDef> m_functions;
    std::map<std::string, DbTable> m_tables;
    UserStore m_users;
};

} // namespace sapsim
