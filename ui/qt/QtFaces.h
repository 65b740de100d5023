// The faces Qt draws a form in: loads the program's own face files, measures
// texts the way Qt draws them, and offers the installed faces to the fitting
// rule (FontFitting.h), which chooses. Knows nothing of controls.
#pragma once

#include "FormDefinition.h"

#include <QFont>

namespace Backend {

// deviceRatio: device pixels per form pixel on the screen the form opens on.
QFont formFont(const FormDefinition& definition, qreal deviceRatio);

}  // namespace Backend
