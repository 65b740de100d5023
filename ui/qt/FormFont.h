// Chooses the font a form is drawn in, so that its texts take the sizes the
// form was designed with: the designed face where it is installed and the
// screen shows one device pixel per pixel; otherwise the installed scalable
// face that comes closest, measured against the form's own labels and sized
// so that no fixed-size label clips its text. Knows nothing of controls.
#pragma once

#include "FormDefinition.h"

#include <QFont>

namespace Backend {

// How far a self-sizing label may miss its designed size, and how much room a
// fixed-size label keeps after its text, in the form's pixels.
constexpr qreal designedSizeTolerance = 2;
constexpr qreal fixedLabelMargin = 2;

// deviceRatio: device pixels per form pixel on the screen the form opens on.
QFont formFont(const FormDefinition& definition, qreal deviceRatio);

}  // namespace Backend
