#include "fake_window.h"

#include <utility>

namespace merravine::fake_window {
namespace {

struct State {
  Text addressBox;
  Text label2;
  bool buttonEnabled = true;
  std::vector<Row> rows;
  int badCells = 0;
};

State& Current() {
  static State state;
  return state;
}

}  // namespace

void Reset(const Text& addressBox) {
  Current() = State();
  Current().addressBox = addressBox;
}

const std::vector<Row>& Rows() {
  return Current().rows;
}

Text Label2() {
  return Current().label2;
}

bool ButtonEnabled() {
  return Current().buttonEnabled;
}

int BadCells() {
  return Current().badCells;
}

}  // namespace merravine::fake_window

namespace platform {

using merravine::fake_window::Current;

Text ControlText(ControlId id) {
  return id == ControlId::编辑框1 ? Current().addressBox : Text();
}

void SetControlText(ControlId id, const Text& text) {
  if (id == ControlId::标签2) Current().label2 = text;
}

void SetControlEnabled(ControlId id, bool enabled) {
  if (id == ControlId::按钮1) Current().buttonEnabled = enabled;
}

bool ControlEnabled(ControlId id) {
  return id == ControlId::按钮1 ? Current().buttonEnabled : true;
}

int ListInsertRow(ControlId /*list*/) {
  Current().rows.emplace_back();
  return static_cast<int>(Current().rows.size()) - 1;
}

void ListSetCell(ControlId /*list*/, int row, int column, const Text& text) {
  auto& rows = Current().rows;
  if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 || column > 1) {
    ++Current().badCells;
    return;
  }
  (column == 0 ? rows[static_cast<std::size_t>(row)].title
               : rows[static_cast<std::size_t>(row)].videoAddress) = text;
}

void RunOnMainThread(std::function<void()> work) {
  work();
}

bool StartThread(std::function<void()> work) {
  work();
  return true;
}

}  // namespace platform
