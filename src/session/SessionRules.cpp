#include "SessionRules.h"

#include "Trace.h"
#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "com/Module.h"
#include "com/Variant.h"
#include "model/RfcType.h"
#include "resources/Resource.h"
#include "resources/Version.h"

#include <cwctype>
#include <vector>

namespace tolvane {

bool IsSecretName(std::wstring_view name) noexcept
{
    for (std::wstring_view secret : {L"PASSWORD", L"PASSWD", L"PWD", L"TICKET", L"SSO2"}) {
        for (size_t at = 0; at + secret.size() <= name.size(); ++at) {
            size_t i = 0;
            while (i < secret.size() && std::towupper(name[at + i]) == secret[i])
                ++i;
            if (i == secret.size())
                return true;
        }
    }
    return false;
}

void PruneOptionalImports(IFunctionCall* call)
{
    com::ptr<IRfcParameters> importing;
    com::check(call->get_Importing(importing.put()));
    long count = 0;
    com::check(importing->get_Count(&count));
    std::vector<com::bstr> pruned;
    for (long i = 1; i <= count; ++i) {
        com::ptr<IRfcParameter> parameter;
        com::check(importing->get_Item(com::variant(i).get(), parameter.put()));
        com::ptr<IRfcType> type;
        com::check(parameter->get_RfcType(type.put()));
        if (KindOf(type.get()) != RFCTYPEKIND_SCALAR)
            continue;
        com::variant value;
        com::check(parameter->get_value(value.put()));
        if (value.vt() != VT_EMPTY)
            continue;
        VARIANT_BOOL optional = VARIANT_FALSE;
        com::bstr defaultValue, name;
        com::check(parameter->get_Optional(&optional));
        com::check(parameter->get_DefaultValue(defaultValue.put()));
        if (optional == VARIANT_FALSE && defaultValue.empty())
            continue;
        com::check(parameter->get_name(name.put()));
        ostrel::TraceFormat(L"ignoring optional parameter: %s\n", name.str().c_str());
        pruned.push_back(std::move(name));
    }
    for (const com::bstr& name : pruned)
        com::check(importing->RemoveParameter(name.get()));
}

namespace {

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        wchar_t version[128];
        swprintf(version, 128, L"Version %ls - %ls", TOLVANE_WIDEN(TOLVANE_VERSION_TEXT), TOLVANE_WIDEN(__DATE__));
        SetDlgItemTextW(dialog, IDC_ABOUT_PRODUCT, TOLVANE_WIDEN(TOLVANE_PRODUCT_NAME));
        SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, version);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

HRESULT ShowAboutBox()
{
    const INT_PTR result =
        DialogBoxParamW(com::module_instance(), MAKEINTRESOURCEW(IDD_ABOUT), GetActiveWindow(), AboutProc, 0);
    return result == -1 ? HRESULT_FROM_WIN32(GetLastError()) : S_OK;
}

} // namespace tolvane
