#pragma once
// The values of a call in an RFC-over-SOAP document: parameters as unqualified elements,
// structures as nested elements, table rows as "item" elements. Writing converts each scalar
// by its ABAP type (conversion failures are thrown as CXTolvane, before anything is sent);
// reading asks the component for the XML Schema type that suits the field.
#include "com/Variant.h"
#include "soapkit/SoapKit.h"
#include "idl/Tolvane_h.h"

namespace tolvane::soap {

// Every parameter of a list, in order, into the body's node collection.
void WriteList(ISoapNodes* body, IRfcParameters* list);
// Every parameter of a list from the body; parameters missing from the response keep their
// values (traced as a warning).
void ReadList(ISoapNodes* body, IRfcParameters* list);

// The value a TIME field receives from the text of its element: the time of day as an
// automation date, as the conversion of the text to a date gives it. Throws CXTolvane when
// the text is not a time.
com::variant ReceivedTime(const com::variant& text);

} // namespace tolvane::soap
