// The BSP application window with the real web browser control, against sapsim's BSP
// application (start.htm -> main.htm -> exit.htm), on the X display of the Wine session. The
// window's user is played by a WindowDriver on a second thread.
#include "WindowDriver.h"
#include "bsp/BSPApplication.h"
#include "session/Trace.h"
#include "soap/SoapTestSupport.h"
#include "support/TextFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

using test::WindowDriver;

namespace {

constexpr wchar_t kApplication[] = L"sap/bc/bsp/sap/zsim_flow/start.htm";
constexpr wchar_t kTitle[] = L"Tolvane BSP window test";

// A logon ticket of sapsim for the user (and its password).
std::wstring Ticket(const wchar_t* user, const wchar_t* password)
{
    static std::map<std::wstring, std::wstring> tickets;
    std::wstring& ticket = tickets[user];
    if (ticket.empty()) {
        auto session = test::ConnectedSession({user, password});
        auto call = test::Import(session.get(), L"Z_SIM_SSO2_TICKET");
        EXPECT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
        ticket = test::Text(test::Get(call.get(), L"TICKET"));
    }
    return ticket;
}

// An icon file of one 32x32 image, 32 bits per pixel, all one colour.
void WriteIconFile(const std::wstring& path)
{
    constexpr int size = 32;
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), size, size * 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const std::vector<DWORD> pixels(size * size, 0xFF2060C0);
    const std::vector<BYTE> mask(size * size / 8, 0);
    const DWORD imageSize = sizeof header + static_cast<DWORD>(pixels.size() * 4 + mask.size());
#pragma pack(push, 2)
    struct {
        WORD reserved, type, count;
        BYTE width, height, colours, reserved2;
        WORD planes, bits;
        DWORD bytes, offset;
    } directory{0, 1, 1, size, size, 0, 0, 1, 32, imageSize, 22};
#pragma pack(pop)
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&directory), sizeof directory);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size() * 4));
    out.write(reinterpret_cast<const char*>(mask.data()), static_cast<std::streamsize>(mask.size()));
}

BOOL CALLBACK AppendStaticText(HWND child, LPARAM texts)
{
    wchar_t className[16] = {}, text[256] = {};
    GetClassNameW(child, className, 16);
    if (lstrcmpiW(className, L"Static") == 0 && GetWindowTextW(child, text, 256) > 0)
        *reinterpret_cast<std::wstring*>(texts) += text;
    return TRUE;
}

// The texts of a message box's static controls (its message, and an empty one for the icon).
std::wstring StaticTexts(HWND box)
{
    std::wstring texts;
    EnumChildWindows(box, AppendStaticText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

class BSPWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ostrel::TraceClose();
        DeleteFileW(m_trace.c_str());
        app->get_HttpSystemData(system.put());
        app->get_LogonData(logon.put());
        app->get_Window(window.put());
        app->get_Parameters(parameters.put());
        system->put_Host(com::bstr(L"127.0.0.1").get());
        system->put_Port(test::SimPort());
        logon->put_Client(com::bstr(L"001").get());
        logon->put_Language(com::bstr(L"EN").get());
        logon->put_User(com::bstr(L"DEMO").get());
        logon->put_SSO2Ticket(com::bstr(Ticket(L"DEMO", L"demo1234")).get());
        window->put_Title(com::bstr(kTitle).get());
        app->put_Option(com::bstr(L"trace.file").get(), com::bstr(m_trace).get());
    }
    void TearDown() override
    {
        ostrel::TraceClose();
        DeleteFileW(m_trace.c_str());
    }

    // Shows the application while `script` plays the user; fails the test for what it missed.
    void Show(const wchar_t* exitPage, WindowDriver::Script script, const wchar_t* application = kApplication)
    {
        WindowDriver driver(kTitle, m_trace, std::move(script));
        EXPECT_EQ(app->ShowApplication(com::bstr(application).get(), com::bstr(exitPage).get()), S_OK);
        driver.Join();
        EXPECT_TRUE(driver.Problems().empty()) << driver.ProblemText() << "trace:\n" << Trace();
    }

    // The window closes by itself, often before a driver polling for it would see it.
    static void AwaitExit(WindowDriver& driver) { driver.AwaitReturn(); }

    // Waits until the browser has loaded the page of an application that leads nowhere (the
    // line that follows it is written in the same event, before the window can close).
    static HWND AwaitStayingPage(WindowDriver& driver)
    {
        HWND w = driver.Window();
        return w && driver.TraceShows(L"OnDownloadComplete:'" + SimUrl(L"main.htm?")) ? w : nullptr;
    }
    static std::wstring SimUrl(const std::wstring& page)
    {
        return L"http://127.0.0.1:" + std::to_wstring(test::SimPort()) + L"/sap/bc/bsp/sap/zsim_flow/" + page;
    }

    std::map<std::wstring, std::vector<std::wstring>> Returned() const
    {
        std::map<std::wstring, std::vector<std::wstring>> values;
        long count = 0;
        parameters->get_Count(&count);
        for (long i = 1; i <= count; ++i) {
            com::ptr<IBSPParameter> p;
            parameters->get_Item(com::variant(i).get(), p.put());
            com::bstr name, value;
            p->get_name(name.put());
            p->get_value(value.put());
            values[name.str()].push_back(value.str());
        }
        return values;
    }
    long Count() const
    {
        long count = 0;
        parameters->get_Count(&count);
        return count;
    }
    std::wstring Trace() const { return test::ReadUtf8Text(m_trace); }

    com::ptr<tolvane::CBSPApplication> app = com::make<tolvane::CBSPApplication>();
    com::ptr<IHttpSystemData> system;
    com::ptr<ILogonData> logon;
    com::ptr<IWindowProperties> window;
    com::ptr<IBSPParameters> parameters;
    const std::wstring m_trace = test::TempFilePath(L"tolvane-bsp-window-test.log");
};

