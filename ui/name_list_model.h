#pragma once

#include <QAbstractListModel>
#include <QString>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The names of a reference list as the dialog's drop-down lists show them, read from the
// engine's list itself: one model serves both position lists. A name is converted for display
// (DisplayName) only when a list first asks for it, and kept; a list of 100,000 names thus
// costs nothing until it is opened.
class CNameListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using NameAt = std::function<std::string_view(std::size_t)>;

    explicit CNameListModel(QObject* parent = nullptr);

    // Shows count names, the i-th being name(i), in that order; the names must stay as they are
    // while shown. A count of 0 shows none.
    void ShowNames(std::size_t count, NameAt name);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    int count_ = 0;
    NameAt name_;
    // The names converted so far, made as long as the list when the first one is asked for.
    mutable std::vector<QString> shown_;
    mutable std::vector<bool> converted_;
};
