// The part of a form that runs its long task (TaskDefinition), where the
// platform offers one: what it shows (the progress, the table, a note), and
// whether the task runs. While it runs, the platform has the form's slices
// played between the screen's frames, each frame as many steps as it can
// spare time for while the page still paints and answers the player (the
// page: web/page.js); a slice that finishes the task, or raises, ends the
// run. What a step is, and what the part shows, is the form's affair. Where
// the platform declines, the part shows nothing and never runs.
#pragma once

#include "Backend.h"
#include "FormDefinition.h"

#include <optional>
#include <string_view>

class TTaskPart {
public:
    TTaskPart(const TaskDefinition* definition, Backend::TaskPart* native);

    bool Offered() const { return m_native != nullptr; }
    bool Running() const { return m_running; }

    // Slices of the task from the next frame on, until it is done or stopped.
    void Run();
    void Stop();

    // How far the task is (Backend::showTaskProgress), each frame.
    void ShowProgress(std::optional<double> share, std::string_view text);
    // A data cell of the table, row and column from 0.
    void ShowCell(int row, int column, std::string_view text);
    void ShowNote(std::string_view note);

private:
    const TaskDefinition* m_definition;
    Backend::TaskPart* m_native;
    bool m_running = false;
};
