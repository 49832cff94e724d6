#pragma once
// CSoapNode: one element of an envelope's document. Holds the document, so the element stays
// valid for as long as a client holds the node, whatever happens to the envelope.
#include "com/FreeThreaded.h"
#include "SoapKit.h"
#include "XmlTree.h"
#include "com/Variant.h"
#include "com/Dispatch.h"
#include "com/Object.h"

namespace soapkit {

class CSoapNode : public com::Object<CSoapNode, com::Dispatch<ISoapNode>, com::SupportErrorInfo<ISoapNode>, com::FreeThreaded> {
public:
    CSoapNode(std::shared_ptr<XmlTree> tree, XmlNode* element) : tree_(std::move(tree)), element_(element) {}
    static com::ErrorSource error_source() noexcept { return {&CLSID_SoapNode, &IID_ISoapNode}; }

    HRESULT STDMETHODCALLTYPE GetValue(VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE SetValue(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE GetTypedValue(BSTR schemaNamespace, BSTR typeName, VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE ChildNodes(ISoapNodes** nodes) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* localName) override;
    HRESULT STDMETHODCALLTYPE get_NamespaceUri(BSTR* uri) override;

private:
    std::string text() const;

    std::shared_ptr<XmlTree> tree_;
    XmlNode* element_;
};

// A node object for `element` as the interface clients hold.
com::ptr<ISoapNode> make_node(const std::shared_ptr<XmlTree>& tree, XmlNode* element);

// An element's content as GetValue hands it out (Null for xsi:nil); call with the tree's lock held.
com::variant plain_value(const XmlNode* element);

} // namespace soapkit
