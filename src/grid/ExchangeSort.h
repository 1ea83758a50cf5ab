#pragma once
// The quicksort of the row sort and of the reports' name lists: iterative, with an explicit
// stack, exchanging two entries whenever the one before must follow the one after. It is not
// stable: entries that compare equal are never exchanged with each other, but may change their
// order through exchanges with others. Positions are whatever the caller counts in.

#include <utility>
#include <vector>

namespace tavrin {

// mustFollow(i, j): the entry at i belongs after the one at j (i < j); exchange(i, j) swaps them.
// mustFollow must order consistently (equal entries never follow each other).
template <class MustFollow, class Exchange>
void ExchangeSort(int first, int last, MustFollow mustFollow, Exchange exchange)
{
    std::vector<std::pair<int, int>> stack;
    stack.emplace_back(first, last);
    while (!stack.empty()) {
        auto [L, R] = stack.back();
        stack.pop_back();
        while (L < R) {
            // A part already in order would see no exchange down to its smallest pieces.
            bool ordered = true;
            for (int p = L; p < R && ordered; ++p) ordered = !mustFollow(p, p + 1);
            if (ordered) break;
            int i = L;
            int j = R;
            bool forward = true;
            while (i < j) {
                if (mustFollow(i, j)) {
                    exchange(i, j);
                    forward = !forward;
                }
                if (forward) {
                    ++i;
                } else {
                    --j;
                }
            }
            // i == j: the pivot's final place.
            if (R - 1 > j - L) {
                if (j + 1 < R) stack.emplace_back(j + 1, R);
                R = j - 1;
            } else {
                if (j - 1 > L) stack.emplace_back(L, j - 1);
                L = j + 1;
            }
        }
    }
}

}  // namespace tavrin
