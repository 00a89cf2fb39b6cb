// The record and its operations: standard MD5 for every length and every way of splitting the message.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "digest/Md5Digest.h"

namespace {

struct Message {
  std::string label;
  std::vector<unsigned char> bytes;
  const char* digest;  // the oracle
};

std::vector<unsigned char> Bytes(const char* text) { return {text, text + std::strlen(text)}; }

// RFC 1321 appendix A.5 (published values), then pattern messages around the pad boundaries with values
// from tests/digest/oracle.py (Python's hashlib).
std::vector<Message> Messages() {
  std::vector<Message> messages = {
      {"A.5 empty", Bytes(""), "D41D8CD98F00B204E9800998ECF8427E"},
      {"A.5 a", Bytes("a"), "0CC175B9C0F1B6A831C399E269772661"},
      {"A.5 abc", Bytes("abc"), "900150983CD24FB0D6963F7D28E17F72"},
      {"A.5 message digest", Bytes("message digest"), "F96B697D7CB7938D525A2F31AAF161D0"},
      {"A.5 alphabet", Bytes("abcdefghijklmnopqrstuvwxyz"), "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"A.5 alphanumerics", Bytes("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
       "D174AB98D277D9F5A5611C2C9F419D9F"},
      {"A.5 digits",
       Bytes("1234567890123456789012345678901234567890"
             "1234567890123456789012345678901234567890"),
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  const struct {
    std::size_t length;
    const char* digest;
  } kPatterns[] = {
      {55, "6912EE65FFF2D9F9CE2508CDDF8BCDA0"},    // pad 1 byte: one final block
      {56, "51FDD1ACDA72405DFDFA03FCB85896D7"},    // pad 64 bytes: a second final block
      {63, "48A6295221902E8E0938F773A7185E72"},    // pad 57 bytes
      {64, "B2D3F56BC197FD985D5965079B5E7148"},    // index 0, pad 56 bytes
      {65, "8BD7053801C768420FAF816FADBA971C"},    // pad 55 bytes
      {1000, "A24F1E3EF66950E1327F210E3997BA2C"},  // long enough for every piece schedule below
  };
  for (const auto& pattern : kPatterns)
    messages.push_back(
        {"pattern " + std::to_string(pattern.length), Pattern(pattern.length), pattern.digest});
  return messages;
}

// Piece lengths, used in turn and repeated until the message is used up.
const std::vector<std::vector<std::uint32_t>> kSchedules = {
    {0xFFFFFFFF},       // the whole message in one Update
    {1},                // byte by byte
    {63, 1, 64, 65},    // across and onto block boundaries
    {65, 0, 63, 0, 1},  // with empty Updates between
    {3, 128, 7},        // several whole blocks in one Update from a partly filled buffer
};

std::string DigestInPieces(const std::vector<unsigned char>& message,
                           const std::vector<std::uint32_t>& pieces, Md5Context* pContext) {
  CMd5Digest::Init(pContext);
  std::size_t offset = 0;
  for (std::size_t i = 0; offset < message.size(); ++i) {
    std::size_t length = std::min<std::size_t>(pieces[i % pieces.size()], message.size() - offset);
    CMd5Digest::Update(pContext, message.data() + offset, static_cast<std::uint32_t>(length));
    offset += length;
  }
  unsigned char digest[16];
  CMd5Digest::Final(digest, pContext);
  return Hex(digest);
}

bool AllZero(const Md5Context& context) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(&context);
  for (std::size_t i = 0; i < sizeof context; ++i)
    if (p[i] != 0) return false;
  return true;
}

TEST(Md5Context, EveryMessageInEveryScheduleGivesTheStandardDigestAndLeavesTheRecordZero) {
  for (const Message& message : Messages()) {
    for (const auto& schedule : kSchedules) {
      SCOPED_TRACE(message.label + ", first piece " + std::to_string(schedule[0]));
      Md5Context context;
      std::memset(&context, 0xA5, sizeof context);  // Init must not rely on a clean record
      EXPECT_EQ(DigestInPieces(message.bytes, schedule, &context), message.digest);
      EXPECT_TRUE(AllZero(context));
    }
  }
}

TEST(Md5Context, UpdateOfNothingChangesNothing) {
  Md5Context context;
  CMd5Digest::Init(&context);
  std::vector<unsigned char> bytes = Pattern(70);
  CMd5Digest::Update(&context, bytes.data(), 70);  // one block done, six bytes waiting
  Md5Context before = context;
  CMd5Digest::Update(&context, bytes.data(), 0);
  EXPECT_EQ(std::memcmp(&before, &context, sizeof context), 0);
}

// 8 x length no longer fits 32 bits: the length field's upper bytes are non-zero.
TEST(Md5Context, MessageOver2To29BytesInOneUpdate) {
  const std::uint32_t kLength = (1u << 29) + 13;
  std::vector<unsigned char> message = Pattern(kLength);
  Md5Context context;
  CMd5Digest::Init(&context);
  CMd5Digest::Update(&context, message.data(), kLength);
  EXPECT_EQ(context.count[0], 104u);  // 8 x length = 2^32 + 104
  EXPECT_EQ(context.count[1], 1u);
  unsigned char digest[16];
  CMd5Digest::Final(digest, &context);
  EXPECT_EQ(Hex(digest), "A5FF00C3D1DECFD363527F3B24CD4209");  // oracle.py
}

TEST(Md5Context, BitCountCarriesThroughAll128Bits) {
  Md5Context context;
  CMd5Digest::Init(&context);
  context.count[0] = 0xFFFFFFF8;  // 2^64 - 8 bits: one byte short of carrying into the upper half
  context.count[1] = 0xFFFFFFFF;
  context.count[2] = 0xFFFFFFFF;
  const unsigned char byte = 'x';
  CMd5Digest::Update(&context, &byte, 1);
  EXPECT_EQ(context.count[0], 0u);
  EXPECT_EQ(context.count[1], 0u);
  EXPECT_EQ(context.count[2], 0u);
  EXPECT_EQ(context.count[3], 1u);
}

TEST(Md5Context, ByteRoutines) {
  const std::uint32_t words[2] = {0x04030201, 0xDDCCBBAA};
  unsigned char bytes[9] = {};
  CMd5Digest::Encode(bytes, words, 8);
  const unsigned char kLittleEndian[9] = {1, 2, 3, 4, 0xAA, 0xBB, 0xCC, 0xDD, 0};
  EXPECT_EQ(std::memcmp(bytes, kLittleEndian, 9), 0);

  std::uint32_t decoded[2] = {};
  unsigned char unaligned[9] = {0xEE, 1, 2, 3, 4, 0xAA, 0xBB, 0xCC, 0xDD};
  CMd5Digest::Decode(decoded, unaligned + 1, 8);
  EXPECT_EQ(decoded[0], words[0]);
  EXPECT_EQ(decoded[1], words[1]);

  for (std::uint32_t length : {0u, 1u, 3u, 4u, 7u}) {
    unsigned char filled[8];
    std::memset(filled, 0x11, sizeof filled);
    CMd5Digest::FillBytes(filled, 0x1AB, length);  // only the low 8 bits count
    for (std::uint32_t i = 0; i < sizeof filled; ++i)
      EXPECT_EQ(filled[i], i < length ? 0xAB : 0x11) << "length " << length << ", byte " << i;

    unsigned char copied[8];
    std::memset(copied, 0x22, sizeof copied);
    CMd5Digest::CopyBytes(copied, kLittleEndian, length);
    for (std::uint32_t i = 0; i < sizeof copied; ++i)
      EXPECT_EQ(copied[i], i < length ? kLittleEndian[i] : 0x22) << "length " << length << ", byte " << i;
  }
}

}  // namespace
