#pragma once

#include "platform/posix/FileDescriptor.h"

#include <string>

namespace carrovex::posix
{

// One program at a time on a settings folder. The first start holds a name that the system frees however
// the program ends: an abstract local socket named by the user and the folder's real path, so that two
// spellings of one folder (a link, "..") meet. A window program listens on it, and a later start asks it
// to come to the front; a console program does not, and a later start is refused.
class SingleInstance
{
public:
    explicit SingleInstance(const std::string& folder);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // This program is the first on the folder (also when the name could not be made at all: a program
    // that cannot tell must not refuse to run).
    bool isFirst() const;

    // The first program: takes requests from later starts from now on; the descriptor becomes readable
    // when one comes.
    int listen();
    // Takes the requests that came; true when there was one.
    bool takeRequests();

    // A later start: asks the first program to come to the front; false when it takes no requests.
    bool askFirstToComeForward() const;

private:
    std::string m_name;
    FileDescriptor m_socket;
    bool m_first = true;
};

} // namespace carrovex::posix
