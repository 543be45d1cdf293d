#include "area_table.h"

#include "session/area_columns.h"
#include "session/footprint.h"
#include "session/session.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

// Sorts by the figures and, when asked, leaves out the rows whose area has
// no pixel on the picture.
class TAreaFilter : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void SetPictureOnly(bool on) {
        PictureOnly_ = on;
        invalidateFilter();
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (!PictureOnly_) return true;
        const QModelIndex inside = sourceModel()->index(row, InsideColumn, parent);
        return sourceModel()->data(inside, Qt::UserRole).toDouble() > 0;
    }

  private:
    bool PictureOnly_ = true;
};

TAreaTableModel::TAreaTableModel(const TSession& s, QObject* parent)
    : QAbstractTableModel(parent), S_(s) {}

void TAreaTableModel::Refresh() {
    beginResetModel();
    Rows_ = KeptAreas(S_.Areas);
    endResetModel();
}

void TAreaTableModel::Clear() {
    beginResetModel();
    Rows_.clear();
    endResetModel();
}

int TAreaTableModel::RowOfLabel(int32_t label) const {
    for (size_t row = 0; row < Rows_.size(); ++row)
        if (Rows_[row]->label == label) return int(row);
    return -1;
}

int TAreaTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(Rows_.size());
}

int TAreaTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : AreaColumnCount;
}

QVariant TAreaTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(
            AreaColumnText(Figures(Area(index.row()), FootprintOf(S_.Picture)), c));
    case Qt::UserRole:
        return AreaColumnValue(Figures(Area(index.row()), FootprintOf(S_.Picture)), c);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant TAreaTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= AreaColumnCount) return {};
    if (role == Qt::DisplayRole) return QString(AreaColumns[section].Name);
    if (role == Qt::ToolTipRole) return QString(AreaColumns[section].Meaning);
    return {};
}

TAreaTable::TAreaTable(const TSession& s, QWidget* parent) : QWidget(parent, Qt::Tool), S_(s) {
    setObjectName("AreaTable");
    setWindowTitle("Table of areas");
    Model_ = new TAreaTableModel(s, this);
    Proxy_ = new TAreaFilter(this);
    Proxy_->setSourceModel(Model_);
    Proxy_->setSortRole(Qt::UserRole);
    Status_ = new QLabel(this);
    Status_->setObjectName("AreaTableStatus");
    View_ = new QTableView(this);
    View_->setObjectName("AreaTableView");
    View_->setModel(Proxy_);
    View_->setSelectionBehavior(QAbstractItemView::SelectRows);
    View_->setSelectionMode(QAbstractItemView::ExtendedSelection); // Ctrl+A is the view's own
    View_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    View_->verticalHeader()->hide();
    View_->verticalHeader()->setDefaultSectionSize(View_->fontMetrics().height() + 4);
    View_->setSortingEnabled(true);
    View_->sortByColumn(0, Qt::AscendingOrder);
    // Columns as wide as their titles, once: sizing them to every pass's
    // contents would cost more than the refresh itself.
    View_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    View_->resizeColumnsToContents();
    View_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    PictureOnly_ = new QCheckBox("Picture only", this);
    PictureOnly_->setObjectName("AreaTablePictureOnly");
    PictureOnly_->setToolTip("Show only the areas with pixels on the picture, not those wholly on "
                             "the rest of the grid (white, or what earlier pictures left)");
    PictureOnly_->setChecked(true);
    connect(PictureOnly_, &QCheckBox::toggled, this, [this](bool on) {
        Proxy_->SetPictureOnly(on);
        ShowStatus();
    });
    // Copy, select all and save from the context menu; the keys are taken by
    // the view itself (eventFilter), before the window's own shortcuts.
    const auto addAction = [this](const QString& text, auto slot) {
        auto* action = new QAction(text, View_);
        connect(action, &QAction::triggered, this, slot);
        View_->addAction(action);
        return action;
    };
    addAction("Copy", [this] {
        QApplication::clipboard()->setText(RowsAsTsv());
    })->setObjectName("AreaTableCopy");
    addAction("Select all", [this] { View_->selectAll(); });
    addAction("Save as CSV…", [this] { AskAndSaveCsv(); })->setObjectName("AreaTableSaveCsv");
    View_->setContextMenuPolicy(Qt::ActionsContextMenu);
    View_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(Status_);
    layout->addWidget(PictureOnly_);
    layout->addWidget(View_);
    // Wide enough for every column, as far as the screen allows.
    resize(std::min(View_->horizontalHeader()->length() + 24, 1100), 400);
    connect(View_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { SelectionChanged(); });
    Refresh();
}

