// The desktop backends' answer to a form's long task: no part for it. Their
// window keeps its designed layout, which has no room for one.
#include "Backend.h"

namespace Backend {

// The seam takes the actions by value for the backends that keep them; none is kept here.
// NOLINTBEGIN(performance-unnecessary-value-param)
TaskPart* offerTaskPart(Window&,
                        const TaskDefinition&,
                        std::function<void(int)>,
                        std::function<void()>,
                        std::function<bool(std::int64_t)>)
// NOLINTEND(performance-unnecessary-value-param)
{
    return nullptr;
}

// Never reached: no part is ever offered here.
void runTask(TaskPart&, bool) {}
void showTaskProgress(TaskPart&, std::optional<double>, std::string_view) {}
void showTaskCell(TaskPart&, int, int, std::string_view) {}
void showTaskNote(TaskPart&, std::string_view) {}

}  // namespace Backend
