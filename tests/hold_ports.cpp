// hold_ports PORT... -- COMMAND [ARGS...]: holds TCP and UDP on each port
// (on every address, as a game hosting there would) while COMMAND runs, and
// exits with its exit code. The suite runs under it on the game's default
// ports, so a test that hosts on a default instead of a port of its own fails
// here as it would beside a running game. A port another program holds
// already is left to it: it is just as taken.
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static void Hold(int type, int port) {
  int s = ::socket(AF_INET, type, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  if (s < 0 || ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || (type == SOCK_STREAM && ::listen(s, 4) != 0)) {
    std::fprintf(stderr, "hold_ports: %s %d is taken already\n", type == SOCK_STREAM ? "TCP" : "UDP", port);
    if (s >= 0) ::close(s);
  }
  // Kept open on purpose until the command ends; not inherited by it.
  if (s >= 0) ::fcntl(s, F_SETFD, FD_CLOEXEC);
}

int main(int argc, char** argv) {
  int i = 1;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    const int port = std::atoi(argv[i]);
    if (port <= 0 || port > 65535) {
      std::fprintf(stderr, "hold_ports: not a port: %s\n", argv[i]);
      return 2;
    }
    Hold(SOCK_STREAM, port);
    Hold(SOCK_DGRAM, port);
  }
  if (i + 1 >= argc) {
    std::fprintf(stderr, "usage: hold_ports PORT... -- COMMAND [ARGS...]\n");
    return 2;
  }
  const pid_t child = ::fork();
  if (child == 0) {
    ::execvp(argv[i + 1], argv + i + 1);
    std::perror("hold_ports: exec");
    ::_exit(127);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return 1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
