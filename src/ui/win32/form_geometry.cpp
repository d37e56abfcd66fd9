#include "ui/win32/form_geometry.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "platform/win32/wide.h"
#include "ui/win32/ui_handles.h"

namespace tw::ui::win32 {
namespace {

using tw::win32::Wide;

// Design pixels between a continued box's end and its continuation: a space's width.
constexpr int kCaptionContinuationGap = 3;

using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

RECT OuterFromClient(int width, int height, DWORD style, DWORD exStyle, int dpi) {
  static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFunction>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  RECT rect{0, 0, width, height};
  if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return rect;
}

// How far the ink of `text`, drawn in the font of `dc` on a sheet of the size `extent`
// (and a little more), reaches; nullopt when it cannot be drawn.
std::optional<int> InkWidth(HDC dc, const std::wstring& text, SIZE extent) {
  const MemoryDc paper = CompatibleDc(dc);
  RECT all{0, 0, extent.cx + 8, extent.cy + 2};
  const BitmapHandle sheet(paper ? ::CreateCompatibleBitmap(dc, all.right, all.bottom) : nullptr);
  if (!sheet) return std::nullopt;
  const Selection onSheet(paper.get(), sheet.get());
  const Selection font(paper.get(), ::GetCurrentObject(dc, OBJ_FONT));
  ::FillRect(paper.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::SetTextColor(paper.get(), RGB(0, 0, 0));
  ::SetBkMode(paper.get(), TRANSPARENT);
  ::DrawTextW(paper.get(), text.c_str(), static_cast<int>(text.size()), &all, DT_SINGLELINE | DT_NOPREFIX);
  for (int x = all.right - 1; x >= 0; --x)
    for (int y = 0; y < all.bottom; ++y)
      if (::GetPixel(paper.get(), x, y) != RGB(255, 255, 255)) return x + 1;
  return std::nullopt;
}

}  // namespace

bool IsAncestor(const Form& form, ControlId ancestor, ControlId id) {
  for (ControlId at = form.control(id).parent; at != kNoControl; at = form.control(at).parent)
    if (at == ancestor) return true;
  return false;
}

RECT FormGeometry::PixelRect(ControlId id) const {
  // Each control's design position is scaled on its own and added to its group's, as the
  // controls of a group sit in the group's own coordinates.
  const Rect own = form_.PixelBounds(id);
  int left = own.left;
  int top = own.top;
  for (ControlId at = form_.control(id).parent; at != kNoControl; at = form_.control(at).parent) {
    const Rect group = form_.PixelBounds(at);
    left += group.left;
    top += group.top;
  }
  int width = own.width;
  int height = own.height;
  const ui::Control& c = form_.control(id);
  HWND control = controlWindow_(id);
  if ((width == 0 || height == 0) && control) {
    // Labels and check boxes take the size of their text.
    RECT text{0, 0, 0, 0};
    const std::wstring caption = Wide(c.caption.empty() ? std::string(" ") : c.caption);
    if (const ControlDc dc(control);
        !::DrawTextW(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &text,
                     DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX))
      text = RECT{0, 0, 0, 0};
    // Wine's static control draws a hinted glyph or two wider than DrawText measures at
    // 144 dpi (the last letter of "(ADL_ERR_NOT_SUPPORTED)" was cut): a scaled margin
    // keeps the last letter whole at every scale.
    int needWidth = text.right + form_.Scaled(3);
    int needHeight = text.bottom;
    if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::RadioButton) {
      needWidth += ::GetSystemMetrics(SM_CXMENUCHECK) + form_.Scaled(6);
      needHeight = std::max(needHeight, static_cast<int>(::GetSystemMetrics(SM_CYMENUCHECK)));
    }
    if (width == 0) width = needWidth;
    if (height == 0) height = needHeight;
  }
  // A continued box ends with its text, so that it does not paint over its continuation.
  for (ControlId at = 0; at < form_.controlCount(); ++at)
    if (form_.control(at).continuesCaptionOf == id) {
      width = std::min(width, CaptionTextEnd(id));
      break;
    }
  if (c.continuesCaptionOf != kNoControl) {
    const RECT box = PixelRect(c.continuesCaptionOf);
    left = box.right + form_.Scaled(kCaptionContinuationGap);
  }
  return RECT{left, top, left + width, top + height};
}

int FormGeometry::CaptionTextEnd(ControlId box) const {
  HWND control = controlWindow_(box);
  if (!control) return std::numeric_limits<int>::max();  // nothing drawn: no end to keep to
  const ControlDc dc(control);
  const std::wstring caption = Wide(form_.control(box).caption);
  SIZE extent{0, 0};
  if (!::GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &extent)) extent = {0, 0};
  // Where the text ends as the system draws it: under wine the drawn glyphs advance less
  // than the extent the text functions report.
  const int width = InkWidth(dc.get(), caption, extent).value_or(extent.cx);
  // A native box draws its text after the glyph and half a digit's width, give or take a
  // pixel: two more keep its last letter whole.
  INT digit = 0;
  if (!::GetCharWidth32W(dc.get(), L'0', L'0', &digit)) digit = 0;
  return ::GetSystemMetrics(SM_CXMENUCHECK) + digit / 2 + width + form_.Scaled(2);
}

ControlId FormGeometry::GroupAt(POINT client) const {
  ControlId innermost = kNoControl;
  for (ControlId id = 0; id < form_.controlCount(); ++id) {
    if (form_.control(id).kind != ControlKind::Group || !form_.IsShowing(id)) continue;
    const RECT rect = PixelRect(id);
    if (!::PtInRect(&rect, client)) continue;
    if (innermost == kNoControl || IsAncestor(form_, innermost, id)) innermost = id;
  }
  return innermost;
}

SIZE FormGeometry::FrameSize(DWORD style, DWORD exStyle, int dpi) const {
  const WindowFrame& frame = form_.window();
  const RECT outer = OuterFromClient(form_.Scaled(frame.clientWidth), form_.Scaled(frame.clientHeight), style,
                                     exStyle, dpi);
  const int height = frame.outerHeight ? form_.Scaled(*frame.outerHeight) : outer.bottom - outer.top;
  return SIZE{outer.right - outer.left, height};
}

}  // namespace tw::ui::win32
