#pragma once
// ControlPart: the base of each interface implementation of an ActiveX control (OleObject,
// ViewObject, PersistStreamInit, ...). The control class lists the parts it wants in its
// interface table and answers control() once for all of them:
//
//   class CThing : public com::Object<CThing, com::OleObject, com::ViewObject, ...> {
//       com::ControlCore& control() noexcept override { return m_control; }
//       com::ControlCore m_control{kThingClass, static_cast<IDataObject*>(this), ...};
//   };
#include "ControlCore.h"

namespace com {

class ControlPart {
protected:
    virtual ControlCore& control() noexcept = 0;
    ~ControlPart() = default;
};

} // namespace com
