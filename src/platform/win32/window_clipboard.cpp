// The clipboard: the text as code page 936 plain text (CF_TEXT) and as Unicode
// text, so that it pastes right whatever the reader's code page.
#include <cstring>
#include <memory>
#include <type_traits>

#include "platform/win32/window_win32.h"

namespace platform {

namespace {

struct GlobalFreer {
  void operator()(void* block) const { GlobalFree(block); }
};
using GlobalBlock = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, GlobalFreer>;

// A movable, zero-filled block holding the bytes; null when memory ran out.
GlobalBlock BlockWith(const void* bytes, std::size_t size, std::size_t terminator) {
  GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + terminator));
  if (!block) return block;
  void* data = GlobalLock(block.get());
  if (data == nullptr) return nullptr;
  if (size > 0) std::memcpy(data, bytes, size);
  GlobalUnlock(block.get());
  return block;
}

// The clipboard hands the block's ownership to the system only on success.
bool Place(UINT format, GlobalBlock block) {
  if (!block) return false;
  if (SetClipboardData(format, block.get()) == nullptr) return false;
  (void)block.release();
  return true;
}

struct ClipboardCloser {
  ~ClipboardCloser() { CloseClipboard(); }
};

}  // namespace

bool SetClipboardText(const Text& text) {
  // Owned by the main window when there is one: with no owner, EmptyClipboard
  // leaves the clipboard ownerless and SetClipboardData may refuse the data.
  if (!OpenClipboard(win32::State().window)) return false;
  const ClipboardCloser closer;
  EmptyClipboard();
  const std::string_view bytes = text.View();
  const bool placed = Place(CF_TEXT, BlockWith(bytes.data(), bytes.size(), 1));
  if (placed) {
    const std::wstring wide = win32::WideFrom936(text);
    Place(CF_UNICODETEXT, BlockWith(wide.data(), wide.size() * sizeof(wchar_t), sizeof(wchar_t)));
  }
  return placed;
}

}  // namespace platform
