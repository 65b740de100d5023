// The face a form is drawn in on the page, chosen by the fitting rule
// (FontFitting.h) in the program's order of preference: the designed pixel
// face where the form shows pixel for pixel, then the scalable face, then the
// browser's own sans serif. faces.js loads each face only when it is tried,
// which takes a while, measures and applies; this class keeps the choice
// going across those answers and chooses anew when the screen changes. The
// touch layout draws in the system's face: while it shows, nothing is loaded.
#pragma once

#include "FontFitting.h"
#include "FormDefinition.h"

#include <array>
#include <optional>
#include <string_view>

namespace Backend {

class PageFaces {
public:
    PageFaces(int form, const FormDefinition& definition);

    // Starts choosing; the form appears, or changes face, once the choice is made.
    void choose();

    // The form was laid out again: chooses where the designed layout shows
    // for the first time, and anew where it started or stopped showing pixel
    // for pixel.
    void screenChanged();

    // faces.js's answer to a load: whether the face came.
    void faceLoaded(int generation, bool loaded);

private:
    void tryNext();
    void apply();

    int m_form;
    const FormDefinition& m_definition;
    int m_generation = 0;                          // answers to an earlier choice are ignored
    std::optional<bool> m_pixelForPixel;           // as the current choice was started; none before the first
    std::array<std::string_view, 2> m_candidates;  // the faces to load and try, in order
    std::size_t m_count = 0;
    std::size_t m_next = 0;
    std::optional<FontFitting> m_fitting;
};

}  // namespace Backend
