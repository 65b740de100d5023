#include "FormDefinition.h"

#include <algorithm>

std::vector<std::size_t> tabStops(std::span<const ControlDefinition> controls)
{
    std::vector<std::size_t> stops;
    for (std::size_t k = 0; k < controls.size(); ++k) {
        if (controls[k].tabOrder != noTabStop)
            stops.push_back(k);
    }
    std::sort(stops.begin(), stops.end(), [&](std::size_t a, std::size_t b) {
        return controls[a].tabOrder != controls[b].tabOrder ? controls[a].tabOrder < controls[b].tabOrder : a < b;
    });
    return stops;
}
