#pragma once
// The 1-based item list behind AlbumCategories, AlbumPhotos and AlbumMusics.
// Album::LoadText fills it; the player only reads it, on the window thread.

// ours
#include "albumerror.h"

// std
#include <utility>
#include <vector>

namespace tarnwick {

template <typename T>
class AlbumCollection {
public:
    // Item `index`, counted from 1. Throws AlbumError "Subscript out of
    // range" for an index outside 1..Count(). The reference stays valid until
    // the album is loaded again.
    T& Item(int index)
    {
        checkIndex(index);
        return m_items[static_cast<std::size_t>(index - 1)];
    }
    const T& Item(int index) const
    {
        checkIndex(index);
        return m_items[static_cast<std::size_t>(index - 1)];
    }

    int Count() const { return static_cast<int>(m_items.size()); }

    // For the album loader: appends an item / empties the list.
    void Add(T item) { m_items.push_back(std::move(item)); }
    void Clear() { m_items.clear(); }

private:
    void checkIndex(int index) const
    {
        if (index < 1 || index > Count())
            throw AlbumError(kSubscriptOutOfRange);
    }

    std::vector<T> m_items;
};

} // namespace tarnwick