QSize TAreaTable::SizeForRows() const {
    const int rows = std::max(View_->model()->rowCount(), 1);
    const int height = Status_->sizeHint().height() + View_->horizontalHeader()->height() +
                       rows * View_->verticalHeader()->defaultSectionSize() + 24;
    return {std::min(View_->horizontalHeader()->length() + 24, 1100), std::max(height, 160)};
}

void TAreaTable::Refresh() {
    Model_->Refresh();
    ShowStatus();
}

void TAreaTable::ShowStatus() {
    const int hidden = Model_->rowCount() - Proxy_->rowCount();
    if (!S_.LastPass)
        Status_->setText("No analysis yet.");
    else if (Model_->rowCount() == 0)
        Status_->setText("The last analysis kept no area.");
    else
        Status_->setText(
            QString("%1 areas kept by the last analysis, at threshold %2. Click a "
                    "column's title to sort by it.%3")
                .arg(Model_->rowCount())
                .arg(S_.LastPass->Threshold)
                .arg(hidden > 0 ? QString(" %1 wholly off the picture are hidden.").arg(hidden)
                                : QString()));
}

bool TAreaTable::eventFilter(QObject* watched, QEvent* event) {
    const bool override = event->type() == QEvent::ShortcutOverride;
    if (watched != View_ || (!override && event->type() != QEvent::KeyPress))
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool copy = key->matches(QKeySequence::Copy);
    if (!copy && !key->matches(QKeySequence::SelectAll)) return false;
    event->accept();
    if (override) return true; // the key comes to the view, not to a shortcut
    if (copy)
        QApplication::clipboard()->setText(RowsAsTsv());
    else
        View_->selectAll();
    return true;
}

QString TAreaTable::RowsAsTsv(bool all) const {
    std::vector<int> rows;
    if (all) {
        for (int r = 0; r < Proxy_->rowCount(); ++r) rows.push_back(r);
    } else {
        for (const QModelIndex& i : View_->selectionModel()->selectedRows())
            rows.push_back(i.row());
        std::sort(rows.begin(), rows.end());
    }
    QString out;
    for (int c = 0; c < AreaColumnCount; ++c) out += (c ? "\t" : "") + QString(AreaColumns[c].Name);
    out += '\n';
    for (const int r : rows) {
        for (int c = 0; c < AreaColumnCount; ++c)
            out += (c ? "\t" : "") + Proxy_->index(r, c).data(Qt::DisplayRole).toString();
        out += '\n';
    }
    return out;
}

bool TAreaTable::SaveCsv(const QString& path, QString* error) const {
    // areas.csv's own form: commas and CRLF line ends; no field needs quoting.
    QString text = RowsAsTsv(true);
    text.replace('\t', ',').replace("\n", "\r\n");
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit())
        return true;
    if (error) *error = file.errorString();
    return false;
}

void TAreaTable::AskAndSaveCsv() {
    const QString path = QFileDialog::getSaveFileName(this, "Save the table of areas", "areas.csv",
                                                      "CSV files (*.csv)");
    if (path.isEmpty()) return;
    QString error;
    if (!SaveCsv(path, &error))
        QMessageBox::warning(
            this, "Save as CSV",
            QString("Cannot write \"%1\": %2.").arg(QDir::toNativeSeparators(path), error));
}

void TAreaTable::Clear(const QString& status) {
    Model_->Clear();
    Status_->setText(status);
}

QString TAreaTable::Status() const {
    return Status_->text();
}

void TAreaTable::OnSelect(std::function<void(int32_t, bool)> handler) {
    Select_ = std::move(handler);
}

int32_t TAreaTable::SelectedLabel() const {
    const QModelIndexList rows = View_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return 0;
    return Model_->Area(Proxy_->mapToSource(rows.first()).row()).label;
}

void TAreaTable::SelectLabel(int32_t label) {
    const int row = Model_->RowOfLabel(label);
    if (row < 0 || label == SelectedLabel()) return;
    const QModelIndex at = Proxy_->mapFromSource(Model_->index(row, 0));
    if (!at.isValid()) return; // hidden: wholly off the picture
    SelectingLabel_ = true;
    View_->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
    SelectingLabel_ = false;
    View_->scrollTo(at);
}

void TAreaTable::SelectionChanged() {
    if (Select_) Select_(SelectedLabel(), !SelectingLabel_);
}
