// What the engine knows of whoever watches a file digest: one operation, called after every piece.
#pragma once

#include <cstdint>

class CProgressReceiver {
 public:
  // total: the file's size in bytes; done: the bytes digested so far.
  virtual void UpdateProgress(std::int64_t total, std::int64_t done) = 0;

 protected:
  ~CProgressReceiver() = default;
};
