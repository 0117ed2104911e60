#pragma once

#include <functional>

class QAbstractItemView;

namespace rv {

// Keys of a one-choice list: Enter runs act on the current row, Home makes the first row
// current. Both select the row they act on, and so does the focus arriving at a list with no
// current row: a row that is only highlighted counts as chosen, for the keys and for the
// buttons that read the selection. act may be empty (Enter then only chooses the row).
void onListRowKeys(QAbstractItemView* list, std::function<void()> act);

} // namespace rv
