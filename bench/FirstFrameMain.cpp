// The program's entry for start-up measurement only: the same steps as the real
// entry, but the window closes itself as soon as its first frame has been
// painted, so that a runner can time the start and read the peak memory.
#include "Forms.h"
#include "Unit1.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class CloseAfterFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [] { Form1->Close(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

}  // namespace

int main()
{
    try {
        Application->Initialize();
        Application->CreateForm(Form1);
        CloseAfterFirstPaint closer;
        for (QWidget* widget : QApplication::topLevelWidgets())
            widget->installEventFilter(&closer);
        Application->Run();
    } catch (const Sysutils::Exception& error) {
        Application->ShowException(error);
        return 1;
    }
    return 0;
}
