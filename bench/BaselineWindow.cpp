// The yardstick for start-up: a bare Qt 6 window with as many labels, edits and
// buttons (one of them with the standard close icon) as the game's window and
// no logic, which quits once its first frame has been painted.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QWidget>

namespace {

class Window : public QWidget {
protected:
    void paintEvent(QPaintEvent* event) override
    {
        QWidget::paintEvent(event);
        if (!m_painted) {
            m_painted = true;
            QTimer::singleShot(0, qApp, &QApplication::quit);
        }
    }

private:
    bool m_painted = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    Window window;
    window.setGeometry(241, 107, 696, 480);
    for (int k = 0; k < 7; ++k)
        (new QLabel(QStringLiteral("Label"), &window))->move(10, 10 + 20 * k);
    for (int k = 0; k < 17; ++k)
        (new QLineEdit(&window))->setGeometry(100, 10 + 25 * k, 41, 21);
    for (int k = 0; k < 6; ++k)
        (new QPushButton(QStringLiteral("Button"), &window))->setGeometry(300, 10 + 30 * k, 193, 25);
    // The seventh kind of widget: a button with the style's standard close icon.
    auto* close = new QPushButton(QStringLiteral("Close"), &window);
    close->setIcon(window.style()->standardIcon(QStyle::SP_DialogCloseButton));
    close->setGeometry(300, 200, 193, 25);
    window.show();
    return application.exec();
}
