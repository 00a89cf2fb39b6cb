// The descriptor-based file calls of the Windows C runtime (_open, _lseeki64, _read, _close).
// On Windows they are the runtime's own; elsewhere they map onto POSIX so the engine builds natively.
#pragma once

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#else
#include <fcntl.h>
#include <stdio.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdint>

#ifndef _O_RDONLY
#define _O_RDONLY O_RDONLY
#endif
#ifndef _O_BINARY
#define _O_BINARY 0
#endif

inline int _open(const char* path, int flags) { return ::open(path, flags); }
inline std::int64_t _lseeki64(int fd, std::int64_t offset, int origin) {
  return static_cast<std::int64_t>(::lseek(fd, static_cast<off_t>(offset), origin));
}
inline int _read(int fd, void* buffer, unsigned int count) {
  return static_cast<int>(::read(fd, buffer, count));
}
inline int _close(int fd) { return ::close(fd); }
#endif
