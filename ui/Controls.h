// The controls a form is made of. A control only wraps its native counterpart,
// which the backend creates and its window owns; it keeps no text of its own.
#pragma once

#include "FormDefinition.h"

#include <string>
#include <string_view>

namespace Backend {
struct Control;
}

class TControl {
public:
    TControl(const ControlDefinition& definition, Backend::Control& native);
    virtual ~TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    std::string_view Name() const { return m_definition.name; }

    // The text the control shows (UTF-8), and replacing it at once.
    std::string GetText() const;
    void SetText(std::string_view text);

private:
    const ControlDefinition& m_definition;
    Backend::Control& m_native;
};

class TLabel : public TControl {
    using TControl::TControl;
};

class TEdit : public TControl {
    using TControl::TControl;
};

class TButton : public TControl {
    using TControl::TControl;
};

// A button of the close kind: a click closes the window it sits on.
class TBitBtn : public TButton {
    using TButton::TButton;
};
