#pragma once

#include <fstream>
#include <mutex>
#include <string>

namespace sapsim {

// The request log: one line per request to the --log file, and with --verbose also to standard
// error together with the request and response documents. Without either nothing is written,
// so logging costs nothing in benchmarks.
class Logger {
public:
    Logger(const std::string& file, bool verbose);

    bool enabled() const { return m_file.is_open() || m_verbose; }
    bool verbose() const { return m_verbose; }
    void line(const std::string& text);
    // Errors go to standard error whatever the settings.
    void error(const std::string& text);

    static constexpr size_t maxDocumentLog = 4000;

private:
    std::string stamp() const;

    std::mutex m_mutex;
    std::ofstream m_file;
    bool m_verbose;
};

} // namespace sapsim
