#include "WindowDriver.h"

#include "support/TextFile.h"

#include <chrono>

namespace test {
namespace {

using Clock = std::chrono::steady_clock;
// Far more than any step takes (a window opens and a page loads within a second or two).
constexpr auto kDeadline = std::chrono::seconds(20);
constexpr auto kPoll = std::chrono::milliseconds(20);

struct Search {
    const std::wstring* title;
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = {};
    wchar_t text[256] = {};
    GetClassNameW(window, className, 16);
    GetWindowTextW(window, text, 256);
    if (process == GetCurrentProcessId() && std::wstring_view(className) == L"#32770" && *search->title == text &&
        GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

WindowDriver::WindowDriver(std::wstring title, std::wstring tracePath, Script script)
    : m_title(std::move(title)), m_tracePath(std::move(tracePath))
{
    m_thread = std::thread([this, script = std::move(script)] {
        script(*this);
        CloseWhatIsOpen();
    });
}

void WindowDriver::Join()
{
    m_returned = true;
    if (m_thread.joinable())
        m_thread.join();
}

template <class Condition>
bool WindowDriver::WaitFor(Condition condition)
{
    const auto deadline = Clock::now() + kDeadline;
    while (!m_returned && Clock::now() < deadline) {
        if (condition())
            return true;
        std::this_thread::sleep_for(kPoll);
    }
    return condition();
}

HWND WindowDriver::FindDialog(HWND owner) const
{
    Search search{&m_title, owner, nullptr};
    EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WindowDriver::Window()
{
    HWND window = nullptr;
    if (!WaitFor([&] { return (window = FindDialog(nullptr)) != nullptr; }))
        Problem(L"the window did not open");
    return window;
}

void WindowDriver::AwaitReturn()
{
    WaitFor([] { return false; });
    if (!m_returned)
        Problem(L"the window did not close by itself");
}

HWND WindowDriver::WarningBox(HWND window)
{
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindDialog(window)) != nullptr; }))
        Problem(L"no warning box appeared");
    return box;
}

bool WindowDriver::TraceShows(std::wstring_view text)
{
    const bool shown = WaitFor([&] { return ReadUtf8Text(m_tracePath).find(text) != std::wstring::npos; });
    if (!shown)
        Problem(L"the trace never showed " + std::wstring(text));
    return shown;
}

void WindowDriver::Click(HWND box, int button)
{
    if (HWND control = GetDlgItem(box, button))
        SendMessageW(control, BM_CLICK, 0, 0);
    else
        Problem(L"the box has no button " + std::to_wstring(button));
}

bool WindowDriver::Gone(HWND window)
{
    const bool gone = WaitFor([&] { return !IsWindow(window); });
    if (!gone)
        Problem(L"the window stayed open");
    return gone;
}

// Whatever the script left open is closed, answering a warning with Yes, until the window is
// gone or the modal call has returned.
void WindowDriver::CloseWhatIsOpen()
{
    const auto deadline = Clock::now() + kDeadline;
    while (!m_returned && Clock::now() < deadline) {
        HWND window = FindDialog(nullptr);
        if (!window) {
            std::this_thread::sleep_for(kPoll);
            continue;
        }
        if (HWND box = FindDialog(window))
            Click(box, IDYES);
        else
            Close(window);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

std::wstring WindowDriver::ProblemText() const
{
    std::wstring text;
    for (const std::wstring& problem : m_problems)
        text += problem + L"\n";
    return text;
}

} // namespace test
