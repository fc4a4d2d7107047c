#pragma once
// Zero-based dynamic arrays with checked indexing.
//
// DynArray<T> is a value type: copying it copies the elements, so two arrays
// never share storage (the behaviour the model relies on when it keeps whole
// copies for undo and roll-back). Every index is checked; an index outside
// [0, Length()) raises ERangeError instead of reading out of bounds.
// High() is Length() - 1, so an empty array has High() == -1.

#include "platform/base/Exception.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <vector>

namespace lp {

template <class T>
class DynArray {
public:
    using value_type = T;
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    DynArray() = default;
    explicit DynArray(int length) : FItems(CheckedLength(length)) {}
    DynArray(int length, const T& value) : FItems(CheckedLength(length), value) {}
    DynArray(std::initializer_list<T> items) : FItems(items) {}
    explicit DynArray(std::vector<T> items) : FItems(std::move(items)) {}

    int Length() const noexcept { return static_cast<int>(FItems.size()); }
    int High() const noexcept { return Length() - 1; }
    bool Empty() const noexcept { return FItems.empty(); }

    // Grows with default values or shrinks from the end.
    void SetLength(int length) { FItems.resize(CheckedLength(length)); }
    void Clear() noexcept { FItems.clear(); }

    T& operator[](int index) { return FItems[CheckIndex(index)]; }
    const T& operator[](int index) const { return FItems[CheckIndex(index)]; }
    T& Last() { return (*this)[High()]; }
    const T& Last() const { return (*this)[High()]; }

    void Add(const T& item) { FItems.push_back(item); }
    void Add(T&& item) { FItems.push_back(std::move(item)); }
    // Inserts before index; index == Length() appends.
    void Insert(int index, const T& item)
    {
        if (index != Length())
            CheckIndex(index);
        FItems.insert(FItems.begin() + index, item);
    }
    void Delete(int index) { FItems.erase(FItems.begin() + CheckIndex(index)); }

    bool Contains(const T& item) const { return std::find(FItems.begin(), FItems.end(), item) != FItems.end(); }
    // The first index holding item, -1 when none does.
    int IndexOf(const T& item) const
    {
        const auto found = std::find(FItems.begin(), FItems.end(), item);
        return found == FItems.end() ? -1 : static_cast<int>(found - FItems.begin());
    }

    iterator begin() noexcept { return FItems.begin(); }
    iterator end() noexcept { return FItems.end(); }
    const_iterator begin() const noexcept { return FItems.begin(); }
    const_iterator end() const noexcept { return FItems.end(); }

    const std::vector<T>& Items() const noexcept { return FItems; }
    std::vector<T>& Items() noexcept { return FItems; }

    friend bool operator==(const DynArray& a, const DynArray& b) { return a.FItems == b.FItems; }

private:
    static size_t CheckedLength(int length)
    {
        if (length < 0)
            RaiseRangeError("Invalid array length %d", {ArgText(static_cast<long long>(length))});
        return static_cast<size_t>(length);
    }
    size_t CheckIndex(int index) const
    {
        if (index < 0 || index >= Length())
            RaiseIndexError(index, Length());
        return static_cast<size_t>(index);
    }

    std::vector<T> FItems;
};

// A fixed-size array indexed from 0 with checked access.
template <class T, int N>
class FixedArray {
public:
    static constexpr int Length() noexcept { return N; }
    static constexpr int High() noexcept { return N - 1; }

    T& operator[](int index) { return FItems[CheckIndex(index)]; }
    const T& operator[](int index) const { return FItems[CheckIndex(index)]; }
    void Fill(const T& value) { FItems.fill(value); }

    auto begin() noexcept { return FItems.begin(); }
    auto end() noexcept { return FItems.end(); }
    auto begin() const noexcept { return FItems.begin(); }
    auto end() const noexcept { return FItems.end(); }

    friend bool operator==(const FixedArray& a, const FixedArray& b) { return a.FItems == b.FItems; }

private:
    static size_t CheckIndex(int index)
    {
        if (index < 0 || index >= N)
            RaiseIndexError(index, N);
        return static_cast<size_t>(index);
    }

    std::array<T, N> FItems{};
};

} // namespace lp
