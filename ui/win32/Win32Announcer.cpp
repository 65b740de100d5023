// The backend's announce on Windows: UI Automation's notification event, which
// Narrator and NVDA speak without moving the focus (Windows 10 1709 on). Its
// functions are looked up at run time, so that the program still starts on an
// older Windows, where nothing is said. Wine 8 does not offer them either.
#include "Backend.h"
#include "Win32Text.h"
#include "Win32Window.h"

#include <oleauto.h>
#include <unknwn.h>

namespace Backend {

namespace {

// UI Automation's values for a notification (UIAutomationCore.h of Windows 10 1709).
enum class NotificationKind : int { ActionCompleted = 2 };
enum class NotificationProcessing : int { MostRecent = 3 };  // after what is being said; a newer one replaces it

// The providers are IRawElementProviderSimple, an IUnknown as far as this file goes.
using HostProviderFromHwnd = HRESULT(WINAPI*)(HWND, IUnknown**);
using RaiseNotificationEvent = HRESULT(WINAPI*)(IUnknown*, NotificationKind, NotificationProcessing, BSTR, BSTR);

struct Notifications {
    HostProviderFromHwnd hostProvider = nullptr;
    RaiseNotificationEvent raise = nullptr;
};

const Notifications& notifications()
{
    static const Notifications found = [] {
        Notifications api;
        // From the system folder only: a DLL of that name beside the program is not loaded.
        if (HMODULE automation = LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
            api.hostProvider = reinterpret_cast<HostProviderFromHwnd>(
                reinterpret_cast<void*>(GetProcAddress(automation, "UiaHostProviderFromHwnd")));
            api.raise = reinterpret_cast<RaiseNotificationEvent>(
                reinterpret_cast<void*>(GetProcAddress(automation, "UiaRaiseNotificationEvent")));
        }
        return api;
    }();
    return found;
}

}  // namespace

void announce(Window& window, std::string_view text)
{
    const Notifications& api = notifications();
    if (text.empty() || !api.hostProvider || !api.raise)
        return;
    IUnknown* provider = nullptr;
    if (FAILED(api.hostProvider(window.handle, &provider)) || !provider)
        return;
    BSTR said = SysAllocString(toWide(text).c_str());
    BSTR activity = SysAllocString(L"lotto.result");
    if (said && activity)
        api.raise(provider, NotificationKind::ActionCompleted, NotificationProcessing::MostRecent, said, activity);
    SysFreeString(said);
    SysFreeString(activity);
    provider->Release();
}

}  // namespace Backend
