#include "AcceptArguments.h"

#include "ApiFailure.h"
#include "MemoryCheck.h"
#include "WideText.h"

#include <vector>

namespace classicrfc {
namespace {

std::vector<std::string> argumentsOf(rfc_char_t** argv)
{
    require(argv, "argv");
    std::vector<std::string> out;
    for (unsigned i = 0;; ++i) {
        if (i >= AcceptArguments::maxArguments)
            invalidParameter("the argument list has no terminating null entry");
        if (!MemoryCheck::readable(&argv[i], sizeof argv[i]))
            invalidParameter("the argument list is not readable");
        if (argv[i] == nullptr)
            return out;
        out.push_back(utf8(callerText(argv[i], 1024, "an argument")));
    }
}

bool takesValue(char option)
{
    return option == 'a' || option == 'g' || option == 'x' || option == 'D' || option == 'L' || option == 'S';
}

} // namespace

AcceptArguments AcceptArguments::parse(rfc_char_t** argv)
{
    const std::vector<std::string> args = argumentsOf(argv);
    AcceptArguments out;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            if (i == 0)
                continue; // the program's name
            invalidParameter("argument " + std::to_string(i + 1) + " is no option");
        }
        const char option = arg[1];
        std::string value = arg.substr(2);
        if (takesValue(option) && value.empty() && i + 1 < args.size())
            value = args[++i];
        out.m_received.emplace_back(arg.substr(0, 2), value);
        if (option == 'a')
            out.m_programId = value;
        else if (option == 'g')
            out.m_gatewayHost = value;
        else if (option == 'x')
            out.m_gatewayService = value;
    }
    if (out.m_programId.empty())
        invalidParameter("no program ID given (-a)");
    return out;
}

} // namespace classicrfc
