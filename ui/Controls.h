// The controls a form is made of. A control only wraps its native counterpart,
// which the backend creates and its window owns; it keeps no text of its own.
// An edit keeps its mark, which goes whenever its text changes, be it by the
// program or by the player.
#pragma once

#include "FormDefinition.h"
#include "Hits.h"
#include "NumberGrid.h"

#include <optional>
#include <string>
#include <string_view>

namespace Backend {
struct Control;
struct NumberGrid;
}  // namespace Backend

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

    // The backend's report that the player changed the text.
    void Edited() { TextChanged(); }

protected:
    // The text is not what it was.
    virtual void TextChanged() {}

    const ControlDefinition& Definition() const { return m_definition; }
    Backend::Control& Native() const { return m_native; }

private:
    const ControlDefinition& m_definition;
    Backend::Control& m_native;
};

class TLabel : public TControl {
    using TControl::TControl;
};

class TEdit : public TControl {
public:
    using TControl::TControl;

    // The mark of a number that hit, shown and said until the text changes.
    lotto::HitMark Mark() const { return m_mark; }
    void SetMark(lotto::HitMark mark);

protected:
    void TextChanged() override { SetMark(lotto::HitMark::None); }

private:
    lotto::HitMark m_mark = lotto::HitMark::None;
};

class TButton : public TControl {
    using TControl::TControl;
};

// A button of the close kind: a click closes the window it sits on.
class TBitBtn : public TButton {
    using TButton::TButton;
};

// The grid of numbers that a platform may offer for the form's ticket
// (TicketDefinition). Where the platform declines, there is no grid: it shows
// nothing and is never tapped.
class TNumberGrid {
public:
    TNumberGrid(const TicketDefinition* definition, Backend::NumberGrid* native);

    bool Offered() const { return m_native != nullptr; }

    // Each number as chosen or not, with its mark; and the note by the grid
    // (empty: none). Only what differs from the last showing reaches the
    // platform: the grid is shown after every key the player types.
    void Show(const lotto::NumberGridState& numbers, std::string_view note);

private:
    const TicketDefinition* m_definition;
    Backend::NumberGrid* m_native;
    std::optional<lotto::NumberGridState> m_shown;  // none before the first showing
    std::string m_note;
};
