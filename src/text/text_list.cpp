// TextList: an owned, ordered list of Text addressed from 1.
#include "text/text.h"

namespace merravine {

const Text& TextList::At(int i) const {
  static const Text kAbsent;
  if (i < 1 || i > Count()) return kAbsent;
  return items_[static_cast<std::size_t>(i - 1)];
}

void TextList::Append(Text t) {
  items_.push_back(std::move(t));
}

int TextListCount(const TextList& list) {
  return list.Count();
}

Text TextListAt(const TextList& list, int i) {
  return list.At(i);
}

void TextListAppend(TextList& list, const Text& t) {
  list.Append(t);
}

}  // namespace merravine
