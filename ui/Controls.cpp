#include "Controls.h"

#include "Backend.h"
#include "SpokenName.h"

#include <algorithm>

TControl::TControl(const ControlDefinition& definition, Backend::Control& native)
    : m_definition(definition), m_native(native)
{
    Backend::setSpokenName(m_native, spokenName(m_definition, m_definition.caption));
}

std::string TControl::GetText() const
{
    return Backend::getText(m_native);
}

void TControl::SetText(std::string_view text)
{
    const bool changed = text != GetText();
    Backend::setText(m_native, text);
    if (nameFollowsText(m_definition))
        Backend::setSpokenName(m_native, spokenName(m_definition, text));
    if (changed)
        TextChanged();
}

void TEdit::SetMark(const MarkDefinition* mark)
{
    if (mark == m_mark)
        return;
    m_mark = mark;
    Backend::setMark(Native(), mark);
}

void TEdit::SetDescription(std::string_view description)
{
    if (description == m_description)
        return;
    m_description = description;
    Backend::setDescription(Native(), description);
}

void TEdit::TextChanged()
{
    SetMark(nullptr);
    SetDescription({});
}

TNumberGrid::TNumberGrid(const TicketDefinition* definition, Backend::NumberGrid* native)
    : m_definition(definition), m_native(native)
{
}

void TNumberGrid::Show(std::span<const Backend::GridNumber> numbers, std::string_view note)
{
    if (!m_native)
        return;
    const int highest = std::min(m_definition->highest, static_cast<int>(numbers.size()) - 1);
    for (int number = std::max(m_definition->lowest, 0); number <= highest; ++number) {
        const auto index = static_cast<std::size_t>(number);
        const Backend::GridNumber& shown = numbers[index];
        if (!m_shown || index >= m_shown->size() || (*m_shown)[index] != shown)
            Backend::showNumber(*m_native, number, shown);
    }
    if (!m_shown || note != m_note)
        Backend::showGridNote(*m_native, note);
    m_shown.emplace(numbers.begin(), numbers.end());
    m_note = note;
}
