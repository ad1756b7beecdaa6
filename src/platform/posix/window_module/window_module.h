// The Qt backend of the window facility as a loadable module. The program maps
// it when the first window operation is asked for, so the command-line mode
// never loads Qt and the forty-odd libraries it brings: their relocation alone
// takes longer than listing a small course.
//
// The module exports one C function that hands over the backend's operations;
// the program's loader (module_loader.cpp) implements the facility's window
// operations by calling through that table.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/window.h"

namespace platform::window_module {

// The module's file, looked for in the program's own folder.
inline constexpr const char* kFileName = "merravine-window-qt.so";
inline constexpr const char* kEntryName = "merravine_window_module";

struct Operations {
  // The table's size as the module was built: a module from another build of
  // this table is refused rather than called through the wrong slots.
  std::uint32_t size;
  bool (*createMainWindow)(const WindowDesign&, WindowEvents);
  void (*runMessageLoop)();
  Text (*controlText)(ControlId);
  void (*setControlText)(ControlId, const Text&);
  void (*setControlEnabled)(ControlId, bool);
  bool (*controlEnabled)(ControlId);
  int (*listInsertRow)(ControlId);
  void (*listSetCell)(ControlId, int, int, const Text&);
  int (*selectedRow)(ControlId);
  void (*appendToBox)(ControlId, const Text&);
  Text (*boxText)(ControlId);
  void (*clearBox)(ControlId);
  void (*showPopupMenu)();
  void (*showNotice)(const Text&, const Text&);
  bool (*setClipboardText)(const Text&);
  void (*runOnMainThread)(std::function<void()>);
};

using EntryFunction = const Operations* (*)();

}  // namespace platform::window_module

// The module's entry, named by kEntryName; the program finds it with dlsym.
extern "C" __attribute__((visibility("default"))) const platform::window_module::Operations*
merravine_window_module();