using Values = std::vector<std::wstring>;

} // namespace

TEST_F(BSPWindowTest, TheExitPageClosesTheWindowAndHandsBackItsParameters)
{
    parameters->AddParameter(com::bstr(L"order").get(), com::bstr(L"4711").get());
    parameters->AddParameter(com::bstr(L"mode").get(), com::bstr(L"").get());
    Show(L"exit.htm", AwaitExit);

    auto returned = Returned();
    // Sent and echoed in the exit page's URL: what the server received.
    EXPECT_EQ(returned[L"order"], (Values{L"4711", L"4711"}));
    EXPECT_EQ(returned[L"mode"], (Values{L"", L""}));
    EXPECT_EQ(returned[L"sap-client"], Values{L"001"});
    EXPECT_EQ(returned[L"sap-language"], Values{L"EN"});
    // From sap-params: whom the server took the window for.
    EXPECT_EQ(returned[L"user"], Values{L"DEMO"});
    EXPECT_EQ(returned[L"logon"], Values{L"ticket"});
    EXPECT_EQ(returned[L"client"], Values{L"001"});
    EXPECT_EQ(returned.count(L"sap-params"), 0u);
    EXPECT_EQ(Count(), 9);
}

TEST_F(BSPWindowTest, TheTicketOfTheLogonDataReachesTheServer)
{
    logon->put_SSO2Ticket(com::bstr(Ticket(L"RFCUSER", L"rfcuser1")).get());
    Show(L"exit.htm", AwaitExit);
    EXPECT_EQ(Returned()[L"user"], Values{L"RFCUSER"});
    EXPECT_EQ(Returned()[L"logon"], Values{L"ticket"});
}

TEST_F(BSPWindowTest, TheTraceTellsTheWay)
{
    parameters->AddParameter(com::bstr(L"a").get(), com::bstr(L"1").get());
    Show(L"exit.htm", AwaitExit);

    const std::wstring trace = Trace();
    const std::wstring url = SimUrl(L"start.htm?sap-client=001&sap-language=EN&a=1");
    const std::wstring ticket = Ticket(L"DEMO", L"demo1234");
    const std::wstring exitUrl = SimUrl(L"exit.htm?sap-client=001&sap-language=EN&a=1&sap-params=");
    const std::wstring lines[] = {
        L"[Tolvane]\tCBSPApplication->ShowApplication(): application=" + std::wstring(kApplication) + L" url=" + url +
            L" exit=exit.htm user=DEMO\n",
        L"\tOnUser: authenticating with MYSAPSSO2 ticket (len=" + std::to_wstring(ticket.size() + 7) + L")\n",
        L"\tOnDownloadComplete:'" + exitUrl,
        L"\tOnDownloadComplete: Compare with Exit Page: 'exit.htm' = " + std::to_wstring(exitUrl.find(L"exit.htm")) +
            L"\n",
        L"\tCBSPApplication->ShowApplication(): returned from modal popup\n",
        L"\treturned parameter a=1\n",
        L"\treturned parameter user=DEMO\n",
    };
    size_t from = 0;
    for (const std::wstring& line : lines) {
        const size_t at = trace.find(line, from);
        ASSERT_NE(at, std::wstring::npos) << "missing, or out of order: " << line << "\ntrace:\n" << trace;
        from = at + line.size();
    }
    EXPECT_EQ(trace.find(ticket), std::wstring::npos) << "the ticket itself is never traced";
}

