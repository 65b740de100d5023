#include "TaskPart.h"

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;

// A slice shorter than this is not measured: a browser's clock may count in
// whole milliseconds. Until one is long enough, each slice takes eight times
// the steps of the one before.
constexpr std::chrono::milliseconds shortestMeasured{2};
constexpr std::int64_t probeGrowth = 8;
constexpr std::int64_t largestProbe = std::int64_t{1} << 40;

}  // namespace

TTaskPart::TTaskPart(const TaskDefinition* definition, Backend::TaskPart* native)
    : m_definition(definition), m_native(native)
{
}

void TTaskPart::Run()
{
    if (!m_native || m_running)
        return;
    m_running = true;
    m_stepsPerSecond = 0;
    m_probe = 1;
    Backend::runTask(*m_native, true);
}

void TTaskPart::Stop()
{
    if (!m_native || !m_running)
        return;
    m_running = false;
    Backend::runTask(*m_native, false);
}

bool TTaskPart::Frame(const Slice& slice)
{
    const Clock::time_point frameStart = Clock::now();
    for (;;) {
        const Clock::time_point start = Clock::now();
        const Clock::duration left = frameTime - (start - frameStart);
        std::int64_t steps = m_probe;
        if (m_stepsPerSecond > 0)
            steps = std::max<std::int64_t>(
                1, static_cast<std::int64_t>(m_stepsPerSecond * std::chrono::duration<double>(left).count()));
        if (slice(steps))
            return false;
        const Clock::time_point end = Clock::now();
        if (end - start >= shortestMeasured)
            m_stepsPerSecond = static_cast<double>(steps) / std::chrono::duration<double>(end - start).count();
        else if (m_stepsPerSecond == 0)
            m_probe = std::min(steps, largestProbe) * probeGrowth;
        if (end - frameStart >= frameTime)
            return true;
    }
}

void TTaskPart::ShowProgress(std::optional<double> share, std::string_view text)
{
    if (m_native)
        Backend::showTaskProgress(*m_native, share, text);
}

void TTaskPart::ShowCell(int row, int column, std::string_view text)
{
    if (!m_native || row < 0 || column < 0)
        return;
    // The first column holds the rows' headings, not the task's texts.
    const std::size_t columns = std::max<std::size_t>(m_definition->columns.size(), 1) - 1;
    const std::size_t rows = m_definition->rows.size();
    const auto at = static_cast<std::size_t>(row);
    const auto in = static_cast<std::size_t>(column);
    if (at >= rows || in >= columns)
        return;
    m_cells.resize(rows * columns);
    std::string& shown = m_cells[at * columns + in];
    if (shown == text)
        return;
    shown = text;
    Backend::showTaskCell(*m_native, row, column, text);
}

void TTaskPart::ShowNote(std::string_view note)
{
    if (m_native)
        Backend::showTaskNote(*m_native, note);
}
