#pragma once
// CSoapNodes: the child elements of one element (or of the document body), in document order.
// Positional access keeps a list of the children that is rebuilt only after the document
// changed, so reading a table row by row stays linear.
#include "com/FreeThreaded.h"
#include "SoapKit.h"
#include "XmlTree.h"
#include "com/Dispatch.h"
#include "com/Object.h"

#include <vector>

namespace soapkit {

class CSoapNodes
    : public com::Object<CSoapNodes, com::Dispatch<ISoapNodes>, com::SupportErrorInfo<ISoapNodes>, com::FreeThreaded> {
public:
    CSoapNodes(std::shared_ptr<XmlTree> tree, XmlNode* parent) : tree_(std::move(tree)), parent_(parent) {}
    static com::ErrorSource error_source() noexcept { return {&CLSID_SoapNodes, &IID_ISoapNodes}; }

    HRESULT STDMETHODCALLTYPE NodeAt(long index, ISoapNode** node) override;
    HRESULT STDMETHODCALLTYPE FindNode(BSTR name, BSTR namespaceUri, ISoapNode** node) override;
    HRESULT STDMETHODCALLTYPE NodeCount(long* count) override;
    HRESULT STDMETHODCALLTYPE AddNode(BSTR name, VARIANT value, BSTR namespaceUri, BSTR prefix, BSTR schemaType,
                                      ISoapNode** node) override;
    HRESULT STDMETHODCALLTYPE get_Item(long index, ISoapNode** node) override;
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** value) override;
    HRESULT STDMETHODCALLTYPE ReadRows(VARIANT columns, VARIANT schemaTypes, VARIANT* values) override;

private:
    // The children as of the tree's current generation; call with the tree's lock held.
    const std::vector<XmlNode*>& children();
    void declare_schema_type(XmlNode* element, std::string_view type);

    std::shared_ptr<XmlTree> tree_;
    XmlNode* parent_;
    std::vector<XmlNode*> children_;
    unsigned children_generation_ = 0;
    bool children_known_ = false;
};

com::ptr<ISoapNodes> make_nodes(const std::shared_ptr<XmlTree>& tree, XmlNode* parent);

} // namespace soapkit
