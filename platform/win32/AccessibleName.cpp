#include "platform/win32/AccessibleName.h"

// The property's identifiers are defined here, in the one file that uses them.
#include <initguid.h>
#include <oleacc.h>

namespace carrovex::win32
{

void setAccessibleName(HWND control, const std::wstring& name)
{
    IAccPropServices* services = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_AccPropServices,
            nullptr,
            CLSCTX_INPROC_SERVER,
            IID_IAccPropServices,
            reinterpret_cast<void**>(&services)))) {
        return;
    }
    static_cast<void>(services->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name.c_str()));
    services->Release();
}

} // namespace carrovex::win32
