// The list view over QTableWidget: a table draws grid lines between rows and
// columns, which a tree view does not.
#include "platform/posix/window_list.h"

#include <algorithm>
#include <memory>

#include <QHeaderView>
#include <QTableWidget>

#include "platform/posix/window_qt.h"

namespace platform {

namespace qt {

namespace {

QTableWidget* ListOf(ControlId id) {
  return qobject_cast<QTableWidget*>(Control(id));
}

}  // namespace

QWidget* MakeListView(const ControlDesign& design, QWidget* parent,
                      std::function<void()> rightClicked) {
  auto* list = MakeChild<QTableWidget>(0, static_cast<int>(design.columns.size()), parent);
  list->setShowGrid(true);
  list->setWordWrap(false);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSortingEnabled(false);
  list->setCornerButtonEnabled(false);
  list->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  list->verticalHeader()->hide();
  list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);

  // The header's buttons can be pressed and dragged to resize a column, but a
  // press neither sorts nor selects anything.
  QHeaderView* header = list->horizontalHeader();
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setSortIndicatorShown(false);
  header->setStretchLastSection(false);
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setContextMenuPolicy(Qt::PreventContextMenu);  // the menu is for the rows area
  for (std::size_t i = 0; i < design.columns.size(); ++i) {
    const int column = static_cast<int>(i);
    list->setHorizontalHeaderItem(
        column, std::make_unique<QTableWidgetItem>(ToQString(design.columns[i].caption)).release());
    list->setColumnWidth(column, design.columns[i].width);
  }

  // Black on white; the selection is not drawn while the list has no focus.
  QPalette palette = list->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
  list->setPalette(palette);

  list->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(list, &QWidget::customContextMenuRequested, list,
                   [rightClicked = std::move(rightClicked)](const QPoint&) {
                     if (rightClicked) rightClicked();
                   });
  return list;
}

}  // namespace qt

int ListInsertRow(ControlId id) {
  QTableWidget* list = qt::ListOf(id);
  if (list == nullptr) return -1;
  const int row = list->rowCount();
  list->insertRow(row);
  return row;
}

void ListSetCell(ControlId id, int row, int column, const Text& text) {
  QTableWidget* list = qt::ListOf(id);
  if (list == nullptr || row < 0 || row >= list->rowCount() || column < 0 ||
      column >= list->columnCount()) {
    return;
  }
  auto item = std::make_unique<QTableWidgetItem>(qt::ToQString(text));
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  list->setItem(row, column, item.release());  // the list owns its items
}

int SelectedRow(ControlId id) {
  const QTableWidget* list = qt::ListOf(id);
  if (list == nullptr) return -1;
  const QModelIndexList rows = list->selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  return std::min_element(
             rows.begin(), rows.end(),
             [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); })
      ->row();
}

}  // namespace platform
