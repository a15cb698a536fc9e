#include "serial/PortHolders.h"

#include <dirent.h>
#include <sys/stat.h>

#include <fstream>
#include <vector>

namespace serial {
namespace {

// Names enough holders for a person to act on; a line stays short.
constexpr size_t kMaxNamed = 4;

bool SameFile(const struct stat& a, const struct stat& b) {
  if (S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode)) return a.st_rdev == b.st_rdev;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool IsNumber(const char* name) {
  if (*name == '\0') return false;
  for (; *name != '\0'; ++name)
    if (*name < '0' || *name > '9') return false;
  return true;
}

bool HoldsOpen(const std::string& pid, const struct stat& device) {
  const std::string fdDir = "/proc/" + pid + "/fd";
  DIR* fds = opendir(fdDir.c_str());
  if (fds == nullptr) return false;  // gone, or not ours to see
  bool holds = false;
  while (const dirent* entry = readdir(fds)) {
    struct stat target {};
    if (IsNumber(entry->d_name) && stat((fdDir + "/" + entry->d_name).c_str(), &target) == 0 &&
        SameFile(target, device)) {
      holds = true;
      break;
    }
  }
  closedir(fds);
  return holds;
}

// The command name the process gave itself: shown with anything but
// printable ASCII replaced, since any program may choose it.
std::string CommandName(const std::string& pid) {
  std::ifstream file("/proc/" + pid + "/comm");
  std::string name;
  std::getline(file, name);
  for (char& c : name)
    if (c < 0x20 || c > 0x7E) c = '?';
  return name;
}

}  // namespace

std::string InUseReason(const std::string& devicePath) {
  struct stat device {};
  std::vector<std::string> holders;
  size_t more = 0;
  if (stat(devicePath.c_str(), &device) == 0) {
    if (DIR* proc = opendir("/proc")) {
      while (const dirent* entry = readdir(proc)) {
        if (!IsNumber(entry->d_name) || !HoldsOpen(entry->d_name, device)) continue;
        if (holders.size() == kMaxNamed) {
          ++more;
          continue;
        }
        holders.push_back(std::string(entry->d_name) + " (" + CommandName(entry->d_name) + ")");
      }
      closedir(proc);
    }
  }
  if (holders.empty()) return "in use by another program";
  std::string text = holders.size() == 1 ? "in use by process " : "in use by processes ";
  for (size_t i = 0; i < holders.size(); ++i) text += (i == 0 ? "" : ", ") + holders[i];
  if (more > 0) text += " and " + std::to_string(more) + " more";
  return text;
}

}  // namespace serial
