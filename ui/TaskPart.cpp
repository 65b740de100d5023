#include "TaskPart.h"

TTaskPart::TTaskPart(const TaskDefinition* definition, Backend::TaskPart* native)
    : m_definition(definition), m_native(native)
{
}

void TTaskPart::Run()
{
    if (!m_native || m_running)
        return;
    m_running = true;
    Backend::runTask(*m_native, true);
}

void TTaskPart::Stop()
{
    if (!m_native || !m_running)
        return;
    m_running = false;
    Backend::runTask(*m_native, false);
}

void TTaskPart::ShowProgress(std::optional<double> share, std::string_view text)
{
    if (m_native)
        Backend::showTaskProgress(*m_native, share, text);
}

void TTaskPart::ShowCell(int row, int column, std::string_view text)
{
    // The first column holds the rows' headings, not the task's texts.
    if (m_native && row >= 0 && column >= 0 && static_cast<std::size_t>(row) < m_definition->rows.size()
        && static_cast<std::size_t>(column) + 1 < m_definition->columns.size())
        Backend::showTaskCell(*m_native, row, column, text);
}

void TTaskPart::ShowNote(std::string_view note)
{
    if (m_native)
        Backend::showTaskNote(*m_native, note);
}
