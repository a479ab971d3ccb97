// The open list of the path search: a 1-based binary min-heap of cell
// numbers on the f of their search records, which also keep each cell's
// place in the heap. Ties follow fixed rules, so searches take equal-cost
// cells in one order everywhere: an entry moving up passes parents of equal
// f, one moving down passes children of equal f, the right child first.
#ifndef GAME_AI_NAV_HEAP_H
#define GAME_AI_NAV_HEAP_H

#include <cstdint>
#include <utility>
#include <vector>

#include "game/ai/nav_grid.h"

class NavOpenHeap {
public:
    NavOpenHeap(std::vector<int>& heap, std::vector<NavSearchRecord>& records)
        : heap_(heap), records_(records) {}

    void Clear() {
        heap_.clear();
        heap_.push_back(-1);  // placeholder: the heap is 1-based
    }
    bool Empty() const { return heap_.size() <= 1; }

    void Push(int cell) {
        heap_.push_back(cell);
        records_[size_t(cell)].heapIndex = int(heap_.size() - 1);
        SiftUp(int(heap_.size() - 1));
    }

    void SiftUp(int index) {
        // Stops at the root; the placeholder is never compared.
        while (index > 1) {
            const int parent = index / 2;
            if (F(parent) < F(index)) break;
            Swap(index, parent);
            index = parent;
        }
    }

    int Pop() {
        const int top = heap_[1];
        records_[size_t(top)].heapIndex = 0;
        const int last = heap_.back();
        heap_.pop_back();
        if (heap_.size() > 1) {
            heap_[1] = last;
            records_[size_t(last)].heapIndex = 1;
            SiftDown(1);
        }
        return top;
    }

private:
    int64_t F(int index) const { return records_[size_t(heap_[size_t(index)])].f; }

    void Swap(int a, int b) {
        std::swap(heap_[size_t(a)], heap_[size_t(b)]);
        records_[size_t(heap_[size_t(a)])].heapIndex = a;
        records_[size_t(heap_[size_t(b)])].heapIndex = b;
    }

    void SiftDown(int index) {
        const int count = int(heap_.size()) - 1;
        for (;;) {
            const int left = 2 * index, right = left + 1;
            if (left > count) return;
            int chosen = index;
            if (right <= count) {
                if (F(left) <= F(index)) chosen = left;
                if (F(right) <= F(chosen)) chosen = right;
            } else if (!(F(index) < F(left))) {
                chosen = left;
            }
            if (chosen == index) return;
            Swap(index, chosen);
            index = chosen;
        }
    }

    std::vector<int>& heap_;
    std::vector<NavSearchRecord>& records_;
};

#endif
