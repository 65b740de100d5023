// What assistive technology announces for a control, decided once for every
// backend: its own spoken name from the form's table, else what it shows. A
// label's or a button's name follows its text when the text changes; an
// edit's never does, because what an edit holds is the player's input, which
// a screen reader reads as its value, not as its name. An edit's mark is said
// with its name, so that a player who tabs through the ticket hears the hits;
// so is the mark of a number in the ticket's grid.
#pragma once

#include "FormDefinition.h"
#include "Hits.h"

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

// A name with what the mark says: "Tipp 1, Treffer".
inline std::string withMark(std::string_view name, lotto::HitMark mark)
{
    std::string said(name);
    switch (mark) {
    case lotto::HitMark::None:
        break;
    case lotto::HitMark::Main:
        said += ", Treffer";
        break;
    case lotto::HitMark::Bonus:
        said += ", Zusatzzahl getroffen";
        break;
    }
    return said;
}

inline std::string spokenName(const ControlDefinition& control, std::string_view shownText, lotto::HitMark mark)
{
    return withMark(spokenName(control, shownText), mark);
}
