// The controls a form is made of. A control only wraps its native counterpart,
// which the backend creates and its window owns; it keeps no text of its own.
// An edit keeps its mark and what the window says of its text, which both go
// whenever its text changes, be it by the program or by the player.
#pragma once

#include "Backend.h"
#include "FormDefinition.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

    // A mark of its form's (nullptr: none), shown and said until the text changes.
    const MarkDefinition* Mark() const { return m_mark; }
    void SetMark(const MarkDefinition* mark);

    // What the window says of the text (empty: nothing), said after the
    // name and the mark until the text changes (Backend::setDescription).
    const std::string& Description() const { return m_description; }
    void SetDescription(std::string_view description);

protected:
    void TextChanged() override;

private:
    const MarkDefinition* m_mark = nullptr;
    std::string m_description;
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

    // Each number as chosen or not, with its mark (indexed by number); and
    // the note by the grid (empty: none). Only what differs from the last
    // showing reaches the platform: the grid is shown after every key the
    // player types.
    void Show(std::span<const Backend::GridNumber> numbers, std::string_view note);

private:
    const TicketDefinition* m_definition;
    Backend::NumberGrid* m_native;
    std::optional<std::vector<Backend::GridNumber>> m_shown;  // none before the first showing
    std::string m_note;
};
