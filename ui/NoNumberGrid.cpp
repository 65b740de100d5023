// The desktop backends' answer to the ticket's grid: none. Their window keeps
// its designed layout, in which every field is in view and typed into, and
// which has no room for a grid of 49 numbers.
#include "Backend.h"

namespace Backend {

// The seam takes the tap by value for the backends that keep it; none is kept here.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
NumberGrid* offerNumberGrid(Window&, const TicketDefinition&, std::function<void(int)>)
{
    return nullptr;
}

// Never reached: no grid is ever offered here.
void showNumber(NumberGrid&, int, const GridNumber&) {}
void showGridNote(NumberGrid&, std::string_view) {}

}  // namespace Backend
