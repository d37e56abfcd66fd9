#include "ui/win32/accessible_names.h"

#include <oleacc.h>

#include "platform/win32/wide.h"

namespace tw::ui::win32 {
namespace {

// Spelled out here rather than taken from oleacc's import library, which the exe does not link.
const CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
const IID kIAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
const GUID kNameProperty = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

}  // namespace

AccessibleNames::AccessibleNames() {
  void* made = nullptr;
  if (SUCCEEDED(::CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices, &made)))
    services_ = static_cast<IAccPropServices*>(made);
}

AccessibleNames::~AccessibleNames() {
  if (services_) services_->Release();
}

void AccessibleNames::Set(HWND control, const std::string& name) {
  if (!services_) return;
  services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kNameProperty,
                            tw::win32::Wide(name).c_str());
}

}  // namespace tw::ui::win32