TEST_F(BSPWindowTest, AWindowClosedBeforeTheExitPageLeavesTheParametersAsTheyWere)
{
    parameters->AddParameter(com::bstr(L"stay").get(), com::bstr(L"X").get());
    Show(L"exit.htm", [](WindowDriver& driver) {
        if (HWND w = AwaitStayingPage(driver)) {
            driver.Close(w);
            driver.Gone(w);
        }
    });
    EXPECT_EQ(Count(), 1);
    EXPECT_NE(Trace().find(L"Compare with Exit Page: 'exit.htm' = -1\n"), std::wstring::npos);
}

TEST_F(BSPWindowTest, TheCloseWarningKeepsTheWindowUnlessAnsweredYes)
{
    window->put_CloseWarning(com::bstr(L"Leave the application?").get());
    parameters->AddParameter(com::bstr(L"stay").get(), com::bstr(L"X").get());
    bool openAfterNo = false;
    std::wstring boxText;
    Show(L"exit.htm", [&](WindowDriver& driver) {
        HWND w = AwaitStayingPage(driver);
        if (!w)
            return;
        driver.Close(w);
        HWND box = driver.WarningBox(w);
        if (!box)
            return;
        boxText = StaticTexts(box);
        driver.Click(box, IDNO);
        if (!driver.Gone(box))
            return;
        openAfterNo = IsWindow(w) && IsWindowVisible(w);
        driver.Close(w);
        if ((box = driver.WarningBox(w)) != nullptr)
            driver.Click(box, IDYES);
        driver.Gone(w);
    });
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(boxText, L"Leave the application?");
    EXPECT_EQ(Count(), 1);
}

TEST_F(BSPWindowTest, AWindowBeyondTheScreenOpensAtItsMiddle)
{
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920) << "the display fixture's screen";
    window->put_Left(5000);
    window->put_Top(120);
    window->put_Width(640);
    window->put_Height(480);
    parameters->AddParameter(com::bstr(L"stay").get(), com::bstr(L"X").get());
    RECT rect{};
    Show(L"exit.htm", [&](WindowDriver& driver) {
        if (HWND w = driver.Window())
            GetWindowRect(w, &rect);
    });
    EXPECT_EQ(rect.left, 960);
    EXPECT_EQ(rect.top, 120);
    EXPECT_EQ(rect.right - rect.left, 640);
    EXPECT_EQ(rect.bottom - rect.top, 480);
}

TEST_F(BSPWindowTest, AnIconFileGivesTheWindowItsIcons)
{
    const std::wstring icon = test::TempFilePath(L"tolvane-bsp-window-test.ico");
    WriteIconFile(icon);
    parameters->AddParameter(com::bstr(L"stay").get(), com::bstr(L"X").get());
    auto icons = [&](const wchar_t* path) {
        window->put_IconPath(com::bstr(path).get());
        std::pair<LRESULT, LRESULT> shown{};
        Show(L"exit.htm", [&](WindowDriver& driver) {
            if (HWND w = driver.Window())
                shown = {SendMessageW(w, WM_GETICON, ICON_BIG, 0), SendMessageW(w, WM_GETICON, ICON_SMALL, 0)};
        });
        return shown;
    };
    const auto withIcons = icons(icon.c_str());
    EXPECT_NE(withIcons.first, 0);
    EXPECT_NE(withIcons.second, 0);
    const auto without = icons(L"");
    EXPECT_EQ(without.first, 0);
    EXPECT_EQ(without.second, 0);
    DeleteFileW(icon.c_str());
}
