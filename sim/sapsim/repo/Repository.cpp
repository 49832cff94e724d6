#include "repo/Repository.h"

#include "repo/RepositoryLoader.h"

namespace sapsim {

std::unique_ptr<Repository> Repository::load(const std::filesystem::path& directory)
{
    auto repository = std::make_unique<Repository>();
    RepositoryLoader(*repository).load(directory);
    return repository;
}

const FunctionDef* Repository::function(const std::string& name) const
{
    const auto it = m_functions.find(name);
    return it == m_functions.end() ? nullptr : &it->second;
}

const DbTable* Repository::table(const std::string& name) const
{
    const auto it = m_tables.find(name);
    return it == m_tables.end() ? nullptr : &it->second;
}

std::vector<const FunctionDef*> Repository::functions() const
{
    std::vector<const FunctionDef*> out;
    for (const auto& [name, f] : m_functions)
        out.push_back(&f);
    return out;
}

} // namespace sapsim
