#include "Options.h"

#include <charconv>

namespace sapsim {
namespace {

unsigned long long number(const std::string& option, const std::string& text, unsigned long long max)
{
    unsigned long long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v > max)
        throw UsageError(option + " needs a number up to " + std::to_string(max) + ", not '" + text + "'");
    return v;
}

} // namespace

Options Options::parse(const std::vector<std::string>& args)
{
    Options o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw UsageError(a + " needs a value");
            return args[++i];
        };
        if (a == "--http-port")
            o.httpPort = static_cast<unsigned short>(number(a, value(), 65535));
        else if (a == "--gateway-port")
            o.gatewayPort = static_cast<unsigned short>(number(a, value(), 65535));
        else if (a == "--repository")
            o.repository = value();
        else if (a == "--log")
            o.logFile = value();
        else if (a == "--verbose")
            o.verbose = true;
        else if (a == "--max-body")
            o.maxBody = static_cast<size_t>(number(a, value(), 1ull << 31));
        else if (a == "--max-connections")
            o.maxConnections = static_cast<size_t>(number(a, value(), 1024));
        else if (a == "--help" || a == "-h")
            o.help = true;
        else
            throw UsageError("unknown option " + a);
    }
    return o;
}

const char* Options::usage()
{
    return "usage: sapsim [--http-port N] [--gateway-port N] [--repository DIR] [--log FILE] [--verbose]\n"
           "              [--max-body BYTES] [--max-connections N]\n"
           "  --http-port N        port on 127.0.0.1 (0, the default, picks a free port)\n"
           "  --gateway-port N     RFC gateway port on 127.0.0.1 (0, the default, picks a free port)\n"
           "  --repository DIR     repository folder (default: the one shipped with sapsim)\n"
           "  --log FILE           append one line per request to FILE\n"
           "  --verbose            log to standard error as well, with request and response documents\n"
           "  --max-body BYTES     largest request body accepted (default 64 MiB)\n"
           "  --max-connections N  simultaneous connections (default 128)\n"
           "Prints 'sapsim gateway on 127.0.0.1:PORT', then 'sapsim listening on http://127.0.0.1:PORT' when ready; stops on POST /sim/shutdown or Ctrl+C.\n";
}

} // namespace sapsim
