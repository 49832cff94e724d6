#include "ListeningThread.h"

#include "com/Module.h"
#include "session/Trace.h"

#include <thread>

namespace tolvane {

ListeningThread::ListeningThread() : m_home(std::make_unique<com::ThreadNotifier>([] {})) {}

ListeningThread::~ListeningThread() = default;

void ListeningThread::Start()
{
    m_running = true;
    com::module_lock();
    try {
        // Detached: the thread holds this object until it ends; Stop waits for the event it sets last.
        std::thread([self = shared_from_this()]() mutable {
            {
                com::ApartmentScope apartment;
                self->Run();
            }
            self->m_running = false;
            self->m_ended.set();
            self.reset(); // before the module may go
            com::module_unlock();
        }).detach();
    } catch (...) {
        m_running = false;
        com::module_unlock();
        throw;
    }
}

void ListeningThread::RequestStop() noexcept
{
    m_stop = true;
    m_stopRequested.set();
}

void ListeningThread::Stop() noexcept
{
    RequestStop();
    if (!m_running || m_eventsRunning > 0)
        return; // never started, ended, or asked from one of its own events: it ends after that
    com::wait_pumping(m_ended.get());
}

void ListeningThread::Pause(DWORD milliseconds) noexcept { WaitForSingleObject(m_stopRequested.get(), milliseconds); }

void ListeningThread::Deliver(const std::function<void()>& raise) noexcept
{
    const bool delivered = m_home->call([&] {
        struct Leaving {
            int& count;
            ~Leaving() { --count; }
        } leaving{++m_eventsRunning};
        raise();
    });
    if (!delivered)
        TRACE_LOG(ostrel::TRACE_WARNING, L"the client's thread has ended: an event was not delivered");
}

} // namespace tolvane
