// The one exported symbol of the window module: the Qt backend's operations.
#include "platform/posix/window_module/window_module.h"

namespace {

using platform::window_module::Operations;

constexpr Operations kOperations{
    .size = sizeof(Operations),
    .createMainWindow = &platform::CreateMainWindow,
    .runMessageLoop = &platform::RunMessageLoop,
    .controlText = &platform::ControlText,
    .setControlText = &platform::SetControlText,
    .setControlEnabled = &platform::SetControlEnabled,
    .controlEnabled = &platform::ControlEnabled,
    .listInsertRow = &platform::ListInsertRow,
    .listSetCell = &platform::ListSetCell,
    .selectedRow = &platform::SelectedRow,
    .appendToBox = &platform::AppendToBox,
    .boxText = &platform::BoxText,
    .clearBox = &platform::ClearBox,
    .showPopupMenu = &platform::ShowPopupMenu,
    .showNotice = &platform::ShowNotice,
    .setClipboardText = &platform::SetClipboardText,
    .runOnMainThread = &platform::RunOnMainThread,
};

}  // namespace

const Operations* merravine_window_module() {
  return &kOperations;
}
