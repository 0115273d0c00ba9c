#include "platform/run_folder.h"

#include <windows.h>
// windows.h first: the security headers build on it.
#include <sddl.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/win32/path_text.h"
#include "platform/win32/system_error.h"

namespace platform {
namespace {

const char kPrefix[] = "tessavo-run-";

// The descriptor field holds the handle that locks the folder (see create).
HANDLE handleOf(int fd) {
  return LongToHandle(fd);
}

std::string withoutTrailingSeparator(std::string path) {
  while (path.size() > 1 && endsWithSeparator(path)) path.pop_back();
  return path;
}

// The security descriptor of a run folder: full access for the current
// user alone, inherited by everything made in it, nothing taken over from
// the folder above. Null when it cannot be made (the folder then inherits
// the rules of the user's temporary folder, which is private too).
PSECURITY_DESCRIPTOR privateDescriptor() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
  std::vector<unsigned char> buffer(256);
  DWORD size = 0;
  BOOL got = GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()),
                                 &size);
  if (!got && size > buffer.size()) {
    buffer.resize(size);
    got = GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  }
  CloseHandle(token);
  if (!got) return nullptr;
  char* sid = nullptr;
  if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
    return nullptr;
  }
  const std::string text = std::string("D:P(A;OICI;FA;;;") + sid + ")";
  LocalFree(sid);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(text.c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return nullptr;
  }
  return descriptor;
}

// Removes `path` (no trailing separator) and, when it is a real folder,
// everything in it. A link or junction is removed itself, never followed.
void removeTreeAt(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileA(path.c_str());
    return;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    // Names first, removal after: the search is not disturbed while it runs.
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    for (const std::string& name : names) removeTreeAt(path + "\\" + name);
  }
  RemoveDirectoryA(path.c_str());
}

// The process id in a run folder's name, or 0 when the name is not one.
DWORD ownerOf(const std::string& name) {
  if (name.rfind(kPrefix, 0) != 0) return 0;
  const std::size_t start = sizeof kPrefix - 1;
  std::size_t end = start;
  while (end < name.size() && name[end] >= '0' && name[end] <= '9') ++end;
  if (end == start || end - start > 9 || end >= name.size() || name[end] != '-') return 0;
  return static_cast<DWORD>(std::atol(name.substr(start, end - start).c_str()));
}

bool isAlive(DWORD pid) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

// Opens the folder so that, while the handle lasts, nobody can remove or
// rename it: another run's sweep then leaves it alone. The handle goes with
// the process, also when it is killed.
HANDLE lockFolder(const std::string& path) {
  return CreateFileA(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                     nullptr);
}

}  // namespace

RunFolder::~RunFolder() {
  remove();
}

bool RunFolder::create(const std::string& parent) {
  remove();
  if (parent.empty()) {
    error_ = ENOENT;
    return false;
  }
  PSECURITY_DESCRIPTOR descriptor = privateDescriptor();
  SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), descriptor, FALSE};
  const std::string base = parent + kPrefix + std::to_string(GetCurrentProcessId()) + "-";
  unsigned seed = GetTickCount() ^ static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(this));
  std::string folder;
  error_ = EEXIST;
  for (int attempt = 0; attempt < 100 && error_ == EEXIST; ++attempt) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string candidate = base;
    for (int i = 0; i < 6; ++i) {
      seed = seed * 1103515245u + 12345u;
      candidate.push_back(kLetters[(seed >> 16) % (sizeof kLetters - 1)]);
    }
    if (CreateDirectoryA(candidate.c_str(), descriptor != nullptr ? &security : nullptr)) {
      folder = candidate;
      error_ = 0;
    } else {
      error_ = lastErrno();
    }
  }
  if (descriptor != nullptr) LocalFree(descriptor);
  if (folder.empty()) return false;
  const HANDLE lock = lockFolder(folder);
  if (lock != INVALID_HANDLE_VALUE) lockFd_ = HandleToLong(lock);
  path_ = folder + "\\";
  return true;
}

bool RunFolder::createWithin(const RunFolder& run, const std::string& name) {
  remove();
  if (run.path().empty()) {
    error_ = ENOENT;
    return false;
  }
  const std::string path = run.path() + name;
  // Without security attributes: the run folder's rules are inherited.
  if (!CreateDirectoryA(path.c_str(), nullptr)) {
    error_ = lastErrno();
    return false;
  }
  path_ = path + "\\";
  return true;
}

bool RunFolder::link(const std::string& name, const std::string& target) {
  if (path_.empty()) {
    error_ = ENOENT;  // never a link in the current folder
    return false;
  }
  const std::string linkPath = path_ + name;
  RemoveDirectoryA(linkPath.c_str());
  // Folder links need the privilege, or developer mode with the flag below;
  // without them the caller hands over the path itself.
  if (CreateSymbolicLinkA(linkPath.c_str(), withoutTrailingSeparator(target).c_str(),
                          SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* ALLOW_UNPRIVILEGED_CREATE */)) {
    return true;
  }
  error_ = lastErrno();
  return false;
}

void RunFolder::remove() {
  if (lockFd_ >= 0) CloseHandle(handleOf(lockFd_));
  lockFd_ = -1;
  if (!path_.empty()) removeTree(path_);
  path_.clear();
}

void RunFolder::sweepLeftovers(const std::string& parent) {
  std::vector<std::string> leftovers;
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA((withSeparator(parent) + kPrefix + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const DWORD owner = ownerOf(found.cFileName);
    if (owner > 0 && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !isAlive(owner)) {
      leftovers.push_back(found.cFileName);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  for (const std::string& name : leftovers) {
    const std::string path = withSeparator(parent) + name;
    // Held by a live run (its lock refuses to share deletion), or not ours.
    const HANDLE probe = CreateFileA(
        path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (probe == INVALID_HANDLE_VALUE) continue;
    CloseHandle(probe);
    removeTreeAt(path);
  }
}

void removeTree(const std::string& path) {
  if (path.empty()) return;
  removeTreeAt(withoutTrailingSeparator(path));
}

}  // namespace platform
