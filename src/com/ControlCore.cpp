#include "ControlCore.h"

#include "PropertyStream.h"
#include "Variant.h"

#include <olectl.h>

namespace com {
namespace {

constexpr wchar_t kWidth[] = L"_cx";
constexpr wchar_t kHeight[] = L"_cy";

std::vector<NamedValue> persisted(SIZEL extent)
{
    return {{kWidth, extent.cx}, {kHeight, extent.cy}};
}

// The site's ambient UserMode; true (run time) when it has none.
bool ambient_user_mode(IOleClientSite* site) noexcept
{
    const auto ambient = share(site).try_query<IDispatch>();
    if (!ambient)
        return true;
    DISPPARAMS none{};
    variant value, flag;
    if (FAILED(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                               value.put(), nullptr, nullptr)) ||
        FAILED(value.try_as(VT_BOOL, flag)))
        return true;
    return V_BOOL(flag.addr()) != VARIANT_FALSE;
}

} // namespace

ControlCore::ControlCore(const ControlClass& control_class, IDataObject* data,
                         IOleInPlaceActiveObject* active_object) noexcept
    : class_(control_class), data_(data), extent_(control_class.default_extent), in_place_(*this, active_object)
{
}

HRESULT ControlCore::copy_class_id(CLSID* clsid) const noexcept
{
    if (!clsid)
        return E_POINTER;
    *clsid = *class_.clsid;
    return S_OK;
}

void ControlCore::set_client_site(IOleClientSite* site)
{
    if (site_.get() != site)
        in_place_.deactivate();
    site_ = share(site);
    set_user_mode(site ? ambient_user_mode(site) : true);
}

void ControlCore::set_user_mode(bool user_mode) noexcept
{
    if (user_mode == user_mode_)
        return;
    user_mode_ = user_mode;
    in_place_.show(!user_mode_);
    picture_changed();
}

void ControlCore::ambient_changed(DISPID id) noexcept
{
    if (site_ && (id == DISPID_AMBIENT_USERMODE || id == DISPID_UNKNOWN))
        set_user_mode(ambient_user_mode(site_.get()));
}

void ControlCore::set_extent(SIZEL extent)
{
    if (extent.cx < 0 || extent.cy < 0)
        throw hresult_error(E_INVALIDARG);
    const bool changed = extent.cx != extent_.cx || extent.cy != extent_.cy;
    extent_ = extent;
    if (changed) {
        dirty_ = true;
        picture_changed();
        advise_.data_changed(data_);
    }
}

void ControlCore::take_extent(SIZEL extent) noexcept
{
    extent_ = extent;
    dirty_ = false;
    picture_changed();
}

void ControlCore::save(IStream* stream) const
{
    write_properties(stream, persisted(extent_));
}

void ControlCore::load(IStream* stream)
{
    SIZEL extent = class_.default_extent;
    for (const NamedValue& property : read_properties(stream)) {
        if (property.name == kWidth)
            extent.cx = property.value;
        else if (property.name == kHeight)
            extent.cy = property.value;
    }
    if (extent.cx < 0 || extent.cy < 0)
        throw hresult_error(STG_E_INVALIDHEADER);
    take_extent(extent);
}

ULONG ControlCore::saved_size() const
{
    return properties_size(persisted(extent_));
}

void ControlCore::draw(HDC dc, const RECT& bounds) const noexcept
{
    if (!user_mode_)
        class_.paint(dc, bounds);
}

HRESULT ControlCore::close(DWORD save_option) noexcept
{
    in_place_.deactivate();
    HRESULT result = S_OK;
    if (dirty_ && site_ && (save_option == OLECLOSE_SAVEIFDIRTY || save_option == OLECLOSE_PROMPTSAVE))
        result = site_->SaveObject();
    advise_.closed();
    return result;
}

void ControlCore::picture_changed() noexcept
{
    in_place_.invalidate();
    advise_.view_changed();
}

} // namespace com
