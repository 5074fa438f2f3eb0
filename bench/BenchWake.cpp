#include "bench/BenchWake.h"

#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <poll.h>

#include <cerrno>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tolvo::bench {
namespace {

constexpr std::size_t kMessageBytes = 2824;
constexpr std::size_t kAnswerBytes = 8;
constexpr std::size_t kTouchedBytes = 8u << 20;
constexpr int kTouchesPerRecord = 3000;
constexpr int kStepsPerRecord = 20000;

// The server: sleeps until there is something to read, reads it (and with
// `answer` answers every message read), and sleeps again, until the client
// closes its end.
[[noreturn]] void Serve(int fd, bool answer) {
  const int poller = epoll_create1(0);
  epoll_event wanted{};
  wanted.events = EPOLLIN;
  if (poller < 0 || epoll_ctl(poller, EPOLL_CTL_ADD, fd, &wanted) != 0) _exit(1);
  std::vector<char> buffer(1 << 16);
  const std::vector<char> answers(kAnswerBytes * (buffer.size() / kMessageBytes + 1), 'a');
  std::size_t received = 0;
  for (;;) {
    epoll_event ready{};
    if (epoll_wait(poller, &ready, 1, -1) < 0 && errno != EINTR) _exit(1);
    const ssize_t got = read(fd, buffer.data(), buffer.size());
    if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) _exit(0);
    if (got < 0 || !answer) continue;
    const std::size_t whole =
        (received + static_cast<std::size_t>(got)) / kMessageBytes - received / kMessageBytes;
    received += static_cast<std::size_t>(got);
    if (whole > 0 && write(fd, answers.data(), whole * kAnswerBytes) < 0) _exit(1);
  }
}

// The client's reader of answers: sleeps in poll until some come, reads
// them, until the server closes its end.
void ReadAnswers(int fd) {
  std::vector<char> buffer(1 << 12);
  for (;;) {
    pollfd wanted{fd, POLLIN, 0};
    if (poll(&wanted, 1, -1) < 0 && errno != EINTR) return;
    const ssize_t got = read(fd, buffer.data(), buffer.size());
    if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) return;
  }
}

// The same work for every record (about 50 us here): scattered reads and
// writes over a few megabytes, and a chain of arithmetic that cannot be
// done in parallel.
std::uint64_t Work(std::vector<unsigned char>& memory, std::uint64_t seed) {
  std::uint64_t sum = seed;
  for (int k = 0; k < kTouchesPerRecord; ++k) {
    sum += memory[(static_cast<std::size_t>(k) * 4099) % kTouchedBytes];
    ++memory[(static_cast<std::size_t>(k) * 8191 + seed) % kTouchedBytes];
  }
  std::uint64_t x = sum | 1;
  for (int k = 0; k < kStepsPerRecord; ++k) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
  }
  return sum + x;
}

}  // namespace

RunResult RunServerWake(std::int64_t n, WakeKind kind) {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
    throw std::runtime_error("wake: no socket pair");
  const pid_t server = fork();
  if (server < 0) throw std::runtime_error("wake: fork failed");
  if (server == 0) {
    close(ends[0]);
    Serve(ends[1], kind == WakeKind::Answered);
  }
  close(ends[1]);
  std::thread reader;
  if (kind == WakeKind::Answered) reader = std::thread(ReadAnswers, ends[0]);

  std::vector<unsigned char> memory(kTouchedBytes, 1);
  const std::vector<char> message(kMessageBytes, 'x');
  volatile std::uint64_t sink = 0;
  RunResult result;
  const Stopwatch watch;
  for (std::int64_t i = 0; i < n; ++i) {
    sink = sink + Work(memory, static_cast<std::uint64_t>(i));
    if (kind != WakeKind::Quiet &&
        write(ends[0], message.data(), message.size()) != static_cast<ssize_t>(message.size()))
      throw std::runtime_error("wake: the message was not written whole");
  }
  watch.Stop(result);
  shutdown(ends[0], SHUT_WR);
  int status = 0;
  waitpid(server, &status, 0);
  if (reader.joinable()) reader.join();
  close(ends[0]);
  result.records = n;
  return result;
}

}  // namespace tolvo::bench
