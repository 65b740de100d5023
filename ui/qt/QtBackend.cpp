// The toolkit layer's backend over Qt 6 Widgets. The only file that sees Qt.
#include "Backend.h"
#include "Sysutils.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace Backend {

struct Control {
    QWidget* widget = nullptr;          // owned by the window
    QLineEdit* edit = nullptr;          // for edits
    QAbstractButton* button = nullptr;  // for buttons
    QLabel* label = nullptr;            // for labels
};

struct Window : QWidget {
    explicit Window(const FormDefinition& definition) : m_definition(definition) {}

    void closeEvent(QCloseEvent* event) override
    {
        QWidget::closeEvent(event);
        if (event->isAccepted() && m_loop)
            m_loop->quit();
    }

    const FormDefinition& m_definition;
    std::vector<std::unique_ptr<Control>> m_controls;
    QEventLoop* m_loop = nullptr;
    QWidget* m_firstFocus = nullptr;
    bool m_frameAdjusted = false;
};

namespace {

// Lives as long as the process: windows may still be destroyed after main returns.
QApplication* application = nullptr;

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Qt aborts the process when it cannot reach an X server; find out first.
bool displayReachable()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return true;  // offscreen, wayland, ...: Qt reports on its own
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = connection && !xcb_connection_has_error(connection);
    if (connection)
        xcb_disconnect(connection);
    return reachable;
}

QRect toRect(const Bounds& bounds)
{
    return QRect(bounds.left, bounds.top, bounds.width, bounds.height);
}

// Puts the outer frame, where a window manager adds one, at the designed place and size.
void fitFrame(Window& window)
{
    const QRect outer = toRect(window.m_definition.bounds);
    const QMargins margins = window.windowHandle() ? window.windowHandle()->frameMargins() : QMargins();
    if (QGuiApplication::platformName() == QLatin1String("offscreen") || margins.isNull())
        return;
    window.setGeometry(outer.marginsRemoved(margins));
}

}  // namespace

void start()
{
    if (application)
        return;
    if (!displayReachable())
        throw Sysutils::Exception("Keine grafische Anzeige verfügbar: Das Programm braucht einen Bildschirm (DISPLAY).");
    static int argc = 1;
    static char name[] = "lotto";
    static char* argv[] = {name, nullptr};
    application = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    const QIcon icon(QStringLiteral(":/MAINICON.xpm"));
    if (!icon.isNull())
        QApplication::setWindowIcon(icon);
}

bool started()
{
    return application != nullptr;
}

std::string applicationTitle()
{
    if (application)
        return QCoreApplication::applicationName().toStdString();
    return "lotto";
}

void WindowDeleter::operator()(Window* window) const noexcept
{
    delete window;
}

WindowPtr createWindow(const FormDefinition& definition)
{
    WindowPtr window(new Window(definition));
    window->setObjectName(toQString(definition.name));
    window->setWindowTitle(toQString(definition.caption));
    window->setAccessibleName(toQString(definition.name));
    window->setGeometry(toRect(definition.bounds));

    QFont font(toQString(definition.font.family));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(definition.font.pixelHeight);
    window->setFont(font);

    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    window->setPalette(palette);
    return window;
}

Control& createControl(Window& window, const ControlDefinition& definition, std::function<void()> onClick)
{
    auto control = std::make_unique<Control>();
    const QString caption = toQString(definition.caption);
    switch (definition.kind) {
    case ControlKind::Label:
        control->label = new QLabel(caption, &window);
        control->label->setTextFormat(Qt::PlainText);
        control->widget = control->label;
        break;
    case ControlKind::Edit:
        control->edit = new QLineEdit(&window);
        control->edit->setMaxLength(std::numeric_limits<int>::max());
        control->widget = control->edit;
        break;
    case ControlKind::Button:
    case ControlKind::CloseButton: {
        auto* button = new QPushButton(caption, &window);
        // Return on a focused button presses it, but no button is the window's default.
        button->setAutoDefault(true);
        button->setDefault(false);
        if (definition.kind == ControlKind::CloseButton)
            button->setIcon(window.style()->standardIcon(QStyle::SP_DialogCloseButton));
        control->button = button;
        control->widget = button;
        break;
    }
    }
    if (control->button && onClick)
        QObject::connect(control->button, &QAbstractButton::clicked, control->button, [onClick] { onClick(); });

    QWidget* widget = control->widget;
    widget->setObjectName(toQString(definition.name));
    widget->setAccessibleName(definition.name.empty() ? caption : toQString(definition.name));
    widget->setGeometry(toRect(definition.bounds));
    if (definition.autoSize == AutoSize::Yes)
        widget->adjustSize();

    window.m_controls.push_back(std::move(control));
    return *window.m_controls.back();
}

void setTabOrder(Window& window, std::span<Control* const> order)
{
    for (std::size_t k = 1; k < order.size(); ++k)
        QWidget::setTabOrder(order[k - 1]->widget, order[k]->widget);
    window.m_firstFocus = order.empty() ? nullptr : order.front()->widget;
}

void showWindow(Window& window)
{
    window.show();
    if (!window.m_frameAdjusted) {
        fitFrame(window);
        window.m_frameAdjusted = true;
    }
    // With no window manager (bare X server) the window is never activated on its own.
    window.activateWindow();
    window.raise();
    if (window.m_firstFocus)
        window.m_firstFocus->setFocus(Qt::ActiveWindowFocusReason);
}

void closeWindow(Window& window)
{
    window.close();
}

bool isVisible(const Window& window)
{
    return window.isVisible();
}

void runUntilClosed(Window& window)
{
    if (!window.isVisible())
        return;
    QEventLoop loop;
    window.m_loop = &loop;
    loop.exec();
    window.m_loop = nullptr;
}

std::string getText(const Control& control)
{
    if (control.edit)
        return control.edit->text().toStdString();
    if (control.button)
        return control.button->text().toStdString();
    return control.label->text().toStdString();
}

void setText(Control& control, std::string_view text)
{
    if (control.edit)
        control.edit->setText(toQString(text));
    else if (control.button)
        control.button->setText(toQString(text));
    else
        control.label->setText(toQString(text));
}

void showMessage(std::string_view title, std::string_view message)
{
    QMessageBox box(QMessageBox::Critical, toQString(title), toQString(message), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);  // a pasted text is shown, never interpreted
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

}  // namespace Backend
