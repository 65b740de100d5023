#include "Forms.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace {

std::unique_ptr<TControl> makeControl(const ControlDefinition& definition, Backend::Control& native)
{
    switch (definition.kind) {
    case ControlKind::Label:
        return std::make_unique<TLabel>(definition, native);
    case ControlKind::Edit:
        return std::make_unique<TEdit>(definition, native);
    case ControlKind::Button:
        return std::make_unique<TButton>(definition, native);
    case ControlKind::CloseButton:
        return std::make_unique<TBitBtn>(definition, native);
    }
    throw Sysutils::Exception("Unbekannte Art von Steuerelement.");
}

}  // namespace

TForm::TForm(const FormDefinition& definition)
    : m_definition(definition),
      m_window(Backend::createWindow(definition)),
      m_grid(definition.ticket, nullptr),
      m_task(definition.task, nullptr)
{
    createControls();
    if (const TicketDefinition* ticket = definition.ticket)
        m_grid = TNumberGrid(ticket, Backend::offerNumberGrid(*m_window, *ticket, tapAction(ticket->onTap)));
    if (const TaskDefinition* task = definition.task)
        offerTaskPart(*task);
}

TForm::~TForm() = default;

void TForm::createControls()
{
    std::vector<Backend::Control*> natives;
    for (const ControlDefinition& definition : m_definition.controls) {
        Backend::Control& native =
            Backend::createControl(*m_window, definition, clickAction(definition), editAction(m_controls.size()));
        m_controls.push_back(makeControl(definition, native));
        natives.push_back(&native);
    }
    for (std::size_t k = 0; k < natives.size(); ++k) {
        const LabelFor& labelFor = m_definition.controls[k].labelFor;
        if (labelFor.control.empty())
            continue;
        const auto named = std::find_if(m_definition.controls.begin(), m_definition.controls.end(),
                                        [&](const ControlDefinition& c) { return c.name == labelFor.control; });
        if (named == m_definition.controls.end())
            throw Sysutils::Exception("Die Beschriftung \u201E" + std::string(m_definition.controls[k].caption)
                                      + "\u201C bezieht sich auf kein Steuerelement \u201E"
                                      + std::string(labelFor.control) + "\u201C.");
        Backend::relateLabel(*natives[k], *natives[named - m_definition.controls.begin()], labelFor.role);
    }
    std::vector<Backend::Control*> order;
    for (const std::size_t stop : tabStops(m_definition.controls))
        order.push_back(natives[stop]);
    Backend::setTabOrder(*m_window, order);
}

// A handler that failed has still changed what it changed before it raised.
void TForm::handleInput(const std::function<void()>& handler)
{
    Application->Dispatch(handler);
    Application->Dispatch([this] { InputHandled(); });
}

std::function<void()> TForm::clickAction(const ControlDefinition& control)
{
    if (control.kind == ControlKind::CloseButton)
        return [this] { Application->Dispatch([this] { Close(); }); };
    if (control.onClick) {
        const TNotifyEvent onClick = control.onClick;
        return [this, onClick] { handleInput([this, onClick] { (this->*onClick)(); }); };
    }
    return {};
}

std::function<void()> TForm::editAction(std::size_t index)
{
    if (m_definition.controls[index].kind != ControlKind::Edit)
        return {};
    return [this, index] { handleInput([this, index] { m_controls[index]->Edited(); }); };
}

std::function<void(int)> TForm::tapAction(TNumberEvent onTap)
{
    if (!onTap)
        return {};
    return [this, onTap](int number) { handleInput([this, onTap, number] { (this->*onTap)(number); }); };
}

// A start while the task runs, and a stop while it does not, are a press
// that the page had on its way already: nothing to do. The part stops
// before the form hears of a stop, and after a slice that finished the task
// or raised (and so counts as done).
void TForm::offerTaskPart(const TaskDefinition& task)
{
    auto start = [this, &task](int choice) {
        handleInput([this, &task, choice] {
            if (!m_task.Running() && task.onStart)
                (this->*task.onStart)(choice);
        });
    };
    auto stop = [this, &task] {
        handleInput([this, &task] {
            if (!m_task.Running())
                return;
            m_task.Stop();
            if (task.onStop)
                (this->*task.onStop)();
        });
    };
    auto slice = [this, &task](std::int64_t steps) {
        bool done = true;
        Application->Dispatch(
            [this, &task, steps, &done] { done = !m_task.Running() || !task.onSlice || (this->*task.onSlice)(steps); });
        if (done)
            m_task.Stop();
        return done;
    };
    m_task = TTaskPart(&task, Backend::offerTaskPart(*m_window, task, start, stop, slice));
}

void TForm::Show()
{
    Backend::showWindow(*m_window);
}

void TForm::Close()
{
    Backend::closeWindow(*m_window);
}

void TForm::Announce(std::string_view text)
{
    Backend::announce(*m_window, text);
}

bool TForm::Visible() const
{
    return Backend::isVisible(*m_window);
}

TControl& TForm::FindControl(std::string_view name) const
{
    for (const auto& control : m_controls) {
        if (control->Name() == name)
            return *control;
    }
    throw Sysutils::Exception("Das Fenster \u201E" + std::string(m_definition.name)
                              + "\u201C hat kein Steuerelement \u201E" + std::string(name) + "\u201C.");
}

const MarkDefinition& TForm::FindMark(MarkLook look) const
{
    for (const MarkDefinition& mark : m_definition.marks) {
        if (mark.look == look)
            return mark;
    }
    throw Sysutils::Exception("Das Fenster \u201E" + std::string(m_definition.name)
                              + "\u201C hat keine Markierung dieser Art.");
}

void TApplication::Initialize()
{
    Backend::start(Title());
}

void TApplication::adopt(std::unique_ptr<TForm> form)
{
    if (!m_mainForm)
        m_mainForm = form.get();
    m_forms.push_back(std::move(form));
}

void TApplication::Run()
{
    if (!m_mainForm)
        return;
    m_mainForm->Show();
    Backend::runUntilClosed(m_mainForm->Native());
}

void TApplication::ShowException(const std::exception& error)
{
    if (Backend::started()) {
        Backend::showMessage(Title(), error.what());
    } else {
        // Standard error is the last place to report to: a failed write has nowhere to go.
        (void)std::fprintf(stderr, "%s: %s\n", Title().c_str(), error.what());
        (void)std::fflush(stderr);
    }
}

void TApplication::HandleException() noexcept
{
    try {
        try {
            throw;
        } catch (const std::bad_alloc&) {
            ShowException(Sysutils::Exception("Nicht genug Arbeitsspeicher."));
        } catch (const std::exception& error) {
            ShowException(error);
        } catch (...) {
            ShowException(Sysutils::Exception("Unbekannter Fehler."));
        }
    } catch (...) {
        // Showing failed as well (no memory for the message box): say it where
        // nothing can fail any more.
        (void)std::fputs("Ein Fehler konnte nicht angezeigt werden.\n", stderr);
    }
}

void TApplication::Dispatch(const std::function<void()>& handler) noexcept
{
    try {
        handler();
    } catch (...) {
        HandleException();  // and the loop goes on
    }
}

std::string TApplication::Title() const
{
    std::string title = Backend::executableName();
    return title.empty() ? LOTTO_PROGRAM_NAME : title;
}

// Lives as long as the process and is never destroyed: its windows must not be
// torn down after main returns, when the native toolkit's own statics are gone.
TApplication* Application = new TApplication;
