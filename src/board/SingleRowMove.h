#pragma once

#include <QModelIndex>
#include <optional>

// The moves the drag layout asks of a flat list model: one row at a time, named the way Qt names them (the
// destination is the row to insert before, counted before the move).
struct SingleRowMove {
    // The row's index after the move, or nullopt for a move that is refused or leaves the order as it is.
    static std::optional<int> target(const QModelIndex& sourceParent, int sourceRow, int count,
                                     const QModelIndex& destinationParent, int destinationChild, int size)
    {
        if (sourceParent.isValid() || destinationParent.isValid() || count != 1 || sourceRow < 0 || sourceRow >= size ||
            destinationChild < 0 || destinationChild > size)
            return std::nullopt;
        // Before itself or just after itself is where the row already is.
        if (destinationChild == sourceRow || destinationChild == sourceRow + 1)
            return std::nullopt;
        return destinationChild > sourceRow ? destinationChild - 1 : destinationChild;
    }
};
