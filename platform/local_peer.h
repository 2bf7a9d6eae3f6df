// Who is at the other end of a local socket, and whether a socket folder is the user's alone:
// a socket in a shared temporary folder is only as private as the folder and its peers.
#pragma once

#include <QString>
#include <QtGlobal>

namespace kelvo {

// Whether the process at the other end of a connected local socket runs as this user (always
// true on Windows, where the named pipe's own security decides).
bool peerIsThisUser(qintptr socketDescriptor);

// Whether the folder is a real folder (not a link) owned by this user that nobody else may enter.
bool isPrivateFolder(const QString& path);

}  // namespace kelvo
