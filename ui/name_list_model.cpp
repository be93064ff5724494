#include "ui/name_list_model.h"

#include "ui/display_text.h"

#include <algorithm>
#include <limits>
#include <utility>

CNameListModel::CNameListModel(QObject* parent) : QAbstractListModel(parent) {}

void CNameListModel::ShowNames(std::size_t count, NameAt name) {
    beginResetModel();
    // A list view counts its rows in an int.
    count_ = static_cast<int>(std::min<std::size_t>(count, std::numeric_limits<int>::max()));
    name_ = std::move(name);
    shown_.clear();
    converted_.clear();
    endResetModel();
}

int CNameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

QVariant CNameListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= count_ ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    if (converted_.empty()) {
        shown_.resize(static_cast<std::size_t>(count_));
        converted_.resize(static_cast<std::size_t>(count_));
    }
    if (!converted_[row]) {
        shown_[row] = DisplayName(name_(row));
        converted_[row] = true;
    }
    return shown_[row];
}
