#include "PageFaces.h"

#include <emscripten.h>

namespace {

// The scalable face as lotto.css names it, and the browser's own, which needs no loading.
constexpr std::string_view scalableFamily = "Tahoma";
constexpr std::string_view browserFamily = "sans-serif";

using Text = const char*;

}  // namespace

// Implemented in faces.js and layout.js (lotto_pixelForPixel, lotto_touchLayout).
extern "C" {
void lotto_measureText(Text family,
                       std::size_t familyLength,
                       int pixels,
                       double spacing,
                       Text text,
                       std::size_t textLength,
                       double* extent);
void lotto_loadFace(int form,
                    Text family,
                    std::size_t familyLength,
                    int pixels,
                    Backend::PageFaces* target,
                    int generation);
void lotto_applyFace(int form, Text family, std::size_t familyLength, int pixels, double spacing);
int lotto_pixelForPixel();
int lotto_touchLayout(int form);
}

namespace Backend {
namespace {

TextExtent measureOnPage(const FontChoice& face, std::string_view text)
{
    double extent[2] = {0, 0};
    lotto_measureText(face.family.data(), face.family.size(), face.pixelHeight, face.letterSpacing, text.data(),
                      text.size(), extent);
    return {extent[0], extent[1]};
}

}  // namespace

PageFaces::PageFaces(int form, const FormDefinition& definition) : m_form(form), m_definition(definition) {}

void PageFaces::choose()
{
    ++m_generation;
    if (lotto_touchLayout(m_form) != 0) {
        m_pixelForPixel.reset();
        return;
    }
    m_pixelForPixel = lotto_pixelForPixel() != 0;
    m_count = 0;
    if (*m_pixelForPixel)
        m_candidates[m_count++] = m_definition.font.family;
    m_candidates[m_count++] = scalableFamily;
    m_next = 0;
    m_fitting.emplace(m_definition, measureOnPage);
    tryNext();
}

void PageFaces::screenChanged()
{
    if (!m_pixelForPixel ? lotto_touchLayout(m_form) == 0 : *m_pixelForPixel != (lotto_pixelForPixel() != 0))
        choose();
}

void PageFaces::tryNext()
{
    if (m_next < m_count) {
        const std::string_view family = m_candidates[m_next];
        lotto_loadFace(m_form, family.data(), family.size(), m_definition.font.pixelHeight, this, m_generation);
        return;
    }
    m_fitting->tryFamily(browserFamily);
    apply();
}

void PageFaces::faceLoaded(int generation, bool loaded)
{
    if (generation != m_generation || m_next >= m_count)
        return;
    const std::string_view family = m_candidates[m_next++];
    if (loaded && m_fitting->tryFamily(family))
        apply();
    else
        tryNext();
}

void PageFaces::apply()
{
    const FontChoice face = m_fitting->choice();
    lotto_applyFace(m_form, face.family.data(), face.family.size(), face.pixelHeight, face.letterSpacing);
}

}  // namespace Backend

// From faces.js. Nothing may escape into the page.
extern "C" EMSCRIPTEN_KEEPALIVE void lotto_faceLoaded(Backend::PageFaces* faces, int generation, int loaded) noexcept
{
    faces->faceLoaded(generation, loaded != 0);
}
