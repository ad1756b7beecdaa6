// A double of the window facility for the retrieval fuzz target: the controls
// the retrieval reads and writes, as plain values, with work for the main
// thread and new threads run at once on the calling thread.
#pragma once

#include <vector>

#include "platform/window.h"
#include "text/text.h"

namespace merravine::fake_window {

struct Row {
  Text title;
  Text videoAddress;
};

void Reset(const Text& addressBox);
const std::vector<Row>& Rows();
Text Label2();
bool ButtonEnabled();
// Writes to a cell of a row that does not exist, or of a column other than 0 and 1.
int BadCells();

}  // namespace merravine::fake_window
