// What assistive technology announces for each control of a window, kept by
// the system's annotation service: the service is made through COM, which is
// started for it on the window's thread, and every name it was given is taken
// back before the controls go. A system without COM or the service still runs
// the program; its controls then keep the names that the system gives them.
// Which name a control gets is decided above the seam (SpokenName.h).
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

struct IAccPropServices;

namespace Backend {

class SpokenNames {
public:
    SpokenNames();
    ~SpokenNames();  // takes back what is still set, then lets go of the service and COM
    SpokenNames(const SpokenNames&) = delete;
    SpokenNames& operator=(const SpokenNames&) = delete;

    // From now on, what a screen reader says for the control.
    void set(HWND control, std::string_view name);

    // Takes back every name set; each control must still exist.
    void clear();

private:
    IAccPropServices* m_service = nullptr;  // null where the system offers no annotation
    bool m_comStarted = false;
    std::vector<HWND> m_named;
};

}  // namespace Backend
