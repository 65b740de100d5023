// The part of a form that runs its long task (TaskDefinition), where the
// platform offers one: what it shows (the progress, the table, a note) and
// the run itself, in slices between the screen's frames. Each frame takes as
// many of the form's steps as fill the time a frame can spare while the page
// still paints and answers the player, from the rate measured in the run, so
// that the task goes as fast as the machine allows and the stop button is
// heard at once. What a step is, and what the part shows, is the form's
// affair. Where the platform declines, the part shows nothing and never runs.
#pragma once

#include "Backend.h"
#include "FormDefinition.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TTaskPart {
public:
    // A call for so many steps of the task; true once it is done.
    using Slice = std::function<bool(std::int64_t steps)>;

    // The time that a frame gives the task. The browser paints after it, and
    // hears a press, so that a frame comes about 30 times a second.
    static constexpr std::chrono::milliseconds frameTime{25};

    TTaskPart(const TaskDefinition* definition, Backend::TaskPart* native);

    bool Offered() const { return m_native != nullptr; }
    bool Running() const { return m_running; }

    // Slices of the task from the next frame on, until it is done or
    // stopped; its rate is measured anew.
    void Run();
    void Stop();

    // One frame's slices; false once the task is done.
    bool Frame(const Slice& slice);

    // Only what differs from what is shown reaches the platform.
    void ShowProgress(std::optional<double> share, std::string_view text);
    void ShowCell(int row, int column, std::string_view text);
    void ShowNote(std::string_view note);

private:
    const TaskDefinition* m_definition;
    Backend::TaskPart* m_native;
    bool m_running = false;
    double m_stepsPerSecond = 0;       // measured in this run; 0 until a slice took measurable time
    std::int64_t m_probe = 1;          // the steps of the next slice until then
    std::vector<std::string> m_cells;  // as shown, row by row: empty, as the page has them, until shown
};
