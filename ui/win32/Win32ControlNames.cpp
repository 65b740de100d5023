// The control's name as a window property holding a global atom; see Win32ControlNames.h.
//
// Why this way: window properties and the global atom table belong to the
// system, not to the program's memory, so GetPropW and GlobalGetAtomNameW
// answer every process on the desktop, with nothing to inject and no COM. UI
// Automation's AutomationId of a Win32 control is its numeric control id; a
// name would have to go through the annotation service, which Wine, where this
// program's tests run, takes without effect. The property reads the same on
// every system and means nothing to a screen reader.
//
// A global atom is counted: the same name from several windows shares one
// entry, and each window gives its reference back when it goes. The main
// window lives as long as the program, so its references last until the
// desktop's session ends; a later start counts up the same entries and adds
// none. Atoms ignore case: where another program added a name first in other
// letters, that spelling is read back.
#include "Win32ControlNames.h"

#include "Win32Text.h"

namespace Backend {

namespace {

constexpr wchar_t controlNameProperty[] = L"ControlName";

}  // namespace

void keepControlName(HWND control, std::string_view name)
{
    if (name.empty())
        return;
    const ATOM atom = GlobalAddAtomW(toWide(name).c_str());
    if (atom && !SetPropW(control, controlNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom))))
        GlobalDeleteAtom(atom);
}

void forgetControlName(HWND control)
{
    if (HANDLE held = RemovePropW(control, controlNameProperty))
        GlobalDeleteAtom(static_cast<ATOM>(reinterpret_cast<UINT_PTR>(held)));
}

}  // namespace Backend
