// The four commands of the list's pop-up menu: they copy the selected or all
// titles or video addresses to the clipboard (main thread).
#pragma once

namespace merravine {

void CopySelectedTitle();
void CopyAllTitles();
void CopySelectedAddress();
void CopyAllAddresses();

}  // namespace merravine
