// Which face a form is drawn in, so that its texts take the sizes it was
// designed with: each candidate face is measured against the form's own
// labels, tightened or shrunk as far as its fixed-size labels need to hold
// their whole texts, and the first that then comes within a tolerance of the
// designed sizes is the choice. The rule only decides: a backend offers the
// candidates in its order of preference and measures texts the way its screen
// draws them; loading faces and applying the choice are its own business.
#pragma once

#include "FormDefinition.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A face at a size: its family, its pixel height, and how far its letters are
// moved apart (above 0) or closer together (below 0), in pixels per letter.
struct FontChoice {
    std::string family;
    int pixelHeight = 0;
    double letterSpacing = 0;
    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

// A text's width and height as drawn, in the form's pixels.
struct TextExtent {
    double width = 0;
    double height = 0;
};

using MeasureText = std::function<TextExtent(const FontChoice& face, std::string_view text)>;

class FontFitting {
public:
    FontFitting(const FormDefinition& form, MeasureText measure);

    // Measures the family against the form; true when it comes within the
    // tolerance, which makes it the choice: nothing further need be tried.
    bool tryFamily(std::string_view family);

    // The first family tried that came within the tolerance; else the closest
    // of those that could hold the fixed-size labels' texts at all; else the
    // designed family at the designed size.
    FontChoice choice() const;

private:
    struct Label {
        std::string_view caption;
        std::size_t characters;
        Bounds bounds;
        bool sizesItself;
    };
    struct Measurement {
        double worstMiss = 0;     // the largest difference of a self-sizing label from its designed size
        double spacingToFit = 0;  // below 0: how much closer the letters must move for every fixed-size label to fit
    };
    struct Fit {
        FontChoice face;
        double worstMiss;
    };

    Measurement measure(const FontChoice& face) const;
    std::optional<Fit> fit(std::string_view family) const;

    const FormDefinition& m_form;
    MeasureText m_measure;
    std::vector<Label> m_labels;
    std::optional<Fit> m_chosen;
    std::optional<Fit> m_closest;
};
