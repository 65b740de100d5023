#include "FormFieldStore.h"

namespace {

constexpr MarkLook lookOf(lotto::HitMark mark)
{
    switch (mark) {
    case lotto::HitMark::None:
        break;
    case lotto::HitMark::Main:
        return MarkLook::Solid;
    case lotto::HitMark::Bonus:
        return MarkLook::Dashed;
    }
    return MarkLook::None;
}

lotto::HitMark hitMarkOf(const MarkDefinition* mark)
{
    for (const lotto::HitMark hit : {lotto::HitMark::Main, lotto::HitMark::Bonus}) {
        if (mark && mark->look == lookOf(hit))
            return hit;
    }
    return lotto::HitMark::None;
}

}  // namespace

FormFieldStore::FormFieldStore(const TForm& form) : m_form(form)
{
    for (lotto::FieldId field : lotto::allFields)
        m_edits[static_cast<std::size_t>(field)] = &form.Component<TEdit>(lotto::fieldName(field));
}

std::string FormFieldStore::getText(lotto::FieldId field) const
{
    return m_edits[static_cast<std::size_t>(field)]->GetText();
}

void FormFieldStore::setText(lotto::FieldId field, std::string_view text)
{
    m_edits[static_cast<std::size_t>(field)]->SetText(text);
}

const MarkDefinition* FormFieldStore::shown(lotto::HitMark mark) const
{
    const MarkLook look = lookOf(mark);
    return look == MarkLook::None ? nullptr : &m_form.FindMark(look);
}

void FormFieldStore::showMarks(const lotto::HitMarks& marks)
{
    for (lotto::FieldId field : lotto::allFields)
        m_edits[static_cast<std::size_t>(field)]->SetMark(shown(lotto::markOf(marks, field)));
}

lotto::HitMarks FormFieldStore::marks() const
{
    lotto::HitMarks marks{};
    for (lotto::FieldId field : lotto::allFields)
        marks[static_cast<std::size_t>(field)] = hitMarkOf(m_edits[static_cast<std::size_t>(field)]->Mark());
    return marks;
}
