#include "vcl/grids.h"

#include <algorithm>

#include "gui_internal.h"
#include "published.h"

using vcl::Change;

TStringGrid::TStringGrid(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 320, 120);
  Color = clWindow;
  Resize();
}

void TStringGrid::Resize() {
  cells_.resize(static_cast<size_t>(row_count_));
  for (auto& row : cells_) row.resize(static_cast<size_t>(col_count_));
  col_widths_.resize(static_cast<size_t>(col_count_), default_col_width_);
  row_heights_.resize(static_cast<size_t>(row_count_), default_row_height_);
  if (col_ >= col_count_) col_ = std::max(fixed_cols_, col_count_ - 1);
  if (row_ >= row_count_) row_ = std::max(fixed_rows_, row_count_ - 1);
}

AnsiString TStringGrid::GetCell(int col, int row) const {
  if (col < 0 || row < 0 || col >= col_count_ || row >= row_count_) return AnsiString();
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TStringGrid::SetCell(int col, int row, const AnsiString& value) {
  if (col < 0 || row < 0 || col >= col_count_ || row >= row_count_) return;
  AnsiString& cell = cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
  if (cell == value) return;
  cell = value;
  Changed(Change::Cells, row * col_count_ + col);
}

void TStringGrid::UserSetCell(int col, int row, const AnsiString& value) {
  SetCell(col, row, value);
  col_ = col;
  row_ = row;
}

void TStringGrid::SetColCount(int v) {
  if (v < 1) v = 1;
  if (v == col_count_) return;
  if (!Loading() && v <= fixed_cols_) fixed_cols_ = v - 1;
  col_count_ = v;
  Resize();
  Changed(Change::Cells, -1);
}

void TStringGrid::SetRowCount(int v) {
  if (v < 1) v = 1;
  if (v == row_count_) return;
  if (!Loading() && v <= fixed_rows_) fixed_rows_ = v - 1;
  row_count_ = v;
  Resize();
  Changed(Change::Cells, -1);
}

void TStringGrid::SetFixedCols(int v) {
  if (v < 0) v = 0;
  if (!Loading() && v >= col_count_)
    throw EInvalidGridOperation("Fixed column count must be less than column count");
  if (v == fixed_cols_) return;
  fixed_cols_ = v;
  if (col_ < v) col_ = v;
  Changed(Change::Cells, -1);
}

void TStringGrid::SetFixedRows(int v) {
  if (v < 0) v = 0;
  if (!Loading() && v >= row_count_)
    throw EInvalidGridOperation("Fixed row count must be less than row count");
  if (v == fixed_rows_) return;
  fixed_rows_ = v;
  if (row_ < v) row_ = v;
  Changed(Change::Cells, -1);
}

void TStringGrid::Loaded() {
  TWinControl::Loaded();
  if (fixed_cols_ >= col_count_) fixed_cols_ = col_count_ - 1;
  if (fixed_rows_ >= row_count_) fixed_rows_ = row_count_ - 1;
  col_ = std::clamp(col_, fixed_cols_, col_count_ - 1);
  row_ = std::clamp(row_, fixed_rows_, row_count_ - 1);
}

void TStringGrid::SetDefaultColWidth(int v) {
  if (v == default_col_width_) return;
  default_col_width_ = v;
  std::fill(col_widths_.begin(), col_widths_.end(), v);
  Changed(Change::Cells, -1);
}

void TStringGrid::SetDefaultRowHeight(int v) {
  if (v == default_row_height_) return;
  default_row_height_ = v;
  std::fill(row_heights_.begin(), row_heights_.end(), v);
  Changed(Change::Cells, -1);
}

int TStringGrid::GetColWidth(int col) const {
  if (col < 0 || col >= col_count_) return default_col_width_;
  return col_widths_[static_cast<size_t>(col)];
}

void TStringGrid::SetColWidth(int col, int v) {
  if (col < 0 || col >= col_count_) return;
  col_widths_[static_cast<size_t>(col)] = v;
  Changed(Change::Cells, -1);
}

int TStringGrid::GetRowHeight(int row) const {
  if (row < 0 || row >= row_count_) return default_row_height_;
  return row_heights_[static_cast<size_t>(row)];
}

void TStringGrid::SetRowHeight(int row, int v) {
  if (row < 0 || row >= row_count_) return;
  row_heights_[static_cast<size_t>(row)] = v;
  Changed(Change::Cells, -1);
}

void TStringGrid::SetOptions(TGridOptions v) {
  StoreShown(options_, v, Change::Style);
}

void TStringGrid::SetScrollBars(TScrollStyle v) {
  StoreShown(scroll_bars_, v, Change::Style);
}

void TStringGrid::SetCol(int v) {
  if (v < 0 || v >= col_count_ || v == col_) return;
  col_ = v;
  Changed(Change::Focus);
}

void TStringGrid::SetRow(int v) {
  if (v < 0 || v >= row_count_ || v == row_) return;
  row_ = v;
  Changed(Change::Focus);
}

// ---- Published properties, for form descriptions (published.h) ----

namespace vcl::detail {

namespace {

// A list of integers for an indexed property (ColWidths).
Setter IntList(IndexedProperty<int> TStringGrid::*member) {
  return [member](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
    if (v.kind != dfm::Value::List) Bad(ctx, v.line, prop, "List of integers expected");
    auto* grid = static_cast<TStringGrid*>(obj);
    int i = 0;
    for (const dfm::Value& item : v.items)
      (grid->*member)[i++] = static_cast<int>(IntOf(item, ctx, prop, -32768, 32767));
  };
}

}  // namespace

std::span<const ClassTable> GridsTables() {
  static const ClassTable tables[] = {
      Publish<TStringGrid>("TStringGrid", "TWinControl")
          .prop("ColCount", &TStringGrid::ColCount)
          .prop("RowCount", &TStringGrid::RowCount)
          .prop("FixedCols", &TStringGrid::FixedCols)
          .prop("FixedRows", &TStringGrid::FixedRows)
          .prop("DefaultColWidth", &TStringGrid::DefaultColWidth)
          .prop("DefaultRowHeight", &TStringGrid::DefaultRowHeight)
          .custom("ColWidths", IntList(&TStringGrid::ColWidths))
          .custom("RowHeights", IntList(&TStringGrid::RowHeights))
          .prop("Options", &TStringGrid::Options)
          .prop("ScrollBars", &TStringGrid::ScrollBars)
          .prop("FixedColor", &TStringGrid::FixedColor)
          .prop("GridLineWidth", &TStringGrid::GridLineWidth),
  };
  return tables;
}

}  // namespace vcl::detail
