// Where the stand-in libraries look for the gateway: a service given as a port or as sapgwNN,
// otherwise the system number, and nothing guessed from what does not fit.
#include "Endpoint.h"
#include "RfcFailure.h"

#include <gtest/gtest.h>

TEST(Endpoint, ThePortComesFromTheServiceOrElseTheSystemNumber)
{
    const struct {
        const char* systemNumber;
        const char* service;
        unsigned short port; // 0: refused
    } cases[] = {
        {"07", "", 3307},       {"00", "", 3300},         {"", "sapgw12", 3312},  {"", "SAPGW99", 3399},
        {"07", "41000", 41000}, {"07", "sapgw01", 3301}, {"", "65535", 65535},   {"", "0", 0},
        {"", "65536", 0},       {"", "sapgw1", 0},        {"", "sapgwab", 0},    {"07", "gw", 0},
        {"7", "", 3307},        {"", "", 0},              {"x7", "", 0},
    };
    for (const auto& c : cases) {
        const std::string what = std::string("sysnr '") + c.systemNumber + "', gwserv '" + c.service + "'";
        if (c.port == 0) {
            EXPECT_THROW(simrfc::Endpoint::from("127.0.0.1", c.systemNumber, c.service), simrfc::RfcFailure) << what;
            continue;
        }
        const auto endpoint = simrfc::Endpoint::from("127.0.0.1", c.systemNumber, c.service);
        EXPECT_EQ(endpoint.port, c.port) << what;
        EXPECT_EQ(endpoint.host, "127.0.0.1") << what;
    }
    EXPECT_THROW(simrfc::Endpoint::from("", "00", ""), simrfc::RfcFailure);
}
