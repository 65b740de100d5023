// The time in which Qt opens the display. Qt reports a display it cannot use
// with a fatal message (in English, telling the user to reinstall) and
// aborts; the libraries below it write their own lines straight to standard
// error. While an opening lives, standard error is caught and Qt's messages
// come here, from whichever thread says them: a fatal one is examined and ends
// the start with one German line naming the cause, and a good start passes on
// whatever was said once the opening ends. Does not start Qt itself.
#pragma once

#include "StandardErrorCatcher.h"
#include "StartFailure.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace Backend {

class DisplayOpening {
public:
    // For the platform the program chose; empty where it chose none.
    explicit DisplayOpening(QByteArray platform);
    ~DisplayOpening();  // passes on what was said and caught
    DisplayOpening(const DisplayOpening&) = delete;
    DisplayOpening& operator=(const DisplayOpening&) = delete;

    // A platform that started but cannot show the window still fails the start.
    [[noreturn]] void fail(const StartDiagnosis& diagnosis);

private:
    static QtMessageHandler takeMessages(DisplayOpening* opening);
    static void endTakingMessages();
    static void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);
    static void take(QtMsgType type, const QMessageLogContext& context, const QString& message);

    // Qt's own threads speak while the main thread makes and ends an opening:
    // a message reads the opening once, and an opening ends only once no
    // message is still at work on it.
    static inline std::atomic<DisplayOpening*> active = nullptr;
    static inline std::atomic<int> handling = 0;  // messages at work, in any thread

    QByteArray m_platform;
    StandardErrorCatcher m_error;
    std::vector<std::string> m_messages;  // what Qt said
    std::mutex m_messagesLock;
    QtMessageHandler m_previousHandler;  // the last member: every other one is made before messages come
};

}  // namespace Backend
