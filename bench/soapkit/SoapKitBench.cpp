// What the SOAP component costs next to doing the same work by hand.
//
//   cmake --build build --target soapkit_bench
//   scripts/wine-env start build
//   cmake/wine-run $PWD/build build/bin/soapkit_bench.exe [rows] [round trips]
//   scripts/wine-env stop build
//
// 1. A response of `rows` table rows (default 10,000, eight fields each): parsed with rapidxml
//    alone, against ReadResponse plus reading every field through the node objects the way
//    the SOAP session reads a table (ChildNodes, NodeAt per row, FindNode and GetValue per field).
// 2. Small request/response round trips (default 300) against a loopback server: through the
//    transport (PostRequest + FetchResponse) against synchronous WinHTTP with the same request.
#include "TestServer.h"
#include "soapkit/HttpTransport.h"
#include "soapkit/SoapEnvelope.h"
#include "com/Bstr.h"
#include "com/SafeArray.h"
#include "com/Variant.h"

#include <rapidxml/rapidxml.hpp>

#include <winhttp.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

std::string TableResponse(int rows)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope xmlns:soap="
                      "\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><rfc:RFC_READ_TABLEResponse "
                      "xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\"><DATA>";
    for (int i = 0; i < rows; ++i) {
        xml += "<item>";
        for (int f = 0; f < 8; ++f)
            xml += "<F" + std::to_string(f) + ">value " + std::to_string(i * 8 + f) + "</F" + std::to_string(f) + ">";
        xml += "</item>";
    }
    return xml + "</DATA></rfc:RFC_READ_TABLEResponse></soap:Body></soap:Envelope>";
}

com::variant Bytes(const std::string& text)
{
    com::safearray array = com::safearray::bytes(text.size());
    {
        com::array_data<char> data(array.get());
        std::copy(text.begin(), text.end(), data.data());
    }
    com::variant v;
    V_VT(v.addr()) = VT_ARRAY | VT_UI1;
    V_ARRAY(v.addr()) = array.detach();
    return v;
}

double RawParse(const std::string& xml)
{
    const auto start = Clock::now();
    std::vector<char> buffer(xml.begin(), xml.end());
    buffer.push_back('\0');
    rapidxml::xml_document<> doc;
    doc.parse<0>(buffer.data());
    return Seconds(start);
}

double ComponentRead(const std::string& xml, int rows)
{
    const com::variant bytes = Bytes(xml);
    const com::bstr charset(L"utf-8"), none(L"");
    const auto start = Clock::now();
    auto envelope = com::make<soapkit::CSoapEnvelope>();
    if (envelope->ReadResponse(bytes.get(), charset.get()) != S_OK)
        return -1;
    com::ptr<ISoapNodes> body, table_rows;
    com::ptr<ISoapNode> table;
    envelope->BodyNodes(body.put());
    body->FindNode(com::bstr(L"DATA").get(), none.get(), table.put());
    table->ChildNodes(table_rows.put());
    long count = 0;
    table_rows->NodeCount(&count);
    std::vector<com::bstr> names;
    for (int f = 0; f < 8; ++f)
        names.emplace_back(L"F" + std::to_wstring(f));
    for (long i = 0; i < count; ++i) {
        com::ptr<ISoapNode> row, field;
        com::ptr<ISoapNodes> fields;
        table_rows->NodeAt(i, row.put());
        row->ChildNodes(fields.put());
        for (const com::bstr& name : names) {
            fields->FindNode(name.get(), none.get(), field.put());
            com::variant value;
            field->GetValue(value.put());
        }
    }
    return count == rows ? Seconds(start) : -1;
}

double ComponentRoundTrips(const std::wstring& url, int n)
{
    auto transport = com::make<soapkit::CHttpTransport>();
    const com::bstr target(url), text(L"<request/>");
    const auto start = Clock::now();
    for (int i = 0; i < n; ++i) {
        BSTR charset = SysAllocString(L"utf-8");
        com::variant body;
        const HRESULT posted = transport->PostRequest(target.get(), text.get());
        const HRESULT fetched = SUCCEEDED(posted) ? transport->FetchResponse(&charset, body.put()) : posted;
        SysFreeString(charset);
        if (FAILED(fetched))
            return -1;
    }
    return Seconds(start);
}

double RawRoundTrips(unsigned short port, int n)
{
    HINTERNET session = WinHttpOpen(L"bench", WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0);
    HINTERNET connect = WinHttpConnect(session, L"127.0.0.1", port, 0);
    const char body[] = "<request/>";
    const auto start = Clock::now();
    for (int i = 0; i < n; ++i) {
        HINTERNET request = WinHttpOpenRequest(connect, L"POST", L"/sap/bc/soap/rfc", nullptr, nullptr, nullptr, 0);
        WinHttpSendRequest(request, L"Content-Type: text/xml; charset=utf-8\r\nSOAPAction: \"\"\r\n",
                           static_cast<DWORD>(-1L), const_cast<char*>(body), sizeof body - 1, sizeof body - 1, 0);
        WinHttpReceiveResponse(request, nullptr);
        char buffer[4096];
        DWORD read = 0;
        while (WinHttpReadData(request, buffer, sizeof buffer, &read) && read > 0) {
        }
        WinHttpCloseHandle(request);
    }
    const double seconds = Seconds(start);
    WinHttpCloseHandle(connect);
    WinHttpCloseHandle(session);
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int trips = argc > 2 ? std::atoi(argv[2]) : 300;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    const std::string xml = TableResponse(rows);
    const double raw = RawParse(xml), component = ComponentRead(xml, rows);
    std::printf("table of %d rows (%zu bytes): rapidxml parse %.1f ms, component read of every field %.1f ms (%.1fx)\n",
                rows, xml.size(), raw * 1000, component * 1000, component / raw);

    test::TestServer server([](const test::HttpRequestSeen&) {
        return test::HttpReply::xml("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                                    "<soap:Body><R/></soap:Body></soap:Envelope>");
    });
    const double direct = RawRoundTrips(server.port(), trips);
    const double through = ComponentRoundTrips(server.url(L"/sap/bc/soap/rfc"), trips);
    std::printf("%d round trips: synchronous WinHTTP %.0f/s, transport %.0f/s (%.0f %%)\n", trips, trips / direct,
                trips / through, 100.0 * direct / through);
    server.stop();
    CoUninitialize();
    return 0;
}
