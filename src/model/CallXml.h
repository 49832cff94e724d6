#pragma once
// The XML form of a call's interface: its name, documentation, parameters with their metadata
// and the full type descriptor of every parameter, without values.
//
//   <function name="..." doc="...">
//       <importing name="..." description="..." default="..." optional="X"> <type .../> </importing>
//       ...
//   </function>
#include <string>
#include <string_view>

namespace tolvane {

class CFunctionCall;

// The printed document: one element per line, children indented by one tab per level.
std::wstring WriteCallXml(const CFunctionCall& call);

// Reads a document into `call`, appending to its lists. The whole text is parsed and every
// parameter built before the call changes. Throws hresult_error E_INVALIDARG for text that
// is not well-formed XML, nests deeper than 256 elements or has no top-level `function`.
void ReadCallXml(CFunctionCall& call, std::wstring_view text);

} // namespace tolvane
