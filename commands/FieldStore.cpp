#include "FieldStore.h"

namespace lotto {

std::string_view fieldName(FieldId field)
{
    static constexpr std::array<std::string_view, fieldCount> names = {
        "Tipp1", "Tipp2", "Tipp3", "Tipp4", "Tipp5",      "Tipp6",      "Zahl1",       "Zahl2",       "Zahl3",
        "Zahl4", "Zahl5", "Zahl6", "Zahl7", "EditGewinn", "EditZusatz", "EditBereich", "EditDoppelt",
    };
    return names[static_cast<std::size_t>(field)];
}

}  // namespace lotto
