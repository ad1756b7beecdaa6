// The pop-up menu of the course list.
#include <memory>
#include <type_traits>

#include "platform/win32/window_win32.h"

namespace platform {

void ShowPopupMenu() {
  const win32::MainWindowState& state = win32::State();
  if (state.window == nullptr) return;
  // Built anew for every right-click and destroyed when it has closed.
  std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)> menu(CreatePopupMenu(),
                                                                             &DestroyMenu);
  if (!menu) return;
  for (const MenuItemDesign& item : state.design.menu) {
    AppendMenuW(menu.get(), MF_STRING,
                static_cast<UINT_PTR>(win32::kMenuCommandBase + item.command),
                win32::WideFrom936(item.text).c_str());
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  // Either mouse button chooses; the chosen item arrives as WM_COMMAND after
  // the menu has closed.
  TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x + 3,
                 cursor.y + 3, 0, state.window, nullptr);
}

}  // namespace platform
