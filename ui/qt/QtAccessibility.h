// What the Qt backend tells assistive technology beyond what Qt's widgets say
// by themselves: a form is a window with a voice of its own for announcements,
// an edit's text is read whole, and a control that gets the focus back after
// a message is said again.
// Which words are said is decided above the backend; this only says them.
#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace Backend {

// Teaches Qt the accessible faces of forms and edits; called before the first form is made.
void describeForms();

// A form's voice: an object of the notification role that assistive
// technology sees as the form's last child, and that no one sees on the
// screen. Each announcement shows it anew with the text as its name, which
// screen readers (Orca) speak at once without moving the focus.
class Announcer : public QObject {
public:
    explicit Announcer(QWidget& form);

    void say(const QString& text);
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// Tells assistive technology that the widget has the focus, also where it had
// it before: after a modal message a screen reader may have heard the window
// come back but not where its focus is.
void reportFocus(QWidget& widget);

}  // namespace Backend
