#include "platform/local_peer.h"

#ifndef _WIN32
#include <QFile>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelvo {

#ifdef _WIN32
bool peerIsThisUser(qintptr) { return true; }
bool isPrivateFolder(const QString&) { return true; }
#else
bool peerIsThisUser(qintptr socketDescriptor) {
#ifdef SO_PEERCRED
  struct ucred peer {};
  socklen_t len = sizeof peer;
  if (getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer, &len) != 0) return false;
  return peer.uid == ::getuid();
#else
  uid_t uid = 0;
  gid_t gid = 0;
  return getpeereid(static_cast<int>(socketDescriptor), &uid, &gid) == 0 && uid == ::getuid();
#endif
}

bool isPrivateFolder(const QString& path) {
  struct stat st {};
  if (lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}
#endif

}  // namespace kelvo
