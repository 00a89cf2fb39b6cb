#include "digest/Md5Digest.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/RuntimeIo.h"

namespace {

// A file is read in pieces of this size; every piece but the last is a whole number of blocks.
constexpr std::uint32_t kPieceSize = 65536;

const unsigned char kPadding[64] = {0x80};

// Little-endian load from any address; one plain load on the machines we build for.
inline std::uint32_t LoadLe32(const unsigned char* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
#else
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
#endif
}

inline std::uint32_t Rotl(std::uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

// Every step waits only on b, the newest word: whatever does not need b is added into a first. clang
// would move the constant behind the round function and lengthen the chain; an empty asm statement (no
// instructions) makes the early sum a value it cannot reassociate.
#if defined(__clang__)
#define QUORVEX_PIN(v) __asm__("" : "+r"(v))
#else
#define QUORVEX_PIN(v) static_cast<void>(0)
#endif

inline void StepF(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x,
                  std::uint32_t t, int s) {
  a += x + t;
  QUORVEX_PIN(a);
  a += d ^ (b & (c ^ d));
  a = Rotl(a, s) + b;
}

// (b & d) | (c & ~d): the halves share no bits, so OR is ADD and the b-free half goes in early.
inline void StepG(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x,
                  std::uint32_t t, int s) {
  a += x + t;
  a += c & ~d;
  QUORVEX_PIN(a);
  a += d & b;
  a = Rotl(a, s) + b;
}

inline void StepH(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x,
                  std::uint32_t t, int s) {
  a += x + t;
  QUORVEX_PIN(a);
  std::uint32_t cd = c ^ d;
  QUORVEX_PIN(cd);
  a += cd ^ b;
  a = Rotl(a, s) + b;
}

inline void StepI(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x,
                  std::uint32_t t, int s) {
  a += x + t;
  QUORVEX_PIN(a);
  std::uint32_t nd = ~d;
  a += c ^ (b | nd);
  a = Rotl(a, s) + b;
}

// count += bits, carried through all four words.
inline void AddBits(std::uint32_t* count, std::uint64_t low, std::uint64_t high) {
  std::uint64_t sum = static_cast<std::uint64_t>(count[0]) + (low & 0xFFFFFFFFu);
  count[0] = static_cast<std::uint32_t>(sum);
  sum = (sum >> 32) + count[1] + (low >> 32);
  count[1] = static_cast<std::uint32_t>(sum);
  sum = (sum >> 32) + count[2] + (high & 0xFFFFFFFFu);
  count[2] = static_cast<std::uint32_t>(sum);
  sum = (sum >> 32) + count[3] + (high >> 32);
  count[3] = static_cast<std::uint32_t>(sum);
}

inline std::uint32_t ByteIndex(const Md5Context* pContext) { return (pContext->count[0] >> 3) & 0x3F; }

// RFC 1321's compression of nBlocks consecutive blocks, written out. The words are loaded straight from
// the block where each step needs them (no decoded copy of the block is made), and the chaining value
// stays in registers from one block to the next.
void CompressBlocks(std::uint32_t* pState, const unsigned char* p, std::size_t nBlocks) {
  std::uint32_t A = pState[0], B = pState[1], C = pState[2], D = pState[3];
  do {
    std::uint32_t a = A, b = B, c = C, d = D;

    StepF(a, b, c, d, LoadLe32(p + 0), 0xd76aa478, 7);
    StepF(d, a, b, c, LoadLe32(p + 4), 0xe8c7b756, 12);
    StepF(c, d, a, b, LoadLe32(p + 8), 0x242070db, 17);
    StepF(b, c, d, a, LoadLe32(p + 12), 0xc1bdceee, 22);
    StepF(a, b, c, d, LoadLe32(p + 16), 0xf57c0faf, 7);
    StepF(d, a, b, c, LoadLe32(p + 20), 0x4787c62a, 12);
    StepF(c, d, a, b, LoadLe32(p + 24), 0xa8304613, 17);
    StepF(b, c, d, a, LoadLe32(p + 28), 0xfd469501, 22);
    StepF(a, b, c, d, LoadLe32(p + 32), 0x698098d8, 7);
    StepF(d, a, b, c, LoadLe32(p + 36), 0x8b44f7af, 12);
    StepF(c, d, a, b, LoadLe32(p + 40), 0xffff5bb1, 17);
    StepF(b, c, d, a, LoadLe32(p + 44), 0x895cd7be, 22);
    StepF(a, b, c, d, LoadLe32(p + 48), 0x6b901122, 7);
    StepF(d, a, b, c, LoadLe32(p + 52), 0xfd987193, 12);
    StepF(c, d, a, b, LoadLe32(p + 56), 0xa679438e, 17);
    StepF(b, c, d, a, LoadLe32(p + 60), 0x49b40821, 22);

    StepG(a, b, c, d, LoadLe32(p + 4), 0xf61e2562, 5);
    StepG(d, a, b, c, LoadLe32(p + 24), 0xc040b340, 9);
    StepG(c, d, a, b, LoadLe32(p + 44), 0x265e5a51, 14);
    StepG(b, c, d, a, LoadLe32(p + 0), 0xe9b6c7aa, 20);
    StepG(a, b, c, d, LoadLe32(p + 20), 0xd62f105d, 5);
    StepG(d, a, b, c, LoadLe32(p + 40), 0x02441453, 9);
    StepG(c, d, a, b, LoadLe32(p + 60), 0xd8a1e681, 14);
    StepG(b, c, d, a, LoadLe32(p + 16), 0xe7d3fbc8, 20);
    StepG(a, b, c, d, LoadLe32(p + 36), 0x21e1cde6, 5);
    StepG(d, a, b, c, LoadLe32(p + 56), 0xc33707d6, 9);
    StepG(c, d, a, b, LoadLe32(p + 12), 0xf4d50d87, 14);
    StepG(b, c, d, a, LoadLe32(p + 32), 0x455a14ed, 20);
    StepG(a, b, c, d, LoadLe32(p + 52), 0xa9e3e905, 5);
    StepG(d, a, b, c, LoadLe32(p + 8), 0xfcefa3f8, 9);
    StepG(c, d, a, b, LoadLe32(p + 28), 0x676f02d9, 14);
    StepG(b, c, d, a, LoadLe32(p + 48), 0x8d2a4c8a, 20);

    StepH(a, b, c, d, LoadLe32(p + 20), 0xfffa3942, 4);
    StepH(d, a, b, c, LoadLe32(p + 32), 0x8771f681, 11);
    StepH(c, d, a, b, LoadLe32(p + 44), 0x6d9d6122, 16);
    StepH(b, c, d, a, LoadLe32(p + 56), 0xfde5380c, 23);
    StepH(a, b, c, d, LoadLe32(p + 4), 0xa4beea44, 4);
    StepH(d, a, b, c, LoadLe32(p + 16), 0x4bdecfa9, 11);
    StepH(c, d, a, b, LoadLe32(p + 28), 0xf6bb4b60, 16);
    StepH(b, c, d, a, LoadLe32(p + 40), 0xbebfbc70, 23);
    StepH(a, b, c, d, LoadLe32(p + 52), 0x289b7ec6, 4);
    StepH(d, a, b, c, LoadLe32(p + 0), 0xeaa127fa, 11);
    StepH(c, d, a, b, LoadLe32(p + 12), 0xd4ef3085, 16);
    StepH(b, c, d, a, LoadLe32(p + 24), 0x04881d05, 23);
    StepH(a, b, c, d, LoadLe32(p + 36), 0xd9d4d039, 4);
    StepH(d, a, b, c, LoadLe32(p + 48), 0xe6db99e5, 11);
    StepH(c, d, a, b, LoadLe32(p + 60), 0x1fa27cf8, 16);
    StepH(b, c, d, a, LoadLe32(p + 8), 0xc4ac5665, 23);

    StepI(a, b, c, d, LoadLe32(p + 0), 0xf4292244, 6);
    StepI(d, a, b, c, LoadLe32(p + 28), 0x432aff97, 10);
    StepI(c, d, a, b, LoadLe32(p + 56), 0xab9423a7, 15);
    StepI(b, c, d, a, LoadLe32(p + 20), 0xfc93a039, 21);
    StepI(a, b, c, d, LoadLe32(p + 48), 0x655b59c3, 6);
    StepI(d, a, b, c, LoadLe32(p + 12), 0x8f0ccc92, 10);
    StepI(c, d, a, b, LoadLe32(p + 40), 0xffeff47d, 15);
    StepI(b, c, d, a, LoadLe32(p + 4), 0x85845dd1, 21);
    StepI(a, b, c, d, LoadLe32(p + 32), 0x6fa87e4f, 6);
    StepI(d, a, b, c, LoadLe32(p + 60), 0xfe2ce6e0, 10);
    StepI(c, d, a, b, LoadLe32(p + 24), 0xa3014314, 15);
    StepI(b, c, d, a, LoadLe32(p + 52), 0x4e0811a1, 21);
    StepI(a, b, c, d, LoadLe32(p + 16), 0xf7537e82, 6);
    StepI(d, a, b, c, LoadLe32(p + 44), 0xbd3af235, 10);
    StepI(c, d, a, b, LoadLe32(p + 8), 0x2ad7d2bb, 15);
    StepI(b, c, d, a, LoadLe32(p + 36), 0xeb86d391, 21);

    A += a;
    B += b;
    C += c;
    D += d;
    p += 64;
  } while (--nBlocks != 0);
  pState[0] = A;
  pState[1] = B;
  pState[2] = C;
  pState[3] = D;
}

// Anything but exactly the bytes asked for means the file is not what was measured.
bool ReadExactly(int nFile, unsigned char* pBuffer, std::uint32_t nCount) {
  return _read(nFile, pBuffer, nCount) == static_cast<int>(nCount);
}

}  // namespace

CMd5Digest::CMd5Digest() : m_pContext(new Md5Context), m_pReceiver(nullptr) { Init(m_pContext); }

CMd5Digest::~CMd5Digest() { delete m_pContext; }

CString CMd5Digest::DigestText(const unsigned char* pInput, std::uint32_t nLength) {
  unsigned char digest[16];
  Update(m_pContext, pInput, nLength);
  Final(digest, m_pContext);
  return Render(digest);
}

CString CMd5Digest::DigestFile(const char* pszPath) {
  int nFile = _open(pszPath, _O_RDONLY | _O_BINARY);
  if (nFile < 0) return CString();
  std::int64_t nSize = _lseeki64(nFile, 0, SEEK_END);
  bool bRead = nSize >= 0 && _lseeki64(nFile, 0, SEEK_SET) == 0 && UpdateFromFile(m_pContext, nFile, nSize);
  // The reads never ask past the measured size, so only a second measure shows that the file grew.
  bRead = bRead && _lseeki64(nFile, 0, SEEK_END) == nSize;
  unsigned char digest[16];
  Final(digest, m_pContext);
  _close(nFile);
  return bRead ? Render(digest) : CString();
}

bool CMd5Digest::UpdateFromFile(Md5Context* pContext, int nFile, std::int64_t nSize) {
  if (nSize < 0) return false;
  std::uint32_t index = ByteIndex(pContext);
  std::uint32_t room = 64 - index;
  std::uint64_t size = static_cast<std::uint64_t>(nSize);
  AddBits(pContext->count, size << 3, size >> 61);

  std::unique_ptr<unsigned char[]> work(new unsigned char[kPieceSize]);
  if (nSize < room) {
    if (!ReadExactly(nFile, work.get(), static_cast<std::uint32_t>(nSize))) return false;
    CopyBytes(&pContext->buffer[index], work.get(), static_cast<std::uint32_t>(nSize));
    return true;
  }

  if (!ReadExactly(nFile, work.get(), room)) return false;
  CopyBytes(&pContext->buffer[index], work.get(), room);
  Transform(pContext->state, pContext->buffer);
  std::int64_t done = room;
  std::int64_t remaining = nSize - room;
  std::uint32_t n = 0;
  while (remaining != 0) {
    n = remaining < kPieceSize ? static_cast<std::uint32_t>(remaining) : kPieceSize;
    if (!ReadExactly(nFile, work.get(), n)) return false;
    if (n >= 64) CompressBlocks(pContext->state, work.get(), n / 64);
    done += n;
    if (m_pReceiver) m_pReceiver->UpdateProgress(nSize, done);
    remaining -= n;
  }
  CopyBytes(pContext->buffer, &work[n & ~63u], n & 63);
  return true;
}

void CMd5Digest::Init(Md5Context* pContext) {
  pContext->count[0] = pContext->count[1] = pContext->count[2] = pContext->count[3] = 0;
  pContext->state[0] = 0x67452301;
  pContext->state[1] = 0xefcdab89;
  pContext->state[2] = 0x98badcfe;
  pContext->state[3] = 0x10325476;
}

void CMd5Digest::Update(Md5Context* pContext, const unsigned char* pInput, std::uint32_t nLength) {
  std::uint32_t index = ByteIndex(pContext);
  AddBits(pContext->count, static_cast<std::uint64_t>(nLength) << 3, 0);
  std::uint32_t room = 64 - index;
  std::uint32_t i = 0;
  if (nLength >= room) {
    CopyBytes(&pContext->buffer[index], pInput, room);
    Transform(pContext->state, pContext->buffer);
    // The whole blocks that follow are compressed where they lie.
    std::uint32_t nBlocks = (nLength - room) / 64;
    if (nBlocks != 0) CompressBlocks(pContext->state, pInput + room, nBlocks);
    i = room + nBlocks * 64;
    index = 0;
  }
  CopyBytes(&pContext->buffer[index], pInput + i, nLength - i);
}

void CMd5Digest::Final(unsigned char* pDigest, Md5Context* pContext) {
  unsigned char bits[8];
  Encode(bits, pContext->count, 8);
  std::uint32_t index = ByteIndex(pContext);
  std::uint32_t padLength = index < 56 ? 56 - index : 120 - index;
  Update(pContext, kPadding, padLength);
  Update(pContext, bits, 8);
  Encode(pDigest, pContext->state, 16);
  FillBytes(reinterpret_cast<unsigned char*>(pContext), 0, sizeof *pContext);
}

void CMd5Digest::Transform(std::uint32_t* pState, const unsigned char* pBlock) {
  CompressBlocks(pState, pBlock, 1);
}

void CMd5Digest::Encode(unsigned char* pOutput, const std::uint32_t* pInput, std::uint32_t nLength) {
  for (std::uint32_t i = 0, j = 0; j < nLength; ++i, j += 4) {
    pOutput[j] = static_cast<unsigned char>(pInput[i]);
    pOutput[j + 1] = static_cast<unsigned char>(pInput[i] >> 8);
    pOutput[j + 2] = static_cast<unsigned char>(pInput[i] >> 16);
    pOutput[j + 3] = static_cast<unsigned char>(pInput[i] >> 24);
  }
}

void CMd5Digest::Decode(std::uint32_t* pOutput, const unsigned char* pInput, std::uint32_t nLength) {
  for (std::uint32_t i = 0, j = 0; j < nLength; ++i, j += 4) pOutput[i] = LoadLe32(pInput + j);
}

void CMd5Digest::CopyBytes(unsigned char* pDest, const unsigned char* pSource, std::uint32_t nLength) {
  for (std::uint32_t i = 0; i < nLength; ++i) pDest[i] = pSource[i];
}

void CMd5Digest::FillBytes(unsigned char* pDest, int nValue, std::uint32_t nLength) {
  const unsigned char value = static_cast<unsigned char>(nValue);
  for (std::uint32_t i = 0; i < nLength; ++i) pDest[i] = value;
}

CString CMd5Digest::Render(const unsigned char* pDigest) {
  CString text;
  for (int i = 0; i < 16; ++i) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", pDigest[i]);
    text += hex;
  }
  return text;
}
