#include "area_table.h"

#include "session/area_columns.h"
#include "session/session.h"

#include <QHeaderView>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

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
        return QString::fromStdString(AreaColumnText(Figures(Area(index.row())), c));
    case Qt::UserRole:
        return AreaColumnValue(Figures(Area(index.row())), c);
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
    Proxy_ = new QSortFilterProxyModel(this);
    Proxy_->setSourceModel(Model_);
    Proxy_->setSortRole(Qt::UserRole);
    Status_ = new QLabel(this);
    Status_->setObjectName("AreaTableStatus");
    View_ = new QTableView(this);
    View_->setObjectName("AreaTableView");
    View_->setModel(Proxy_);
    View_->setSelectionBehavior(QAbstractItemView::SelectRows);
    View_->setSelectionMode(QAbstractItemView::SingleSelection);
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
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(Status_);
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
    if (!S_.LastPass)
        Status_->setText("No analysis yet.");
    else if (Model_->rowCount() == 0)
        Status_->setText("The last analysis kept no area.");
    else
        Status_->setText(QString("%1 areas kept by the last analysis, at threshold %2. Click a "
                                 "column's title to sort by it.")
                             .arg(Model_->rowCount())
                             .arg(S_.LastPass->Threshold));
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
    SelectingLabel_ = true;
    View_->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
    SelectingLabel_ = false;
    View_->scrollTo(at);
}

void TAreaTable::SelectionChanged() {
    if (Select_) Select_(SelectedLabel(), !SelectingLabel_);
}
