#pragma once
// CSoapEnvelope: one SOAP 1.1 document. Starts as a request (Envelope, Body, and the request
// element that NameBody names); ReadResponse replaces it with the parsed response. Node
// objects handed out earlier keep the document they came from.
#include "com/FreeThreaded.h"
#include "SoapKit.h"
#include "XmlTree.h"
#include "com/Dispatch.h"
#include "com/Object.h"

#include <mutex>
#include <string>
#include <vector>

namespace soapkit {

class CSoapEnvelope
    : public com::Object<CSoapEnvelope, com::Dispatch<ISoapEnvelope>, com::SupportErrorInfo<ISoapEnvelope>, com::FreeThreaded> {
public:
    CSoapEnvelope();
    static com::ErrorSource error_source() noexcept { return {&CLSID_SoapEnvelope, &IID_ISoapEnvelope}; }

    HRESULT STDMETHODCALLTYPE SetStyleUri(BSTR uri) override;
    HRESULT STDMETHODCALLTYPE NameBody(BSTR name, BSTR namespaceUri) override;
    HRESULT STDMETHODCALLTYPE ReadResponse(VARIANT response, BSTR charset) override;
    HRESULT STDMETHODCALLTYPE WriteRequest(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE BodyNodes(ISoapNodes** nodes) override;
    HRESULT STDMETHODCALLTYPE get_MaxDocumentSize(long* bytes) override;
    HRESULT STDMETHODCALLTYPE put_MaxDocumentSize(long bytes) override;
    HRESULT STDMETHODCALLTYPE get_MaxDepth(long* levels) override;
    HRESULT STDMETHODCALLTYPE put_MaxDepth(long levels) override;

private:
    // The document's parts; replaced as a whole.
    struct Document {
        std::shared_ptr<XmlTree> tree;
        XmlNode* envelope = nullptr;
        XmlNode* body = nullptr;
        XmlNode* content = nullptr; // the request element, or the body's first element
        bool is_request = false;
    };

    static Document new_request();
    static Document parse_response(std::vector<char> text, const XmlLimits& limits);
    XmlLimits limits() const;

    mutable std::mutex mutex_;
    Document document_;
    std::string style_uri_;
    XmlLimits limits_;
};

} // namespace soapkit
