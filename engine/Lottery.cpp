#include "Lottery.h"

#include "RandomSource.h"
#include "Trace.h"

#include <utility>

namespace lotto {

TicketCheck checkTicket(const Ticket& t)
{
    TicketCheck check;
    for (int i = 0; i < ticketSize; ++i) {
        if (t[i] < lowestNumber || t[i] > highestNumber)
            check.outOfRange = true;
        for (int j = i + 1; j < ticketSize; ++j) {
            if (t[i] == t[j])
                check.duplicate = true;
        }
    }
    return check;
}

// Recursive by its algorithm; each call sorts a shorter range than its caller.
void quickSort(std::span<LotteryNumber> a, int left, int right)  // NOLINT(misc-no-recursion)
{
    if (right <= left)
        return;  // no pivot to read: fewer than two values are in order already
    int i = left;
    int j = right;
    const LotteryNumber pivot = a[(left + right) / 2];
    do {
        while (a[i] < pivot && i < right)
            ++i;
        while (a[j] > pivot && j > left)
            --j;
        if (i <= j) {
            std::swap(a[i], a[j]);
            ++i;
            --j;
        }
    } while (i <= j);
    if (left < j)
        quickSort(a, left, j);
    if (i < right)
        quickSort(a, i, right);
}

DrawResult drawSeven(RandomSource& random)
{
    const DrawResult draw = drawSevenWith(random, traceNumber);
    flushTrace();
    return draw;
}

void exchangeSort(DrawResult& d)
{
    for (int i = 0; i < ticketSize; ++i) {
        for (int j = i + 1; j < ticketSize; ++j) {
            if (d[j] < d[i])
                std::swap(d[i], d[j]);
        }
    }
}

Evaluation evaluate(const Ticket& t, const DrawResult& d)
{
    Evaluation e;
    for (int i = 0; i < ticketSize; ++i) {
        for (int j = 0; j < ticketSize; ++j) {
            if (t[i] == d[j])
                ++e.matches;
        }
        if (t[i] == d[bonusSlot])
            e.bonusHit = true;
    }
    return e;
}

}  // namespace lotto
