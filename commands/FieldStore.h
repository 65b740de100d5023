// The commands' view of the main window: its seventeen text fields by name.
// The window provides one over its edit controls; tests use one in memory.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace lotto {

enum class FieldId {
    Tipp1,
    Tipp2,
    Tipp3,
    Tipp4,
    Tipp5,
    Tipp6,
    Zahl1,
    Zahl2,
    Zahl3,
    Zahl4,
    Zahl5,
    Zahl6,
    Zahl7,
    EditGewinn,   // match count
    EditZusatz,   // bonus hit
    EditBereich,  // range error
    EditDoppelt,  // duplicate error
};

constexpr int fieldCount = 17;

constexpr std::array<FieldId, fieldCount> allFields = {
    FieldId::Tipp1,       FieldId::Tipp2,       FieldId::Tipp3, FieldId::Tipp4,      FieldId::Tipp5,
    FieldId::Tipp6,       FieldId::Zahl1,       FieldId::Zahl2, FieldId::Zahl3,      FieldId::Zahl4,
    FieldId::Zahl5,       FieldId::Zahl6,       FieldId::Zahl7, FieldId::EditGewinn, FieldId::EditZusatz,
    FieldId::EditBereich, FieldId::EditDoppelt,
};

// The name of the window's edit control that holds the field.
std::string_view fieldName(FieldId field);

// Tipp1 + index, for index 0..5.
constexpr FieldId ticketField(int index)
{
    return static_cast<FieldId>(static_cast<int>(FieldId::Tipp1) + index);
}

// Zahl1 + index, for index 0..6 (Zahl7 holds the bonus number).
constexpr FieldId drawField(int index)
{
    return static_cast<FieldId>(static_cast<int>(FieldId::Zahl1) + index);
}

class FieldStore {
public:
    virtual ~FieldStore() = default;
    virtual std::string getText(FieldId field) const = 0;
    virtual void setText(FieldId field, std::string_view text) = 0;
};

}  // namespace lotto
