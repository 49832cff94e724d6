#pragma once
// CWindowProperties: how the BSP application window looks and where it opens. Plain values,
// read when the window opens.
#include "com/Bstr.h"
#include "com/Dispatch.h"
#include "com/Object.h"
#include "com/Property.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

class CWindowProperties
    : public com::Object<CWindowProperties, com::Dispatch<IWindowProperties>, com::SupportErrorInfo<IWindowProperties>> {
public:
    HRESULT STDMETHODCALLTYPE get_Left(long* value) override { return com::get_property(m_left, value); }
    HRESULT STDMETHODCALLTYPE put_Left(long value) override { return com::put_property(m_left, value); }
    HRESULT STDMETHODCALLTYPE get_Top(long* value) override { return com::get_property(m_top, value); }
    HRESULT STDMETHODCALLTYPE put_Top(long value) override { return com::put_property(m_top, value); }
    HRESULT STDMETHODCALLTYPE get_Height(long* value) override { return com::get_property(m_height, value); }
    HRESULT STDMETHODCALLTYPE put_Height(long value) override { return com::put_property(m_height, value); }
    HRESULT STDMETHODCALLTYPE get_Width(long* value) override { return com::get_property(m_width, value); }
    HRESULT STDMETHODCALLTYPE put_Width(long value) override { return com::put_property(m_width, value); }
    HRESULT STDMETHODCALLTYPE get_Title(BSTR* value) override { return m_title.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_Title(BSTR value) override { return Store(m_title, value); }
    HRESULT STDMETHODCALLTYPE get_IconPath(BSTR* value) override { return m_iconPath.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_IconPath(BSTR value) override { return Store(m_iconPath, value); }
    HRESULT STDMETHODCALLTYPE get_CloseWarning(BSTR* value) override { return m_closeWarning.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_CloseWarning(BSTR value) override { return Store(m_closeWarning, value); }

    long Left() const noexcept { return m_left; }
    long Top() const noexcept { return m_top; }
    long Height() const noexcept { return m_height; }
    long Width() const noexcept { return m_width; }
    const com::bstr& Title() const noexcept { return m_title; }
    const com::bstr& IconPath() const noexcept { return m_iconPath; }
    const com::bstr& CloseWarning() const noexcept { return m_closeWarning; }

private:
    HRESULT Store(com::bstr& member, BSTR value)
    {
        return guard([&] { member = com::bstr(com::view(value)); });
    }

    long m_left = 100;
    long m_top = 100;
    long m_height = 300;
    long m_width = 500;
    com::bstr m_title{L"BSP Application"};
    com::bstr m_iconPath{L""};
    com::bstr m_closeWarning{L""};
};

} // namespace tolvane
