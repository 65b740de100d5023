// In-memory field stores for driving the commands without a window: a plain
// table, and one that also records every write in order.
#pragma once

#include "FieldStore.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace lotto::testing {

class MemoryFieldStore : public FieldStore {
public:
    std::string getText(FieldId field) const override { return m_texts[index(field)]; }
    void setText(FieldId field, std::string_view text) override { m_texts[index(field)].assign(text); }

    const std::string& operator[](FieldId field) const { return m_texts[index(field)]; }

private:
    static std::size_t index(FieldId field) { return static_cast<std::size_t>(field); }
    std::array<std::string, fieldCount> m_texts;
};

class RecordingFieldStore : public MemoryFieldStore {
public:
    struct Write {
        FieldId field;
        std::string text;
        friend bool operator==(const Write&, const Write&) = default;
    };

    void setText(FieldId field, std::string_view text) override
    {
        m_writes.push_back({field, std::string(text)});
        MemoryFieldStore::setText(field, text);
    }

    const std::vector<Write>& writes() const { return m_writes; }
    std::vector<FieldId> writtenFields() const
    {
        std::vector<FieldId> fields;
        for (const Write& write : m_writes)
            fields.push_back(write.field);
        return fields;
    }
    void forgetWrites() { m_writes.clear(); }

private:
    std::vector<Write> m_writes;
};

}  // namespace lotto::testing
