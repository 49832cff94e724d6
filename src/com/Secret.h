#pragma once
// Passwords and logon tickets: their characters are overwritten before the memory that held
// them is given back, so that no copy lingers in freed memory (a crash dump, a reused block).
#include "Bstr.h"

#include <string>

namespace com {

template <class Text>
void wipe(Text& text) noexcept
{
    SecureZeroMemory(text.data(), text.size() * sizeof(typename Text::value_type));
    text.clear();
}

class secret_bstr : public bstr {
public:
    secret_bstr() noexcept = default;
    explicit secret_bstr(std::wstring_view text) : bstr(text) {}
    secret_bstr(const secret_bstr&) = delete;
    secret_bstr& operator=(const secret_bstr&) = delete;
    ~secret_bstr() { wipe(); }

    // Replaces the text; the old one is wiped first.
    void assign(std::wstring_view text)
    {
        secret_bstr replacement(text);
        wipe();
        bstr::operator=(std::move(replacement));
    }
    // From an automation argument: null stays null.
    void assign(BSTR text)
    {
        if (text) {
            assign(com::view(text));
        } else {
            wipe();
            reset();
        }
    }

private:
    void wipe() noexcept
    {
        if (BSTR s = get())
            SecureZeroMemory(s, SysStringByteLen(s));
    }
};

} // namespace com
