// Drives a shown form through its real Qt widgets as a person would: finds
// controls by name, clicks them, and answers message boxes as they come.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

namespace lotto::testing {

inline QWidget* shownWindow(const char* name)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(name) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// A control by its name, or a label the form does not refer to by its caption.
inline QWidget* control(QWidget* window, const char* name, const char* caption)
{
    if (*name)
        return window->findChild<QWidget*>(QLatin1String(name));
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->objectName().isEmpty() && label->text() == QString::fromUtf8(caption))
            return label;
    }
    return nullptr;
}

inline QString text(QWidget* window, const char* name)
{
    return window->findChild<QLineEdit*>(QLatin1String(name))->text();
}

// Records the text of every message box that opens while it lives, and
// dismisses each with Return as a person would.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->property("answered").toBool())
                return;
            box->setProperty("answered", true);
            m_texts.push_back(box->text().toStdString());
            m_titles.push_back(box->windowTitle().toStdString());
            QTest::keyClick(box, Qt::Key_Return);
        });
        m_timer.start(5);
    }

    const std::vector<std::string>& texts() const { return m_texts; }
    const std::vector<std::string>& titles() const { return m_titles; }

private:
    QTimer m_timer;
    std::vector<std::string> m_texts;
    std::vector<std::string> m_titles;
};

inline void click(QWidget* window, const char* name)
{
    QTest::mouseClick(window->findChild<QAbstractButton*>(QLatin1String(name)), Qt::LeftButton);
}

}  // namespace lotto::testing
