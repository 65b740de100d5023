#include "Controls.h"

#include "Backend.h"

TControl::TControl(const ControlDefinition& definition, Backend::Control& native)
    : m_definition(definition), m_native(native)
{
}

std::string TControl::GetText() const
{
    return Backend::getText(m_native);
}

void TControl::SetText(std::string_view text)
{
    Backend::setText(m_native, text);
}
