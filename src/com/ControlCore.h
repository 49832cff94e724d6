#pragma once
// ControlCore: what the interfaces of one ActiveX control share (ATL keeps this in its
// control base class): the class's description, the container's client site and mode, the
// extent, the dirty flag, the advise sinks and the in-place activation. The control class owns
// one; its interface parts reach it through ControlPart::control().
//
// Design mode and run mode: the control shows its picture only in design mode (the container's
// ambient UserMode is false). At run time it is invisible, as its registration's
// OLEMISC_INVISIBLEATRUNTIME announces, also in a container that activates it anyway. A
// container that does not tell counts as run time, the default of the ambient UserMode.
#include "ControlAdvise.h"
#include "InPlaceActivation.h"

namespace com {

struct ControlClass {
    const CLSID* clsid;
    DWORD misc_status;    // OLEMISC flags of DVASPECT_CONTENT, the same the class registers
    DWORD view_status;    // VIEWSTATUS flags
    SIZEL default_extent; // HIMETRIC
    void (*paint)(HDC dc, const RECT& bounds); // the design-mode picture; leaves the DC as it found it
};

class ControlCore {
public:
    // `data` and `active_object` are the control's own interfaces, which the container is given.
    ControlCore(const ControlClass& control_class, IDataObject* data, IOleInPlaceActiveObject* active_object) noexcept;

    const ControlClass& control_class() const noexcept { return class_; }
    // IPersist::GetClassID, IOleObject::GetUserClassID.
    HRESULT copy_class_id(CLSID* clsid) const noexcept;
    ControlAdvise& advise() noexcept { return advise_; }
    InPlaceActivation& in_place() noexcept { return in_place_; }

    // The container's site, whose ambient UserMode is read at once. A control that loses its
    // site (or gets another) leaves the old site's window first.
    void set_client_site(IOleClientSite* site);
    const ptr<IOleClientSite>& client_site() const noexcept { return site_; }
    bool user_mode() const noexcept { return user_mode_; }
    // The container told the mode itself (IQuickActivate).
    void set_user_mode(bool user_mode) noexcept;
    // IOleControl::OnAmbientPropertyChange.
    void ambient_changed(DISPID id) noexcept;

    SIZEL extent() const noexcept { return extent_; }
    // A new extent (negative sizes are refused with E_INVALIDARG) is a change to save.
    void set_extent(SIZEL extent);
    // The extent of a new or loaded control: nothing to save yet.
    void take_extent(SIZEL extent) noexcept;
    bool dirty() const noexcept { return dirty_; }
    void set_dirty(bool dirty) noexcept { dirty_ = dirty; }

    // What is persisted: the extent, as "_cx" and "_cy" (PropertyStream.h). A stream that cannot
    // be read whole changes nothing; a size it lacks is the class's default. Throw hresult_error.
    void save(IStream* stream) const;
    void load(IStream* stream);
    ULONG saved_size() const;

    // The picture within `bounds`: the class's design-mode picture, or nothing at run time.
    void draw(HDC dc, const RECT& bounds) const noexcept;
    // IOleObject::Close: leave the container, let the site save a dirty control when the
    // option asks for it, tell the sinks.
    HRESULT close(DWORD save_option) noexcept;

private:
    void picture_changed() noexcept;

    const ControlClass& class_;
    IDataObject* data_;
    ptr<IOleClientSite> site_;
    bool user_mode_ = true;
    SIZEL extent_;
    bool dirty_ = false;
    ControlAdvise advise_;
    InPlaceActivation in_place_;
};

} // namespace com
