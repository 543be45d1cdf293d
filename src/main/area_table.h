// The table of areas: a tool window listing the kept areas of the last
// analysis, one row each, with the columns areas.csv writes
// (session/area_columns.h), sortable by any column; by default only those
// with a share on the picture. Rows copy as tab-separated text with the
// header, which spreadsheets paste into columns, and save as CSV. The model
// reads the session's records; it keeps only which records are its rows,
// taken anew after every pass.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class TAreaFilter;
class QTableView;
struct TArea;
struct TSession;

class TAreaTableModel : public QAbstractTableModel {
  public:
    TAreaTableModel(const TSession& s, QObject* parent);

    // Takes the kept records of the last pass as the rows, in label order.
    void Refresh();
    // No rows: a pass is about to replace the records.
    void Clear();
    const TArea& Area(int row) const { return *Rows_[size_t(row)]; }
    int RowOfLabel(int32_t label) const; // -1 when no row has it

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // Display: the column's text as areas.csv writes it; Qt::UserRole: its
    // number, which the table sorts by.
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const TSession& S_;
    std::vector<const TArea*> Rows_;
};

class TAreaTable : public QWidget {
  public:
    TAreaTable(const TSession& s, QWidget* parent);

    void Refresh();                    // after a pass
    void Clear(const QString& status); // no rows, and why: before a pass, or after one failed
    // Selects the row of the area labelled `label` (none when 0 or not a row)
    // and scrolls to it, as the pointer over the area view asks.
    void SelectLabel(int32_t label);
    int32_t SelectedLabel() const; // 0 when no row is selected
    // Wide enough for every column and tall enough for every row; the
    // caller fits it to the screen.
    QSize SizeForRows() const;
    // Told the label of the selected row (0 for none) whenever the selection
    // changes; `byUser` is false when SelectLabel made the change.
    void OnSelect(std::function<void(int32_t label, bool byUser)> handler);

    QTableView* View() const { return View_; }
    TAreaTableModel* Model() const { return Model_; }
    QCheckBox* PictureOnly() const { return PictureOnly_; } // hides the areas off the picture
    QString Status() const;

    // The selected rows in the order shown (all shown rows for `all`) as
    // the header and one line per row, tab-separated, each line ending in
    // "\n", as Ctrl+C puts them on the clipboard.
    QString RowsAsTsv(bool all = false) const;
    // The rows shown as areas.csv writes them, into `path` (replaced as a
    // whole or not at all); false with the cause in `error`.
    bool SaveCsv(const QString& path, QString* error) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SelectionChanged();
    void ShowStatus();
    void AskAndSaveCsv();

    const TSession& S_;
    TAreaTableModel* Model_;
    TAreaFilter* Proxy_;
    QTableView* View_;
    QLabel* Status_;
    QCheckBox* PictureOnly_;
    std::function<void(int32_t, bool)> Select_;
    bool SelectingLabel_ = false;
};
