#include "IniFile.h"

#include "ApiFailure.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace nwrfc {
namespace {

std::string trimmed(const std::string& s)
{
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

IniFile& IniFile::instance()
{
    static IniFile* file = new IniFile;
    return *file;
}

void IniFile::setPath(Uview path)
{
    std::error_code ec;
    const std::filesystem::path p{Ustring(path)};
    if (path.empty() || !std::filesystem::exists(p, ec))
        invalidParameter("ini path '" + toUtf8(path) + "' does not exist");
    std::lock_guard lock(m_mutex);
    m_file = std::filesystem::is_directory(p, ec) ? (p / L"sapnwrfc.ini").wstring() : p.wstring();
    loadLocked();
}

void IniFile::reload()
{
    std::lock_guard lock(m_mutex);
    loadLocked();
}

simwire::ParameterList IniFile::destination(const std::string& name)
{
    std::lock_guard lock(m_mutex);
    if (!m_loaded)
        loadLocked();
    const auto it = m_destinations.find(upper(name));
    if (it == m_destinations.end())
        invalidParameter("destination " + name + " not found in " + toUtf8(m_file));
    return it->second;
}

void IniFile::loadLocked()
{
    m_destinations.clear();
    m_loaded = true;
    std::ifstream in{std::filesystem::path(m_file), std::ios::binary};
    if (!in)
        return;
    std::string line;
    simwire::ParameterList* current = nullptr;
    bool first = true;
    while (std::getline(in, line)) {
        if (first && line.starts_with("\xEF\xBB\xBF"))
            line.erase(0, 3);
        first = false;
        line = trimmed(line);
        const size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string::npos || equals == 0)
            continue;
        const std::string name = lower(trimmed(line.substr(0, equals)));
        const std::string value = trimmed(line.substr(equals + 1));
        if (name == "dest")
            current = &m_destinations[upper(value)];
        else if (current != nullptr)
            current->emplace_back(name, value);
    }
}

} // namespace nwrfc
