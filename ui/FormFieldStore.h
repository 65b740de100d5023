// The commands' FieldStore over a form: each FieldId is the edit control of the
// same name. It reads and writes the controls directly and keeps no copy, and
// puts the commands' hit marks on them as the form's marks: a main number's
// with a solid frame, the bonus number's with a dashed one, each saying what
// the form's table says of it.
#pragma once

#include "FieldStore.h"
#include "Forms.h"
#include "Hits.h"

#include <array>

class FormFieldStore : public lotto::FieldStore {
public:
    explicit FormFieldStore(const TForm& form);

    std::string getText(lotto::FieldId field) const override;
    void setText(lotto::FieldId field, std::string_view text) override;

    // Each field's mark; HitMarks{} takes every mark away.
    void showMarks(const lotto::HitMarks& marks);
    // The marks the fields show now.
    lotto::HitMarks marks() const;

    // The form's mark that shows the game's (nullptr for HitMark::None).
    const MarkDefinition* shown(lotto::HitMark mark) const;

private:
    const TForm& m_form;
    std::array<TEdit*, lotto::fieldCount> m_edits{};
};
