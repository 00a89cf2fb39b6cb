// The MD5 message digest (RFC 1321): a working record, the operations on it, and whole digests of a
// range of memory or of a file, rendered as 32 upper-case hexadecimal digits.
#pragma once

#include <cstdint>

#include "digest/ProgressReceiver.h"
#include "platform/String.h"

// One digest's working record.
struct Md5Context {
  std::uint32_t state[4];    // chaining value A, B, C, D
  std::uint32_t count[4];    // message length in bits, 128 bits, least significant word first
  unsigned char buffer[64];  // the bytes of the block being collected
};

// One object per digest: Final leaves the record zeroed and nothing initialises it again.
class CMd5Digest {
 public:
  CMd5Digest();
  ~CMd5Digest();
  CMd5Digest(const CMd5Digest&) = delete;
  CMd5Digest& operator=(const CMd5Digest&) = delete;

  // The 32-digit digest of length bytes.
  CString DigestText(const unsigned char* pInput, std::uint32_t nLength);
  // The 32-digit digest of the file's bytes; empty when the file cannot be opened, measured or read
  // completely as measured.
  CString DigestFile(const char* pszPath);

  // Feeds the file's next nSize bytes from its current position into the record: first what fills the
  // block being collected, then pieces of 65,536 bytes, with a progress report after every piece.
  // Returns false, having ended the stream, as soon as a read fails or delivers fewer bytes than asked.
  bool UpdateFromFile(Md5Context* pContext, int nFile, std::int64_t nSize);

  // The primitive operations. They work only on what they are given.
  static void Init(Md5Context* pContext);
  static void Update(Md5Context* pContext, const unsigned char* pInput, std::uint32_t nLength);
  static void Final(unsigned char* pDigest, Md5Context* pContext);
  static void Transform(std::uint32_t* pState, const unsigned char* pBlock);
  static void Encode(unsigned char* pOutput, const std::uint32_t* pInput, std::uint32_t nLength);
  static void Decode(std::uint32_t* pOutput, const unsigned char* pInput, std::uint32_t nLength);
  static void CopyBytes(unsigned char* pDest, const unsigned char* pSource, std::uint32_t nLength);
  static void FillBytes(unsigned char* pDest, int nValue, std::uint32_t nLength);

  Md5Context* m_pContext;          // owned
  CProgressReceiver* m_pReceiver;  // not owned; told after every piece of a file

 private:
  static CString Render(const unsigned char* pDigest);
};
