#include "ui/win32/tool_tips.h"

#include <commctrl.h>

#include "platform/win32/wide.h"

namespace tw::ui::win32 {
namespace {

using tw::win32::Wide;

// The area tools' ids: clear of the controls' window handles, which are the ids of the
// controls' own tools.
constexpr UINT_PTR kFirstAreaTool = 0x7F000000;

UINT_PTR AreaTool(int id) { return kFirstAreaTool + static_cast<UINT_PTR>(id); }

}  // namespace

bool ToolTips::Create(HWND window) {
  window_ = window;
  // TTS_ALWAYSTIP: the tips show also while another window is active, as the fields do.
  tip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr));
  return static_cast<bool>(tip_);
}

void ToolTips::Destroy() {
  if (tip_ && !::IsWindow(tip_.get())) static_cast<void>(tip_.release());
  tip_.reset();
  tools_.clear();
}

TOOLINFOW ToolTips::Tool(UINT flags, UINT_PTR uId) const {
  TOOLINFOW tool{};
  // The size comctl32 5 knows as well as 6: the full structure of the headers we build
  // with (with lpReserved) is refused by version 5, and nothing here needs the rest.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = flags;
  tool.hwnd = window_;
  tool.uId = uId;
  return tool;
}

void ToolTips::SetText(int id, HWND control, const std::string& text) {
  if (!tip_ || !control) return;
  std::wstring wide = Wide(text);
  TOOLINFOW own = Tool(TTF_IDISHWND | TTF_SUBCLASS, reinterpret_cast<UINT_PTR>(control));
  TOOLINFOW area = Tool(0, AreaTool(id));
  own.lpszText = area.lpszText = wide.data();
  const UINT message = Has(id) ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW;
  ::SendMessageW(tip_.get(), message, 0, reinterpret_cast<LPARAM>(&own));
  ::SendMessageW(tip_.get(), message, 0, reinterpret_cast<LPARAM>(&area));
  tools_.insert(id);
}

void ToolTips::SetArea(int id, const RECT& area) {
  if (!tip_ || !Has(id)) return;
  TOOLINFOW tool = Tool(0, AreaTool(id));
  tool.rect = area;
  ::SendMessageW(tip_.get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void ToolTips::Relay(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!tip_ || tools_.empty()) return;
  MSG relayed{};
  relayed.hwnd = window_;
  relayed.message = message;
  relayed.wParam = wParam;
  relayed.lParam = lParam;
  relayed.time = static_cast<DWORD>(::GetMessageTime());
  const DWORD at = ::GetMessagePos();
  relayed.pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  ::SendMessageW(tip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

}  // namespace tw::ui::win32
