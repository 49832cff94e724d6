#include "Connection.h"

#include "ApiFailure.h"
#include "Trace.h"

#include "ProcessName.h"

namespace nwrfc {

std::string Connection::processName()
{
    return simrfc::processName();
}

namespace {

unsigned traceLevelOf(const ConnectionParameters& p)
{
    const std::string t = p.get("trace");
    return t.size() == 1 && t[0] >= '0' && t[0] <= '4' ? static_cast<unsigned>(t[0] - '0') : 0;
}

} // namespace

void rethrow(const simrfc::RfcFailure& failure)
{
    throw ApiFailure(failure.record());
}

Connection::Connection(const ConnectionParameters& parameters, const simwire::SystemAttributes& attributes, bool server)
    : Handled(HandleKind::Connection), m_attributes(attributes), m_dest(parameters.get("dest")),
      m_host(server ? parameters.get("gwhost") : parameters.get("ashost")), m_sysNumber(parameters.get("sysnr")),
      m_programName(server ? parameters.get("program_id") : processName()), m_server(server),
      m_traceLevel(traceLevelOf(parameters))
{
}

RFC_ATTRIBUTES Connection::rfcAttributes() const
{
    RFC_ATTRIBUTES a{};
    copyTo(a.dest, m_dest);
    copyTo(a.host, std::string_view("localhost"));
    copyTo(a.partnerHost, m_host);
    copyTo(a.sysNumber, m_sysNumber);
    copyTo(a.sysId, m_attributes.sysId);
    copyTo(a.client, m_attributes.client);
    copyTo(a.user, m_attributes.user);
    copyTo(a.language, m_attributes.language);
    copyTo(a.trace, std::to_string(m_traceLevel));
    copyTo(a.isoLanguage, m_attributes.isoLanguage);
    copyTo(a.codepage, std::string_view("4103"));
    copyTo(a.partnerCodepage, m_attributes.codepage);
    copyTo(a.rfcRole, std::string_view(m_server ? "S" : "C"));
    copyTo(a.type, std::string_view("E"));
    copyTo(a.partnerType, std::string_view("3"));
    copyTo(a.rel, std::string_view("753"));
    copyTo(a.partnerRel, m_attributes.release);
    copyTo(a.kernelRel, m_attributes.kernelRelease);
    copyTo(a.cpicConvId, std::to_string(m_attributes.connectionId));
    copyTo(a.progName, m_programName);
    copyTo(a.partnerBytesPerChar, std::string_view("2"));
    copyTo(a.partnerSystemCodepage, m_attributes.codepage);
    const std::string ip = m_attributes.partnerIp.substr(0, m_attributes.partnerIp.find(':'));
    copyTo(a.partnerIP, ip);
    return a;
}

void Connection::trace(unsigned level, const std::string& text) const
{
    Trace::write(level, label() + ": " + text, m_traceLevel);
}

std::string Connection::label() const
{
    return std::string(m_server ? "server" : "connection") + " " + std::to_string(m_attributes.connectionId);
}

} // namespace nwrfc
