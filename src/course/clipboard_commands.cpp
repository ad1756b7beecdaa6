#include "course/clipboard_commands.h"

#include <memory>

#include "app/globals.h"
#include "platform/window.h"

namespace merravine {

using platform::ControlId;

namespace {

// Nothing happens when no row is selected, or for a row whose entries are not
// there (the lists and the rows grow together on this thread, so only a
// released list can lack them).
void CopySelected(const std::unique_ptr<TextList>& list) {
  if (!list) return;
  const int row = platform::SelectedRow(ControlId::超级列表框1);
  if (row < 0 || row >= TextListCount(*list)) return;
  platform::SetClipboardText(TextListAt(*list, row + 1));
}

// The accumulator box is emptied first, so that the clipboard receives exactly
// the current list, each element followed by CR LF, however often the command
// is used.
void CopyAll(const std::unique_ptr<TextList>& list, ControlId box) {
  if (!list) return;
  platform::ClearBox(box);
  const int count = TextListCount(*list);
  for (int i = 1; i <= count; ++i) {
    platform::AppendToBox(box, TextJoin(TextListAt(*list, i), "\r\n"));
  }
  platform::SetClipboardText(platform::BoxText(box));
}

}  // namespace

void CopySelectedTitle() {
  CopySelected(g_courseTitles);
}
void CopyAllTitles() {
  CopyAll(g_courseTitles, ControlId::编辑框2);
}
void CopySelectedAddress() {
  CopySelected(g_courseUrls);
}
void CopyAllAddresses() {
  CopyAll(g_courseUrls, ControlId::编辑框3);
}

}  // namespace merravine
