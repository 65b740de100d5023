// The commands' FieldStore over a form: each FieldId is the edit control of the
// same name. It reads and writes the controls directly and keeps no copy, and
// puts the commands' hit marks on them.
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

private:
    std::array<TEdit*, lotto::fieldCount> m_edits{};
};
