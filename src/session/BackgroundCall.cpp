#include "BackgroundCall.h"

namespace tolvane {

BackgroundCall::BackgroundCall(std::unique_ptr<CIntCall> call, com::ThreadNotifier* notifier)
    : m_call(std::move(call)), m_thread([this, notifier] { Run(notifier); })
{
}

BackgroundCall::~BackgroundCall() { Join(); }

void BackgroundCall::Run(com::ThreadNotifier* notifier) noexcept
{
    {
        com::ApartmentScope apartment;
        m_call->Receive();
    }
    m_received = true;
    if (notifier)
        notifier->ring();
    m_ended.set(); // the last thing the worker does with this object
}

void BackgroundCall::Abort() noexcept
{
    m_call->RequestAbort();
    Join();
}

void BackgroundCall::Join() noexcept
{
    if (!m_thread.joinable())
        return;
    com::wait_pumping(m_ended.get());
    m_thread.join();
}

} // namespace tolvane
