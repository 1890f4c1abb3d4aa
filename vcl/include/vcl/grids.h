// Grids: the string grid.
#pragma once

#include <vector>

#include "vcl/controls.h"

enum TGridOption {
  goFixedVertLine,
  goFixedHorzLine,
  goVertLine,
  goHorzLine,
  goRangeSelect,
  goDrawFocusSelected,
  goRowSizing,
  goColSizing,
  goRowMoving,
  goColMoving,
  goEditing,
  goTabs,
  goRowSelect,
  goAlwaysShowEditor,
  goThumbTracking
};
using TGridOptions = Set<TGridOption>;

VCL_EXCEPTION_CLASS(EInvalidGridOperation, Exception);

// A grid of text cells, Cells[col][row]. Fixed rows and columns (headers) come first; with
// goEditing the user edits the other cells. A cell outside the grid reads as empty text and
// ignores writes; shrinking the grid drops the cells outside. FixedCols must stay below
// ColCount and FixedRows below RowCount (EInvalidGridOperation otherwise).
class TStringGrid : public TWinControl {
 public:
  explicit TStringGrid(TComponent* AOwner);
  VCL_CLASS_NAME(TStringGrid)
  IndexedProperty2<AnsiString> Cells{this, &TStringGrid::GetCell, &TStringGrid::SetCell};
  Property<int> ColCount{this, &TStringGrid::GetColCount, &TStringGrid::SetColCount};
  Property<int> RowCount{this, &TStringGrid::GetRowCount, &TStringGrid::SetRowCount};
  Property<int> FixedCols{this, &TStringGrid::GetFixedCols, &TStringGrid::SetFixedCols};
  Property<int> FixedRows{this, &TStringGrid::GetFixedRows, &TStringGrid::SetFixedRows};
  Property<int> DefaultColWidth{this, &TStringGrid::GetDefaultColWidth,
                                &TStringGrid::SetDefaultColWidth};
  Property<int> DefaultRowHeight{this, &TStringGrid::GetDefaultRowHeight,
                                 &TStringGrid::SetDefaultRowHeight};
  IndexedProperty<int> ColWidths{this, &TStringGrid::GetColWidth, &TStringGrid::SetColWidth};
  IndexedProperty<int> RowHeights{this, &TStringGrid::GetRowHeight, &TStringGrid::SetRowHeight};
  Property<TGridOptions> Options{this, &TStringGrid::GetOptions, &TStringGrid::SetOptions};
  Property<TScrollStyle> ScrollBars{this, &TStringGrid::GetScrollBars, &TStringGrid::SetScrollBars};
  // The current cell.
  Property<int> Col{this, &TStringGrid::GetCol, &TStringGrid::SetCol};
  Property<int> Row{this, &TStringGrid::GetRow, &TStringGrid::SetRow};
  Property<TColor> FixedColor{[this] { return fixed_color_; },
                              [this](TColor v) { fixed_color_ = v; }};
  Property<int> GridLineWidth{[this] { return grid_line_width_; },
                              [this](int v) { grid_line_width_ = v; }};

  // Library internals: the user edited a cell (vcl::input::EditCell).
  void UserSetCell(int col, int row, const AnsiString& value);

 protected:
  void Loaded() override;

 private:
  AnsiString GetCell(int col, int row) const;
  void SetCell(int col, int row, const AnsiString& value);
  int GetColCount() const { return col_count_; }
  void SetColCount(int v);
  int GetRowCount() const { return row_count_; }
  void SetRowCount(int v);
  int GetFixedCols() const { return fixed_cols_; }
  void SetFixedCols(int v);
  int GetFixedRows() const { return fixed_rows_; }
  void SetFixedRows(int v);
  int GetDefaultColWidth() const { return default_col_width_; }
  void SetDefaultColWidth(int v);
  int GetDefaultRowHeight() const { return default_row_height_; }
  void SetDefaultRowHeight(int v);
  int GetColWidth(int col) const;
  void SetColWidth(int col, int v);
  int GetRowHeight(int row) const;
  void SetRowHeight(int row, int v);
  TGridOptions GetOptions() const { return options_; }
  void SetOptions(TGridOptions v);
  TScrollStyle GetScrollBars() const { return scroll_bars_; }
  void SetScrollBars(TScrollStyle v);
  int GetCol() const { return col_; }
  void SetCol(int v);
  int GetRow() const { return row_; }
  void SetRow(int v);
  void Resize();

  int col_count_ = 5;
  int row_count_ = 5;
  int fixed_cols_ = 1;
  int fixed_rows_ = 1;
  int default_col_width_ = 64;
  int default_row_height_ = 24;
  std::vector<int> col_widths_;
  std::vector<int> row_heights_;
  std::vector<std::vector<AnsiString>> cells_;  // [row][col]
  TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TScrollStyle scroll_bars_ = ssBoth;
  int col_ = 1;
  int row_ = 1;
  TColor fixed_color_ = clBtnFace;
  int grid_line_width_ = 1;
};
