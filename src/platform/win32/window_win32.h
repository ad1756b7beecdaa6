// Shared inside the Windows window backend: the one main window, its controls
// and the conversions of text at the window system's boundary.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <array>
#include <string>

#include "platform/window.h"

namespace platform::win32 {

// Code page 936 text to UTF-16 and back; characters that 936 cannot hold come
// back as '?'. The window system and the clipboard get text through the wide
// calls, so the program's texts show right whatever the system's ANSI code page.
std::wstring WideFrom936(const Text& text);
Text To936(const wchar_t* wide, int length);
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(const wchar_t* wide, int length);

inline constexpr int kControlCount = 7;
inline int Index(ControlId id) {
  return static_cast<int>(id);
}

// Menu items carry their design command plus this base in WM_COMMAND, so that no
// command is taken for IDOK or IDCANCEL, which the dialog navigation sends.
inline constexpr int kMenuCommandBase = 0x1000;
// Posted to the main window when work was queued for the main thread.
inline constexpr UINT kRunQueuedWork = WM_APP + 1;

struct MainWindowState {
  HWND window = nullptr;
  std::array<HWND, kControlCount> controls{};
  WindowDesign design;
  WindowEvents events;
  HFONT counterFont = nullptr;  // the large font of the lesson counter
};

// Main thread only.
MainWindowState& State();
HWND Control(ControlId id);

// The queue of work for the main thread (window_dispatch.cpp).
void OpenWorkQueue(HWND target);
void RunQueuedWork();
void CloseWorkQueue();

}  // namespace platform::win32
