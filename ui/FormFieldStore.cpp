#include "FormFieldStore.h"

FormFieldStore::FormFieldStore(const TForm& form)
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

void FormFieldStore::showMarks(const lotto::HitMarks& marks)
{
    for (lotto::FieldId field : lotto::allFields)
        m_edits[static_cast<std::size_t>(field)]->SetMark(lotto::markOf(marks, field));
}

lotto::HitMarks FormFieldStore::marks() const
{
    lotto::HitMarks marks{};
    for (lotto::FieldId field : lotto::allFields)
        marks[static_cast<std::size_t>(field)] = m_edits[static_cast<std::size_t>(field)]->Mark();
    return marks;
}
