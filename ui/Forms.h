// Forms and the application object: a form is built from its definition table,
// owns its controls (and its ticket's grid and the part that runs its long
// task, where the platform offers them), and routes every click, edit and
// tap by the player, and each slice of a running task, through the
// application's event dispatch, which shows whatever a handler throws and
// lets the loop go on.
#pragma once

#include "Backend.h"
#include "Controls.h"
#include "FormDefinition.h"
#include "Sysutils.h"
#include "TaskPart.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TForm {
public:
    explicit TForm(const FormDefinition& definition);
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    std::string_view Name() const { return m_definition.name; }

    void Show();
    void Close();
    bool Visible() const;

    // Has a screen reader say the text, without moving the focus or changing
    // anything on the screen.
    void Announce(std::string_view text);

    // The control of that name; raises Sysutils::Exception when there is none.
    TControl& FindControl(std::string_view name) const;

    // The form's mark of that look (its table's); raises Sysutils::Exception
    // when it has none.
    const MarkDefinition& FindMark(MarkLook look) const;

    // The named control as its kind, for binding a form's members.
    template <class Control>
    Control& Component(std::string_view name) const
    {
        auto* control = dynamic_cast<Control*>(&FindControl(name));
        if (!control)
            throw Sysutils::Exception("Das Steuerelement \u201E" + std::string(name) + "\u201C hat die falsche Art.");
        return *control;
    }

    Backend::Window& Native() { return *m_window; }

protected:
    // After each click, edit and tap of the player's, once its handler has
    // run, also where it raised: a form that keeps something in step with its
    // fields does so here. An edited control has heard of its edit first (an
    // edit's mark is gone).
    virtual void InputHandled() {}

    // The grid of the form's ticket, where the platform offers one.
    TNumberGrid& NumberGrid() { return m_grid; }

    // The part that runs the form's long task, where the platform offers one.
    TTaskPart& TaskPart() { return m_task; }

private:
    void createControls();
    void handleInput(const std::function<void()>& handler);
    std::function<void()> clickAction(const ControlDefinition& control);
    std::function<void()> editAction(std::size_t index);
    std::function<void(int)> tapAction(TNumberEvent onTap);
    void offerTaskPart(const TaskDefinition& task);

    const FormDefinition& m_definition;
    Backend::WindowPtr m_window;
    std::vector<std::unique_ptr<TControl>> m_controls;
    TNumberGrid m_grid;
    TTaskPart m_task;
};

class TApplication {
public:
    TApplication() = default;
    ~TApplication() = default;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Opens the display; without a usable one the program ends with exit code 1
    // and one line on standard error.
    void Initialize();

    // Builds the form from its definition and keeps it; the first one created
    // becomes the main window.
    template <class Form>
    void CreateForm(Form*& reference)
    {
        auto form = std::make_unique<Form>();
        reference = form.get();
        adopt(std::move(form));
    }

    // Shows the main window and delivers events until it has been closed.
    void Run();

    // Shows the message of a caught exception and returns: in a message box, or
    // on standard error where no display could be opened.
    void ShowException(const std::exception& error);

    // Shows the exception being handled, whatever it is; called only inside a
    // catch block. Any standard exception shows its message, and one without a
    // useful message (no memory, or no standard exception) a German sentence.
    // Never throws: where even showing fails, one line goes to standard error.
    void HandleException() noexcept;

    // Runs an event handler; whatever it throws is shown, never passed on.
    void Dispatch(const std::function<void()>& handler) noexcept;

    // The default title, for the task bar and every message: the name of the
    // program's file, or the program's own name where it runs from none.
    std::string Title() const;
    TForm* MainForm() const { return m_mainForm; }

private:
    void adopt(std::unique_ptr<TForm> form);

    std::vector<std::unique_ptr<TForm>> m_forms;
    TForm* m_mainForm = nullptr;
};

// The one application object.
extern TApplication* Application;
