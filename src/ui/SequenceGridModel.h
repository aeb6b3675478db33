#pragma once
// The editor grid's view of the sequence table. The table is the one store: this
// model holds no copy, it maps the table into Qt's item model and forwards the
// table's change notifications to the view.
//
// Table row 0 (the header "Step", "Volts", "I Limit", "Comment") is the horizontal
// header, so it stays in place while the steps scroll; step row r is model row r - 1.
// Column 0 (the step number) is shown but can be neither selected nor edited.
// Cells are 8-bit text: each byte is shown as the character of that code (Latin-1).
#include "sequence/SequenceTable.h"

#include <QAbstractTableModel>

#include <optional>
#include <string>

namespace kadenzo {

class SequenceGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SequenceGridModel(SequenceTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The index of a table cell (invalid for the header row), and back.
    QModelIndex indexOf(CellPos cell) const;
    QModelIndex indexOf(int col, int row) const { return indexOf(CellPos{col, row}); }
    static CellPos cellOf(const QModelIndex& index) { return {index.column(), index.row() + 1}; }

    // To be called from the table's onAboutToChange and onChanged.
    void tableAboutToChange(const TableChange& change);
    void tableChanged(const TableChange& change);

    // Table text as shown, and a shown text as table bytes (nothing when the text
    // holds a character above U+00FF, which 8-bit text cannot hold).
    static QString shown(const std::string& bytes);
    static std::optional<std::string> bytesOf(const QString& text);

private:
    SequenceTable& table_;
};

} // namespace kadenzo
