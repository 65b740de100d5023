// What assistive technology announces for each control of a window, its name
// and what is said after it (its mark, its description, its heading), kept
// by the system's annotation service. The service is made through COM, which
// is started for it on the window's thread, and every name it was given is
// taken back before the controls go. A system without COM or the service
// still runs the program; its controls then keep the names that the system
// gives them.
// Which words a control gets is decided above the seam (SpokenName.h).
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

struct IAccPropServices;

namespace Backend {

struct Control;
struct Window;

class SpokenNames {
public:
    SpokenNames();
    ~SpokenNames();  // takes back what is still set, then lets go of the service and COM
    SpokenNames(const SpokenNames&) = delete;
    SpokenNames& operator=(const SpokenNames&) = delete;

    // From now on, what a screen reader says for the control.
    void set(HWND control, std::string_view name);

    // What a screen reader says after the control's name.
    void describe(HWND control, std::string_view description);

    // Takes back every name and description set; each control must still exist.
    void clear();

private:
    void annotate(HWND control, const GUID& property, std::string_view text);

    IAccPropServices* m_service = nullptr;  // null where the system offers no annotation
    bool m_comStarted = false;
    std::vector<HWND> m_annotated;
};

// Tells the window's names what is said after the control's name: its mark,
// the window's description, then its heading; called again when one changes.
void describe(Window& window, const Control& control);

}  // namespace Backend
