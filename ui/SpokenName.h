// What assistive technology announces for a control, decided once for every
// backend: its own spoken name from the form's table, else what it shows. A
// label's or a button's name follows its text when the text changes; an
// edit's never does, because what an edit holds is the player's input, which
// a screen reader reads as its value, not as its name. Nor does a mark change
// a name: what it says is said after the name, with the heading of the
// control's column, so that a player who tabs through the ticket hears the
// hits and voice control still finds "Tipp 1".
#pragma once

#include "FormDefinition.h"

#include <string>
#include <string_view>

inline bool nameFollowsText(const ControlDefinition& control)
{
    return control.spokenName.empty() && control.kind != ControlKind::Edit;
}

// shownText: the caption at creation, or the text the control was given since.
inline std::string_view spokenName(const ControlDefinition& control, std::string_view shownText)
{
    if (!control.spokenName.empty())
        return control.spokenName;
    return control.kind == ControlKind::Edit ? control.caption : shownText;
}

// What is said after a control's name: what its mark says, what the window
// says of it (its description), then its heading, each of them empty where
// there is none ("Treffer, Tippeingabe", "Kein Gewinn, Gewinn"). The page
// joins the ids of the elements that say them in the same order, with a space.
inline std::string spokenDescription(std::string_view mark,
                                     std::string_view description,
                                     std::string_view heading,
                                     std::string_view between = ", ")
{
    std::string said;
    for (const std::string_view part : {mark, description, heading}) {
        if (part.empty())
            continue;
        if (!said.empty())
            said += between;
        said += part;
    }
    return said;
}
