#include "StandardErrorCatcher.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <utility>

namespace Backend {

StandardErrorCatcher::StandardErrorCatcher()
    : m_caught(::memfd_create("lotto-stderr", MFD_CLOEXEC)),
      m_real(::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1))
{
    if (m_caught < 0 || m_real < 0 || ::dup2(m_caught, STDERR_FILENO) < 0) {
        restore();
        if (m_caught >= 0)
            ::close(std::exchange(m_caught, -1));
    }
}

StandardErrorCatcher::~StandardErrorCatcher()
{
    restore();
    if (m_caught >= 0)
        ::close(m_caught);
}

std::string StandardErrorCatcher::text(std::size_t limit) const
{
    if (m_caught < 0)
        return {};
    std::string said(limit, '\0');
    const ssize_t got = ::pread(m_caught, said.data(), said.size(), 0);
    said.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return said;
}

void StandardErrorCatcher::restore()
{
    if (m_real >= 0) {
        ::dup2(m_real, STDERR_FILENO);
        ::close(std::exchange(m_real, -1));
    }
}

void StandardErrorCatcher::passOn()
{
    restore();
    if (m_caught < 0)
        return;
    char buffer[4096];
    off_t at = 0;
    for (ssize_t got = 0; (got = ::pread(m_caught, buffer, sizeof buffer, at)) > 0; at += got) {
        if (::write(STDERR_FILENO, buffer, static_cast<std::size_t>(got)) != got)
            break;
    }
}

}  // namespace Backend
