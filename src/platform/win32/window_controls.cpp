// The operations on the main window's controls (main thread).
#include <vector>

#include "platform/win32/window_win32.h"
// After windows.h, which it needs.
#include <commctrl.h>

namespace platform {

using win32::Control;

namespace {

Text WindowText(HWND control) {
  if (control == nullptr) return Text();
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return Text();
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(control, buffer.data(), length + 1);
  return win32::To936(buffer.data(), copied);
}

}  // namespace

Text ControlText(ControlId id) {
  return WindowText(Control(id));
}

void SetControlText(ControlId id, const Text& text) {
  if (Control(id) != nullptr) SetWindowTextW(Control(id), win32::WideFrom936(text).c_str());
}

void SetControlEnabled(ControlId id, bool enabled) {
  if (Control(id) != nullptr) EnableWindow(Control(id), enabled ? TRUE : FALSE);
}

bool ControlEnabled(ControlId id) {
  return Control(id) != nullptr && IsWindowEnabled(Control(id));
}

int ListInsertRow(ControlId list) {
  HWND control = Control(list);
  if (control == nullptr) return -1;
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(SendMessageW(control, LVM_GETITEMCOUNT, 0, 0));
  wchar_t empty[] = L"";
  item.pszText = empty;
  return static_cast<int>(
      SendMessageW(control, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListSetCell(ControlId list, int row, int column, const Text& text) {
  HWND control = Control(list);
  if (control == nullptr || row < 0) return;
  std::wstring wide = win32::WideFrom936(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(control, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
}

int SelectedRow(ControlId list) {
  HWND control = Control(list);
  if (control == nullptr) return -1;
  return static_cast<int>(SendMessageW(control, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                       MAKELPARAM(LVNI_SELECTED, 0)));
}

void AppendToBox(ControlId box, const Text& text) {
  HWND control = Control(box);
  if (control == nullptr) return;
  const int end = GetWindowTextLengthW(control);
  SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(end), end);
  const std::wstring wide = win32::WideFrom936(text);
  // FALSE: the insertion leaves no undo record.
  SendMessageW(control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
}

Text BoxText(ControlId box) {
  return WindowText(Control(box));
}

void ClearBox(ControlId box) {
  if (Control(box) != nullptr) SetWindowTextW(Control(box), L"");
}

}  // namespace platform
