// Spoken names, descriptions and headings through the annotation service:
// the backend's setSpokenName, setDescription and relateLabel; see
// Win32SpokenNames.h.
#include "Win32SpokenNames.h"

#include "SpokenName.h"
#include "Win32Text.h"
#include "Win32Window.h"

#include <objbase.h>
#include <oleacc.h>

#include <algorithm>
#include <iterator>

namespace Backend {

namespace {

// The annotation service (CAccPropServices), its interface and the name and
// description properties. The service is made through COM, so the program does not import
// oleacc.dll and starts without it; the ids are spelled out here because the
// import library that has them brings every other id of the system along.
constexpr CLSID accPropServicesClass = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID accPropServicesInterface = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID accNameProperty = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr MSAAPROPID accDescriptionProperty = {0x4d48dfe4,
                                               0xbd3f,
                                               0x491f,
                                               {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};
constexpr MSAAPROPID annotatedProperties[] = {accNameProperty, accDescriptionProperty};

}  // namespace

SpokenNames::SpokenNames()
{
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_comStarted = SUCCEEDED(started);  // also S_FALSE: every success is paired with CoUninitialize
    if (FAILED(started) && started != RPC_E_CHANGED_MODE)
        return;
    void* service = nullptr;
    if (SUCCEEDED(
            CoCreateInstance(accPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, accPropServicesInterface, &service)))
        m_service = static_cast<IAccPropServices*>(service);
}

SpokenNames::~SpokenNames()
{
    clear();
    if (m_service)
        m_service->Release();
    if (m_comStarted)
        CoUninitialize();
}

void SpokenNames::set(HWND control, std::string_view name)
{
    annotate(control, accNameProperty, name);
}

void SpokenNames::describe(HWND control, std::string_view description)
{
    annotate(control, accDescriptionProperty, description);
}

void SpokenNames::annotate(HWND control, const GUID& property, std::string_view text)
{
    if (!m_service
        || FAILED(m_service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property,
                                            toWide(text).c_str())))
        return;
    if (std::find(m_annotated.begin(), m_annotated.end(), control) == m_annotated.end())
        m_annotated.push_back(control);
}

void SpokenNames::clear()
{
    for (HWND control : m_annotated)
        m_service->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, annotatedProperties,
                                  static_cast<int>(std::size(annotatedProperties)));
    m_annotated.clear();
}

void setSpokenName(Control& control, std::string_view name)
{
    if (Window* window = windowOf(GetParent(control.handle)))
        window->spokenNames.set(control.handle, name);
}

void describe(Window& window, const Control& control)
{
    window.spokenNames.describe(control.handle, spokenDescription(control.mark ? control.mark->said : "",
                                                                  control.description, control.heading));
}

void setDescription(Control& control, std::string_view text)
{
    control.description = text;
    if (Window* window = windowOf(GetParent(control.handle)))
        describe(*window, control);
}

// A label that is its control's own name adds nothing: the control carries
// that name already, and Windows' own relation (an unnamed edit taking the
// name of the static before it in z-order) does not apply to a named one. A
// heading becomes the control's description, which screen readers say after
// its name (and its mark).
void relateLabel(Control& label, Control& target, LabelRole role)
{
    Window* window = windowOf(GetParent(target.handle));
    if (!window || role != LabelRole::Heading)
        return;
    target.heading = getText(label);
    describe(*window, target);
}

}  // namespace Backend
