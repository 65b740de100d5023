// Catches standard error in a memory file while it lives. The libraries below
// Qt (libxcb, libwayland, Xlib) write their complaints straight to file 2,
// past Qt's message handler; caught, they can be read, passed on, or dropped.
// Where no memory file can be made, standard error stays as it was and
// nothing is caught. Knows nothing of Qt.
#pragma once

#include <cstddef>
#include <string>

namespace Backend {

class StandardErrorCatcher {
public:
    StandardErrorCatcher();
    ~StandardErrorCatcher();  // puts the real standard error back; what was caught is dropped
    StandardErrorCatcher(const StandardErrorCatcher&) = delete;
    StandardErrorCatcher& operator=(const StandardErrorCatcher&) = delete;

    // What was written since, at most its first `limit` bytes.
    std::string text(std::size_t limit) const;

    // Puts the real standard error back; what is written from now on goes there.
    void restore();

    // Puts the real standard error back and writes everything caught to it.
    void passOn();

private:
    int m_caught = -1;  // the memory file
    int m_real = -1;    // the real standard error, while file 2 is the memory file
};

}  // namespace Backend
