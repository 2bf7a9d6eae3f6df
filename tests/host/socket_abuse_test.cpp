// The host's socket under abuse: bad frames and bad clients lose their own connection only, many
// clients at once are all served, and nobody but the user gets in.
#include "platform/automation_wire.h"
#include "platform/local_peer.h"
#include "platform/single_instance.h"
#include "tests/support/temp_dir.h"

#include <QCborArray>
#include <QCborMap>
#include <QtEndian>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kelvo {
namespace {

// A client of the protocol on a bare socket, as any program could write one.
class RawClient {
 public:
  explicit RawClient(const std::string& path) : fd_(socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  }
  ~RawClient() { close(fd_); }
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  bool connected() const { return connected_; }
  bool send(const QByteArray& bytes) {
    for (qsizetype at = 0; at < bytes.size();) {
      const ssize_t n = ::send(fd_, bytes.constData() + at, static_cast<std::size_t>(bytes.size() - at), MSG_NOSIGNAL);
      if (n <= 0) return false;
      at += n;
    }
    return true;
  }
  // One answer, or nothing when the host closed the connection or said nothing in time.
  std::optional<QCborMap> answer(int timeoutMs = 10000) {
    QByteArray head = take(4, timeoutMs);
    if (head.size() < 4) return std::nullopt;
    const auto size = qFromBigEndian<quint32>(head.constData());
    const QByteArray body = take(size, timeoutMs);
    if (body.size() < static_cast<qsizetype>(size)) return std::nullopt;
    return QCborValue::fromCbor(body).toMap();
  }
  // Whether the host has closed this connection (reading to its end within the time).
  bool closedByHost(int timeoutMs = 10000) {
    char buf[65536];
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < until) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      const ssize_t n = recv(fd_, buf, sizeof buf, 0);
      if (n <= 0) return true;
    }
    return false;
  }
  // Whether the host has closed this connection, seen without reading what it sent.
  bool hungUpOn(int timeoutMs) {
    pollfd p{fd_, POLLRDHUP, 0};
    return poll(&p, 1, timeoutMs) == 1 && (p.revents & (POLLRDHUP | POLLHUP)) != 0;
  }
  QCborMap call(qint64 id, qint64 obj, const char* op, const char* member, QCborArray args = {}) {
    QCborMap m{{QStringLiteral("id"), id}, {QStringLiteral("op"), QString::fromLatin1(op)}, {QStringLiteral("obj"), obj},
               {QStringLiteral("member"), QString::fromLatin1(member)}, {QStringLiteral("args"), args}};
    send(wire::frame(m));
    return answer().value_or(QCborMap());
  }
  // The drawing's document object, through the protocol's own steps.
  qint64 document() {
    send(wire::frame(QCborMap{{QStringLiteral("id"), 1}, {QStringLiteral("op"), QStringLiteral("connect")}}));
    const qint64 app = answer().value_or(QCborMap()).value(QStringLiteral("result")).toMap().value(QStringLiteral("obj")).toInteger();
    return call(2, app, "get", "ActiveDocument").value(QStringLiteral("result")).toMap().value(QStringLiteral("obj")).toInteger();
  }

 private:
  QByteArray take(qint64 n, int timeoutMs) {
    QByteArray out;
    while (out.size() < n) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, timeoutMs) <= 0) break;
      char buf[4096];
      const ssize_t got = recv(fd_, buf, static_cast<std::size_t>(std::min<qint64>(n - out.size(), sizeof buf)), 0);
      if (got <= 0) break;
      out.append(buf, got);
    }
    return out;
  }
  int fd_;
  bool connected_ = false;
};

QCborArray dimscale() { return QCborArray{QStringLiteral("DIMSCALE")}; }

class SocketAbuse : public ::testing::Test {
 protected:
  // The host's socket folder in this test's own folder: a host the developer runs is never met.
  void SetUp() override {
    tmp.emplace("TMPDIR", dir.path());
    host.start(QStringLiteral(KELVO_HOST), {"--headless"});
    ASSERT_TRUE(host.waitForStarted(10000));
    for (int i = 0; i < 200 && !host.canReadLine(); ++i) host.waitForReadyRead(100);
    ASSERT_EQ(host.readLine().trimmed(), "ready");
    path = wire::socketPath(QStringLiteral("AutoCAD.Application")).toStdString();
  }
  void TearDown() override {
    host.kill();
    host.waitForFinished(5000);
    tmp.reset();
  }
  // A well-behaved client is answered right.
  void expectServed() {
    RawClient good(path);
    ASSERT_TRUE(good.connected());
    const qint64 doc = good.document();
    EXPECT_EQ(good.call(3, doc, "call", "GetVariable", dimscale()).value(QStringLiteral("result")).toDouble(), 1.0);
  }

