#include "FontFitting.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// How far a self-sizing label may miss its designed size, and how much room a
// fixed-size label keeps after its text, in the form's pixels.
constexpr double designedSizeTolerance = 2;
constexpr double fixedLabelMargin = 2;

// How far a face may be tightened or shrunk to fit: letters may move closer by
// a quarter pixel each, and the size may shrink to four fifths; beyond that the
// text no longer passes for the designed one. Sizes are whole pixels, which
// every backend renders.
constexpr double tightestSpacing = -0.25;
constexpr double smallestShare = 0.8;

// Letters as a reader counts them: UTF-8 bytes that start a character.
std::size_t characterCount(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }));
}

}  // namespace

FontFitting::FontFitting(const FormDefinition& form, MeasureText measure) : m_form(form), m_measure(std::move(measure))
{
    for (const ControlDefinition& control : form.controls) {
        if (control.kind == ControlKind::Label && !control.caption.empty())
            m_labels.push_back(
                {control.caption, characterCount(control.caption), control.bounds, control.autoSize == AutoSize::Yes});
    }
}

FontFitting::Measurement FontFitting::measure(const FontChoice& face) const
{
    Measurement result;
    for (const Label& label : m_labels) {
        const TextExtent extent = m_measure(face, label.caption);
        const double width = std::ceil(extent.width);
        if (label.sizesItself) {
            result.worstMiss = std::max({result.worstMiss, std::abs(width - label.bounds.width),
                                         std::abs(std::ceil(extent.height) - label.bounds.height)});
        } else {
            const double room = label.bounds.width - fixedLabelMargin - width;
            result.spacingToFit = std::min(result.spacingToFit, room / static_cast<double>(label.characters));
        }
    }
    return result;
}

// The face at the designed size, or tightened and then smaller as far as every
// fixed-size label needs to hold its whole text; nothing where that is too far.
std::optional<FontFitting::Fit> FontFitting::fit(std::string_view family) const
{
    const int designed = m_form.font.pixelHeight;
    for (int pixels = designed; pixels >= designed * smallestShare; --pixels) {
        FontChoice face{std::string(family), pixels, 0};
        Measurement measured = measure(face);
        if (measured.spacingToFit < 0 && measured.spacingToFit >= tightestSpacing) {
            // Whole hundredths, rounded towards tighter, so the text surely fits.
            face.letterSpacing = std::floor(measured.spacingToFit * 100) / 100;
            measured = measure(face);
        }
        if (measured.spacingToFit >= 0)
            return Fit{std::move(face), measured.worstMiss};
    }
    return std::nullopt;
}

bool FontFitting::tryFamily(std::string_view family)
{
    if (m_chosen)
        return true;
    std::optional<Fit> fitted = fit(family);
    if (!fitted)
        return false;
    if (fitted->worstMiss <= designedSizeTolerance) {
        m_chosen = std::move(fitted);
        return true;
    }
    if (!m_closest || fitted->worstMiss < m_closest->worstMiss)
        m_closest = std::move(fitted);
    return false;
}

FontChoice FontFitting::choice() const
{
    if (m_chosen)
        return m_chosen->face;
    if (m_closest)
        return m_closest->face;
    return {std::string(m_form.font.family), m_form.font.pixelHeight, 0};
}
