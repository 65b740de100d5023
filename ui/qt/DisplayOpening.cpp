#include "DisplayOpening.h"

#include "QtStart.h"

#include <unistd.h>

#include <cstdio>
#include <new>
#include <thread>
#include <utility>

namespace Backend {

DisplayOpening::DisplayOpening(QByteArray platform)
    : m_platform(std::move(platform)), m_previousHandler(takeMessages(this))
{
}

DisplayOpening::~DisplayOpening()
{
    qInstallMessageHandler(m_previousHandler);
    endTakingMessages();
    m_error.passOn();
    const std::lock_guard lock(m_messagesLock);
    for (const std::string& message : m_messages)
        (void)std::fputs(message.c_str(), stderr);  // nowhere to report a failure to
}

void DisplayOpening::fail(const StartDiagnosis& diagnosis)
{
    endTakingMessages();
    m_error.restore();
    endStart(diagnosis);
}

QtMessageHandler DisplayOpening::takeMessages(DisplayOpening* opening)
{
    active.store(opening);
    return qInstallMessageHandler(onMessage);
}

// From here on no message reaches the opening, and none is at work on it.
void DisplayOpening::endTakingMessages()
{
    active.store(nullptr);
    while (handling.load() != 0)
        std::this_thread::yield();
}

void DisplayOpening::onMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    ++handling;  // before the opening is read, so that its end waits for this
    take(type, context, message);
    --handling;
}

void DisplayOpening::take(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    DisplayOpening* const opening = active.load();
    if (!opening)
        return;
    if (type == QtFatalMsg) {
        // What the diagnosis makes Qt say is not the opening's business. Qt
        // aborts once the handler of a fatal message returns: a second one
        // waits for the first to end the program.
        if (active.exchange(nullptr) != opening) {
            for (;;)
                ::pause();
        }
        opening->m_error.restore();
        endStart(diagnoseFailedStart(requestedPlatform(opening->m_platform.toStdString())));
    }
    try {
        std::string said = qFormatLogMessage(type, context, message).toStdString() + '\n';
        const std::lock_guard lock(opening->m_messagesLock);
        opening->m_messages.push_back(std::move(said));
    } catch (const std::bad_alloc&) {
        // A message that finds no memory is lost; the start goes on.
    }
}

}  // namespace Backend
