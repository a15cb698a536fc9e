#include "platform/ShellOpen.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

// The child is started twice removed (a short-lived middle process exits at
// once), so no zombie is left behind and nothing waits for the browser.
void ShellOpen(const std::string& url) {
  const pid_t middle = fork();
  if (middle < 0) return;
  if (middle == 0) {
    const int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      dup2(devnull, 0);
      dup2(devnull, 1);
      dup2(devnull, 2);
    }
    char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(url.c_str()), nullptr};
    pid_t child = 0;
    posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ);
    _exit(0);
  }
  int status = 0;
  waitpid(middle, &status, 0);
}

}  // namespace platform
