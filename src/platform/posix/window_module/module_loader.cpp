// The window operations of the program on Linux: each one loads the Qt module
// on first use (see window_module.h) and calls through its table.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "platform/posix/window_module/window_module.h"

namespace platform {
namespace {

using window_module::Operations;

[[noreturn]] void StopCannotLoad(const std::string& path, const char* reason) {
  std::fprintf(stderr, "merravine: the window module %s could not be loaded: %s\n", path.c_str(),
               reason != nullptr ? reason : "unknown reason");
  std::fflush(stderr);
  std::_Exit(1);
}

// Beside the program's own file, wherever it was started from.
std::string ModulePath() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::canonical("/proc/self/exe", error);
  if (error) return window_module::kFileName;
  return (program.parent_path() / window_module::kFileName).string();
}

const Operations& Load() {
  const std::string path = ModulePath();
  // The module stays loaded for the rest of the run: Qt cannot be unloaded
  // safely once it has made a window.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) StopCannotLoad(path, dlerror());
  const auto entry =
      reinterpret_cast<window_module::EntryFunction>(dlsym(module, window_module::kEntryName));
  if (entry == nullptr) StopCannotLoad(path, dlerror());
  const Operations* operations = entry();
  if (operations == nullptr || operations->size != sizeof(Operations)) {
    StopCannotLoad(path, "it was built for another version of the program");
  }
  return *operations;
}

const Operations& Module() {
  static const Operations& operations = Load();
  return operations;
}

}  // namespace

bool CreateMainWindow(const WindowDesign& design, WindowEvents events) {
  return Module().createMainWindow(design, std::move(events));
}
void RunMessageLoop() {
  Module().runMessageLoop();
}
Text ControlText(ControlId id) {
  return Module().controlText(id);
}
void SetControlText(ControlId id, const Text& text) {
  Module().setControlText(id, text);
}
void SetControlEnabled(ControlId id, bool enabled) {
  Module().setControlEnabled(id, enabled);
}
bool ControlEnabled(ControlId id) {
  return Module().controlEnabled(id);
}
int ListInsertRow(ControlId list) {
  return Module().listInsertRow(list);
}
void ListSetCell(ControlId list, int row, int column, const Text& text) {
  Module().listSetCell(list, row, column, text);
}
int SelectedRow(ControlId list) {
  return Module().selectedRow(list);
}
void AppendToBox(ControlId box, const Text& text) {
  Module().appendToBox(box, text);
}
Text BoxText(ControlId box) {
  return Module().boxText(box);
}
void ClearBox(ControlId box) {
  Module().clearBox(box);
}
void ShowPopupMenu() {
  Module().showPopupMenu();
}
void ShowNotice(const Text& text, const Text& caption) {
  Module().showNotice(text, caption);
}
bool SetClipboardText(const Text& text) {
  return Module().setClipboardText(text);
}
void RunOnMainThread(std::function<void()> work) {
  Module().runOnMainThread(std::move(work));
}

}  // namespace platform
