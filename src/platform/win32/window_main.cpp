// The main window over user32 and comctl32: creation from the design, the
// window procedure that turns messages into the program's events, and the
// message loop.
#include "platform/win32/window_win32.h"
// After windows.h, which it needs.
#include <commctrl.h>

namespace platform::win32 {

MainWindowState& State() {
  static MainWindowState state;
  return state;
}

HWND Control(ControlId id) {
  return State().controls[static_cast<std::size_t>(Index(id))];
}

namespace {

constexpr wchar_t kWindowClass[] = L"MerravineMainWindow";
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kFirstControlId = 100;
// The program's icon in the resources (src/app/resources/merravine.rc).
constexpr int kIconResource = 1;

const ControlDesign* DesignOf(HWND control) {
  const MainWindowState& state = State();
  for (const ControlDesign& design : state.design.controls) {
    if (state.controls[static_cast<std::size_t>(Index(design.id))] == control) return &design;
  }
  return nullptr;
}

COLORREF ToColorRef(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void OnCommand(WPARAM wParam, LPARAM lParam) {
  MainWindowState& state = State();
  const auto control = reinterpret_cast<HWND>(lParam);
  if (control == nullptr) {
    const int command = LOWORD(wParam) - kMenuCommandBase;
    if (HIWORD(wParam) == 0 && command > 0 && state.events.menuChosen) {
      state.events.menuChosen(command);
    }
    return;
  }
  if (HIWORD(wParam) != BN_CLICKED) return;
  const ControlDesign* design = DesignOf(control);
  if (design != nullptr && design->kind == ControlKind::PushButton && state.events.clicked) {
    state.events.clicked(design->id);
  }
}

void OnNotify(const NMHDR& header) {
  MainWindowState& state = State();
  const ControlDesign* design = DesignOf(header.hwndFrom);
  if (design == nullptr || design->kind != ControlKind::ListView) return;
  // The header's buttons (LVN_COLUMNCLICK) are clickable but handled by nobody.
  if (header.code == NM_RCLICK && state.events.rightClicked) state.events.rightClicked(design->id);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return 0;
    case WM_CTLCOLORSTATIC: {
      const ControlDesign* design = DesignOf(reinterpret_cast<HWND>(lParam));
      if (design == nullptr || design->kind != ControlKind::Label) break;
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, ToColorRef(design->textColor));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case kRunQueuedWork:
      RunQueuedWork();
      return 0;
    case WM_DESTROY: {
      CloseWorkQueue();
      MainWindowState& state = State();
      if (state.events.closed) state.events.closed();
      state.window = nullptr;
      state.controls.fill(nullptr);
      PostQuitMessage(0);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

struct ControlClass {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

ControlClass ClassFor(const ControlDesign& design) {
  switch (design.kind) {
    case ControlKind::Label:
      // SS_CENTERIMAGE centres one line of text vertically.
      return {L"STATIC",
              static_cast<DWORD>((design.centred ? SS_CENTER : SS_LEFT) | SS_CENTERIMAGE), 0};
    case ControlKind::EditBox:
      // A multi-line edit keeps the CR LF pairs appended to it; a one-line edit
      // would cut them. Without ES_AUTOVSCROLL a multi-line edit refuses text
      // beyond the lines that fit its height.
      return {L"EDIT",
              static_cast<DWORD>(ES_LEFT | ES_AUTOHSCROLL |
                                 (design.multiline ? ES_MULTILINE | ES_AUTOVSCROLL : 0)),
              WS_EX_CLIENTEDGE};
    case ControlKind::PushButton:
      return {L"BUTTON", BS_PUSHBUTTON, 0};
    case ControlKind::ListView:
      // No LVS_SHOWSELALWAYS: the selection is not drawn without the focus. No
      // LVS_NOSORTHEADER: the header's buttons can be pressed, and sort nothing.
      return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL, WS_EX_CLIENTEDGE};
  }
  return {L"STATIC", 0, 0};
}

HWND CreateControl(HWND parent, const ControlDesign& design, int number, HFONT guiFont) {
  const ControlClass cls = ClassFor(design);
  const DWORD style = WS_CHILD | cls.style | (design.tabStop ? WS_TABSTOP : 0);
  const std::wstring text = design.kind == ControlKind::ListView ? L"" : WideFrom936(design.text);
  HWND control = CreateWindowExW(cls.exStyle, cls.className, text.c_str(), style, design.left,
                                 design.top, design.width, design.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(number)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (control == nullptr) return nullptr;

  HFONT font = guiFont;
  if (design.fontHeight > 0) {
    // A character height (negative cell height) in the default face.
    font = CreateFontW(-design.fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       design.gb2312 ? GB2312_CHARSET : DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"");
    State().counterFont = font;
  }
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  if (design.kind == ControlKind::EditBox) SendMessageW(control, EM_LIMITTEXT, 0, 0);
  if (design.kind == ControlKind::ListView) {
    ListView_SetExtendedListViewStyle(control, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    // Black text on white, whatever colours the system's theme would pick.
    ListView_SetBkColor(control, RGB(255, 255, 255));
    ListView_SetTextBkColor(control, RGB(255, 255, 255));
    ListView_SetTextColor(control, RGB(0, 0, 0));
    int index = 0;
    for (const ColumnDesign& column : design.columns) {
      std::wstring caption = WideFrom936(column.caption);
      LVCOLUMNW lvc{};
      lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
      lvc.fmt = LVCFMT_LEFT;
      lvc.cx = column.width;
      lvc.pszText = caption.data();
      lvc.iSubItem = index;
      SendMessageW(control, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&lvc));
      ++index;
    }
  }
  return control;
}

bool RegisterMainWindowClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(kIconResource));
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kWindowClass;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

}  // namespace platform::win32

namespace platform {

using namespace win32;

bool CreateMainWindow(const WindowDesign& design, WindowEvents events) {
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX),
                           ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  if (!RegisterMainWindowClass()) return false;

  MainWindowState& state = State();
  state.design = design;
  state.events = std::move(events);

  // Centred on the primary display, in whole pixels.
  const int left = (GetSystemMetrics(SM_CXSCREEN) - design.outerWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - design.outerHeight) / 2;
  const std::wstring caption = WideFrom936(design.caption);
  // WS_EX_CONTROLPARENT lets Tab walk through the controls.
  HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, caption.c_str(), kFrameStyle,
                                left, top, design.outerWidth, design.outerHeight, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) return false;
  state.window = window;
  OpenWorkQueue(window);

  const auto guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  int number = kFirstControlId;
  for (const ControlDesign& control : design.controls) {
    HWND created = CreateControl(window, control, number++, guiFont);
    if (created == nullptr) {
      DestroyWindow(window);
      return false;
    }
    state.controls[static_cast<std::size_t>(Index(control.id))] = created;
  }
  for (const ControlDesign& control : design.controls) {
    if (control.visible) ShowWindow(Control(control.id), SW_SHOW);
  }

  // The created event (the start-up notice) runs while the window is hidden.
  if (state.events.created) state.events.created();
  if (state.window == nullptr) return false;  // destroyed by the handler
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return true;
}

void RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    HWND window = State().window;
    if (window != nullptr && IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (State().counterFont != nullptr) {
    DeleteObject(State().counterFont);
    State().counterFont = nullptr;
  }
}

}  // namespace platform
