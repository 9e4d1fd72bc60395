#include "platform/posix/SingleInstance.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace carrovex::posix
{

namespace
{

// FNV-1a: the same folder gives the same name in every build of both programs.
std::uint64_t hashOf(const std::string& text)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    }
    return hash;
}

std::string nameFor(const std::string& folder)
{
    char resolved[PATH_MAX];
    const std::string path = ::realpath(folder.c_str(), resolved) != nullptr ? std::string(resolved) : folder;
    char name[64];
    std::snprintf(name,
        sizeof name,
        "carrovex-%u-%016llx",
        static_cast<unsigned>(::getuid()),
        static_cast<unsigned long long>(hashOf(path)));
    return name;
}

// The address of an abstract socket: a zero byte, then the name, which lives only as long as the socket.
socklen_t addressOf(const std::string& name, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

int newSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

} // namespace

SingleInstance::SingleInstance(const std::string& folder)
    : m_name(nameFor(folder))
    , m_socket(newSocket())
{
    sockaddr_un address {};
    const socklen_t length = addressOf(m_name, address);
    m_first = m_socket.get() < 0 || ::bind(m_socket.get(), reinterpret_cast<sockaddr*>(&address), length) == 0
        || errno != EADDRINUSE;
}

bool SingleInstance::isFirst() const
{
    return m_first;
}

int SingleInstance::listen()
{
    if (m_first && m_socket.get() >= 0) {
        ::listen(m_socket.get(), 8);
    }
    return m_socket.get();
}

bool SingleInstance::takeRequests()
{
    bool taken = false;
    for (int peer; (peer = ::accept4(m_socket.get(), nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
        ::close(peer);
        taken = true;
    }
    return taken;
}

bool SingleInstance::askFirstToComeForward() const
{
    const FileDescriptor peer(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address {};
    const socklen_t length = addressOf(m_name, address);
    return peer.get() >= 0 && ::connect(peer.get(), reinterpret_cast<sockaddr*>(&address), length) == 0;
}

} // namespace carrovex::posix