  test::TempDir dir;
  std::optional<test::ScopedEnv> tmp;
  QProcess host;
  std::string path;
};

TEST_F(SocketAbuse, BadFramesLoseOnlyTheirOwnConnection) {
  const QByteArray connect = wire::frame(QCborMap{{QStringLiteral("id"), 1}, {QStringLiteral("op"), QStringLiteral("connect")}});
  const struct {
    const char* what;
    QByteArray bytes;
    int answers;  // before the host closes the connection
  } cases[] = {
      {"a length of 4 GiB", QByteArray("\xFF\xFF\xFF\xFF", 4), 0},
      {"garbage after a valid frame", connect + QByteArray("garbage, not a frame"), 1},
      {"a frame that is not CBOR", QByteArray("\x00\x00\x00\x05\xFF\xFF\xFF\xFF\xFF", 9), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RawClient bad(path);
    ASSERT_TRUE(bad.send(c.bytes));
    for (int i = 0; i < c.answers; ++i) EXPECT_TRUE(bad.answer());
    EXPECT_TRUE(bad.closedByHost());
    expectServed();
  }
  RawClient silent(path);  // a frame cut off, then silence: the others are served meanwhile
  ASSERT_TRUE(silent.send(QByteArray("\x00\x00\x01\x00partial", 11)));
  expectServed();
}

TEST_F(SocketAbuse, AClientThatReadsNoAnswersIsClosedAndTheOthersServed) {
  RawClient deaf(path);
  const qint64 doc = deaf.document();
  QByteArray calls;
  for (int i = 0; i < 60000; ++i)
    calls += wire::frame(QCborMap{{QStringLiteral("id"), i}, {QStringLiteral("op"), QStringLiteral("call")}, {QStringLiteral("obj"), doc},
                                  {QStringLiteral("member"), QStringLiteral("GetVariable")}, {QStringLiteral("args"), dimscale()}});
  deaf.send(calls);  // fails part way if the host has closed the connection by then
  expectServed();
  EXPECT_TRUE(deaf.hungUpOn(60000));
  expectServed();
}

TEST_F(SocketAbuse, SixteenClientsAtOnceAreAllServedAndAnswerQuickly) {
  std::atomic<int> right{0};
  std::atomic<long long> slowestMs{0};
  std::vector<std::thread> clients;
  for (int c = 0; c < 16; ++c)
    clients.emplace_back([&] {
      RawClient client(path);
      const qint64 doc = client.document();
      for (int i = 0; i < 1000; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const QCborMap a = client.call(10 + i, doc, "call", "GetVariable", dimscale());
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        for (long long seen = slowestMs; ms > seen && !slowestMs.compare_exchange_weak(seen, ms);) {
        }
        right += a.value(QStringLiteral("id")).toInteger() == 10 + i && a.value(QStringLiteral("result")).toDouble() == 1.0;
      }
    });
  for (std::thread& t : clients) t.join();
  EXPECT_EQ(right, 16000);
  EXPECT_LT(slowestMs, 2000) << "the host stopped answering for a while";
}

TEST_F(SocketAbuse, OnlyTheUserGetsIn) {
  struct stat folder {}, socketFile {};
  ASSERT_EQ(stat(SingleInstance::directory().toStdString().c_str(), &folder), 0);
  ASSERT_EQ(stat(path.c_str(), &socketFile), 0);
  EXPECT_EQ(folder.st_mode & 077, 0u);
  EXPECT_EQ(folder.st_uid, getuid());
  EXPECT_EQ(socketFile.st_mode & 077, 0u);
  if (getuid() != 0) GTEST_SKIP() << "another user's process needs root to make";
  // A process of another user can reach neither the host nor, through an open folder, a peer
  // that takes it for the user.
  const std::string open = dir.file("open.sock");
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", open.c_str());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  chmod(dir.path().c_str(), 0755);
  chmod(open.c_str(), 0777);
  ASSERT_EQ(listen(listener, 1), 0);
  const pid_t child = fork();
  if (child == 0) {
    if (setuid(65534) != 0) _exit(2);
    RawClient theHost(path), other(open);
    _exit(!theHost.connected() && other.connected() ? 0 : 1);
  }
  const int peer = accept(listener, nullptr, nullptr);
  EXPECT_FALSE(peerIsThisUser(peer));
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  close(peer);
  close(listener);
}

}  // namespace
}  // namespace kelvo
