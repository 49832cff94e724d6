#pragma once
// Plays the user of a modal window from a second thread while the test's thread sits in the
// call that shows it: waits for the window, for its warning box, for lines in the trace file,
// closes the window and answers the box. Every wait ends at a deadline, and once the script is
// done (or gave up) the driver closes whatever is still open, so the modal call always returns.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace test {

class WindowDriver {
public:
    using Script = std::function<void(WindowDriver&)>;

    // `title` is the caption of the window and of its warning box; `tracePath` the trace file.
    WindowDriver(std::wstring title, std::wstring tracePath, Script script);
    // Call once the modal call has returned: pending waits give up, the thread ends.
    void Join();
    ~WindowDriver() { Join(); }

    // For scripts. Each wait gives null or false (and notes a problem) at its deadline.
    HWND Window();
    // Waits for the modal call to return by itself (the window closed on its own).
    void AwaitReturn();
    HWND WarningBox(HWND window);
    bool TraceShows(std::wstring_view text);
    void Close(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }
    void Click(HWND box, int button);
    bool Gone(HWND window);
    void Problem(std::wstring text) { m_problems.push_back(std::move(text)); }

    // What the script missed; read after Join().
    const std::vector<std::wstring>& Problems() const { return m_problems; }
    std::wstring ProblemText() const;

private:
    template <class Condition>
    bool WaitFor(Condition condition);
    HWND FindDialog(HWND owner) const;
    void CloseWhatIsOpen();

    std::wstring m_title;
    std::wstring m_tracePath;
    std::atomic<bool> m_returned{false};
    std::vector<std::wstring> m_problems;
    std::thread m_thread;
};

} // namespace test
