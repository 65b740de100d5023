#include "Controls.h"

#include "Backend.h"
#include "SpokenName.h"

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

void TEdit::SetMark(lotto::HitMark mark)
{
    if (mark == m_mark)
        return;
    m_mark = mark;
    Backend::setMark(Native(), mark);
    Backend::setSpokenName(Native(), spokenName(Definition(), Definition().caption, mark));
}
