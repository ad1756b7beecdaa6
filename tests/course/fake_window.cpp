#include "fake_window.h"

#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace fake {

namespace {

struct Window {
  std::thread::id mainThread;
  platform::WindowDesign design;
  platform::WindowEvents events;
  std::map<ControlId, Text> texts;
  std::map<ControlId, bool> enabled;
  std::vector<std::pair<Text, Text>> rows;
  int selected = -1;
  Text clipboard;
  int clipboardWrites = 0;
  int popups = 0;
  std::vector<std::string> log;
  Text noticeText;
};

// Shared with workers: the queue, the threads and the off-thread counter.
struct Shared {
  std::mutex lock;
  std::deque<std::function<void()>> work;
  bool open = true;
  std::vector<std::thread> threads;
  int threadsStarted = 0;
  int offThreadCalls = 0;
};

Window& W() {
  static Window window;
  return window;
}

Shared& S() {
  static Shared shared;
  return shared;
}

// Every control operation starts here.
Window& OnMain() {
  if (std::this_thread::get_id() != W().mainThread) {
    std::lock_guard<std::mutex> hold(S().lock);
    ++S().offThreadCalls;
  }
  return W();
}

}  // namespace

void JoinThreads() {
  std::vector<std::thread> threads;
  {
    std::lock_guard<std::mutex> hold(S().lock);
    threads.swap(S().threads);
  }
  for (std::thread& t : threads) t.join();
}

void Reset(const platform::WindowDesign& design) {
  JoinThreads();
  Window& w = W();
  w = Window{};
  w.mainThread = std::this_thread::get_id();
  w.design = design;
  for (const platform::ControlDesign& control : design.controls) {
    w.texts[control.id] = control.text;
    w.enabled[control.id] = true;
  }
  std::lock_guard<std::mutex> hold(S().lock);
  S().work.clear();
  S().open = true;
  S().threadsStarted = 0;
  S().offThreadCalls = 0;
}

Text ControlTextOf(ControlId id) {
  return W().texts[id];
}
void SetText(ControlId id, const Text& text) {
  W().texts[id] = text;
}
bool Enabled(ControlId id) {
  return W().enabled[id];
}
std::vector<std::pair<Text, Text>> Rows() {
  return W().rows;
}
void Select(int row) {
  W().selected = row;
}
Text Clipboard() {
  return W().clipboard;
}
int ClipboardWrites() {
  return W().clipboardWrites;
}
int PopupsShown() {
  return W().popups;
}
std::vector<std::string> Log() {
  return W().log;
}
Text NoticeText() {
  return W().noticeText;
}
const platform::WindowEvents& Events() {
  return W().events;
}

int ThreadsStarted() {
  std::lock_guard<std::mutex> hold(S().lock);
  return S().threadsStarted;
}

int OffThreadCalls() {
  std::lock_guard<std::mutex> hold(S().lock);
  return S().offThreadCalls;
}

int Pump() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> hold(S().lock);
    batch.swap(S().work);
  }
  for (auto& work : batch) work();
  return static_cast<int>(batch.size());
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (Pump() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

void CloseQueue() {
  std::lock_guard<std::mutex> hold(S().lock);
  S().open = false;
  S().work.clear();
}

}  // namespace fake

// --- The facility itself ------------------------------------------------------------
namespace platform {

using fake::OnMain;

bool CreateMainWindow(const WindowDesign& design, WindowEvents events) {
  fake::Reset(design);
  fake::W().events = std::move(events);
  fake::W().log.emplace_back("created");
  if (fake::W().events.created) fake::W().events.created();
  fake::W().log.emplace_back("shown");
  return true;
}

void RunMessageLoop() {
  fake::CloseQueue();
}

Text ControlText(ControlId id) {
  return OnMain().texts[id];
}
void SetControlText(ControlId id, const Text& text) {
  OnMain().texts[id] = text;
}
void SetControlEnabled(ControlId id, bool enabled) {
  OnMain().enabled[id] = enabled;
}
bool ControlEnabled(ControlId id) {
  return OnMain().enabled[id];
}

int ListInsertRow(ControlId /*list*/) {
  auto& rows = OnMain().rows;
  rows.emplace_back();
  return static_cast<int>(rows.size()) - 1;
}

void ListSetCell(ControlId /*list*/, int row, int column, const Text& text) {
  auto& rows = OnMain().rows;
  if (row < 0 || row >= static_cast<int>(rows.size())) return;
  (column == 0 ? rows[static_cast<std::size_t>(row)].first
               : rows[static_cast<std::size_t>(row)].second) = text;
}

int SelectedRow(ControlId /*list*/) {
  return OnMain().selected;
}

void AppendToBox(ControlId box, const Text& text) {
  Text& current = OnMain().texts[box];
  current = merravine::TextJoin(current, text);
}

Text BoxText(ControlId box) {
  return OnMain().texts[box];
}
void ClearBox(ControlId box) {
  OnMain().texts[box] = Text();
}
void ShowPopupMenu() {
  ++OnMain().popups;
}

void ShowNotice(const Text& text, const Text& caption) {
  OnMain().log.push_back("notice:" + caption.Str());
  fake::W().noticeText = text;
}

bool SetClipboardText(const Text& text) {
  OnMain().clipboard = text;
  ++OnMain().clipboardWrites;
  return true;
}

void RunOnMainThread(std::function<void()> work) {
  std::lock_guard<std::mutex> hold(fake::S().lock);
  if (fake::S().open) fake::S().work.push_back(std::move(work));
}

bool StartThread(std::function<void()> work) {
  std::lock_guard<std::mutex> hold(fake::S().lock);
  ++fake::S().threadsStarted;
  fake::S().threads.emplace_back(std::move(work));
  return true;
}

}  // namespace platform
