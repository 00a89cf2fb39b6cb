// Whole digests: text, files read in pieces with progress, files that change or vanish while read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "TestFiles.h"
#include "digest/Md5Digest.h"
#include "platform/RuntimeIo.h"

namespace {

using Call = std::pair<std::int64_t, std::int64_t>;  // (total, done)

// Records every progress call; can act on the file at one exact call, as another program might.
class CRecordingReceiver final : public CProgressReceiver {
 public:
  void UpdateProgress(std::int64_t total, std::int64_t done) override {
    m_calls.emplace_back(total, done);
    if (m_onCall && m_calls.size() == m_nActAtCall) m_onCall();
  }
  std::vector<Call> m_calls;
  std::size_t m_nActAtCall = 0;
  std::function<void()> m_onCall;
};

std::vector<Call> Calls(std::int64_t total, std::vector<std::int64_t> dones) {
  std::vector<Call> calls;
  for (std::int64_t done : dones) calls.emplace_back(total, done);
  return calls;
}

TEST(Md5Text, DigestTextGivesTheStandardDigestAsUpperCaseHex) {
  const struct {
    std::vector<unsigned char> bytes;
    const char* digest;
  } kCases[] = {
      {{}, "D41D8CD98F00B204E9800998ECF8427E"},               // RFC 1321 A.5
      {{'a', 'b', 'c'}, "900150983CD24FB0D6963F7D28E17F72"},  // RFC 1321 A.5
      {Pattern(65), "8BD7053801C768420FAF816FADBA971C"},      // oracle.py
      {Pattern(200000), "415D6E662118C229C6AD3F950C24702A"},  // oracle.py
  };
  for (const auto& test : kCases) {
    CMd5Digest digest;
    CString text = digest.DigestText(test.bytes.data(), static_cast<std::uint32_t>(test.bytes.size()));
    EXPECT_EQ(std::string(text.GetString()), test.digest);
  }
}

// The file is read as 64 bytes and then pieces of 65,536; one call after each piece.
TEST(Md5File, SizesAroundThePieceBoundariesGiveTheStandardDigestAndExactProgress) {
  const struct {
    std::int64_t size;
    const char* digest;  // oracle.py
    std::vector<std::int64_t> dones;
  } kCases[] = {
      {0, "D41D8CD98F00B204E9800998ECF8427E", {}},
      {1, "93B885ADFE0DA089CDF634904FD59F71", {}},
      {63, "48A6295221902E8E0938F773A7185E72", {}},
      {64, "B2D3F56BC197FD985D5965079B5E7148", {}},
      {65, "8BD7053801C768420FAF816FADBA971C", {65}},
      {65599, "14F9B7F1EA08C1169477B678FBE0848F", {65599}},
      {65600, "A3BBFB10362557E7E0141E13B42B7F18", {65600}},
      {65601, "071AE8D6C3CE2E064D009F7B7DBD7CCB", {65600, 65601}},
      {131135, "7C31BE31408D19DBEB4B4CFE642C31DD", {65600, 131135}},
      {131136, "B129E43C632380E6CCF42EC18F4FD4A8", {65600, 131136}},
      {131137, "EDBF55AD6A4C31C47D01678147B844E5", {65600, 131136, 131137}},
      {196671, "C7F4573C45F90B4987048EB99037AE34", {65600, 131136, 196671}},
      {196672, "73E6A2E65161C8E2543AB25F309095AE", {65600, 131136, 196672}},
      {196673, "70E5EFCF83E69C602526D72DFF79693B", {65600, 131136, 196672, 196673}},
      {200000, "415D6E662118C229C6AD3F950C24702A", {65600, 131136, 196672, 200000}},
  };
  CTempPath file("sizes.bin");
  for (const auto& test : kCases) {
    SCOPED_TRACE("size " + std::to_string(test.size));
    WriteFile(file.Path(), Pattern(static_cast<std::size_t>(test.size)));
    CRecordingReceiver receiver;
    CMd5Digest digest;
    digest.m_pReceiver = &receiver;
    EXPECT_EQ(std::string(digest.DigestFile(file.Path().c_str()).GetString()), test.digest);
    EXPECT_EQ(receiver.m_calls, Calls(test.size, test.dones));
  }
}

// A record that already holds part of a block: the file's first piece only fills that block.
TEST(Md5File, UpdateFromFileContinuesAPartlyFilledBlock) {
  CTempPath file("continued.bin");
  WriteFile(file.Path(), Pattern(70000));
  CRecordingReceiver receiver;
  CMd5Digest digest;
  digest.m_pReceiver = &receiver;
  const unsigned char prefix[5] = {'a', 'b', 'c', 'd', 'e'};
  CMd5Digest::Update(digest.m_pContext, prefix, 5);

  int nFile = _open(file.Path().c_str(), _O_RDONLY | _O_BINARY);
  ASSERT_GE(nFile, 0);
  EXPECT_TRUE(digest.UpdateFromFile(digest.m_pContext, nFile, 70000));
  _close(nFile);
  unsigned char bytes[16];
  CMd5Digest::Final(bytes, digest.m_pContext);
  EXPECT_EQ(Hex(bytes), "071B71CBD7A848C9D8B665F57620835B");  // oracle.py
  EXPECT_EQ(receiver.m_calls, Calls(70000, {59 + 65536, 70000}));
}

// Another program changes the file at an exact piece: the stream ends there and no digest is given.
TEST(Md5File, FileChangedWhileReadGivesNoDigest) {
  const std::int64_t kSize = 200000;
  const struct {
    const char* label;
    std::size_t nAtCall;
    std::int64_t newSize;  // truncate to this size, or extend when larger than the file
    std::size_t nCalls;    // calls seen in all: none after the read that found the change
  } kCases[] = {
      {"truncated at a piece boundary: the next read gets nothing", 1, 65600, 1},
      {"truncated inside the next piece: a short read", 2, 131136 + 1000, 2},
      {"truncated inside the last piece", 3, 196672 + 10, 3},
      {"extended: read as measured, then found longer", 1, kSize + 10, 4},
      {"extended at the last piece", 4, kSize + 1, 4},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.label);
    CTempPath file("changed.bin");
    WriteFile(file.Path(), Pattern(kSize));
    CRecordingReceiver receiver;
    receiver.m_nActAtCall = test.nAtCall;
    receiver.m_onCall = [&] {
      if (test.newSize > kSize)
        AppendToFile(file.Path(), Pattern(static_cast<std::size_t>(test.newSize - kSize), kSize));
      else
        ResizeFile(file.Path(), static_cast<std::uint64_t>(test.newSize));
    };
    CMd5Digest digest;
    digest.m_pReceiver = &receiver;
    EXPECT_TRUE(digest.DigestFile(file.Path().c_str()).IsEmpty());
    EXPECT_EQ(receiver.m_calls.size(), test.nCalls);
  }
}

TEST(Md5File, PathThatCannotBeReadAsAFileGivesNoDigest) {
  CTempPath vanished("vanished.bin");
  WriteFile(vanished.Path(), Pattern(100));
  RemovePath(vanished.Path());
  CTempPath directory("directory");
  std::filesystem::create_directory(directory.Path());

  for (const std::string& path : {vanished.Path(), directory.Path()}) {
    SCOPED_TRACE(path);
    CRecordingReceiver receiver;
    CMd5Digest digest;
    digest.m_pReceiver = &receiver;
    EXPECT_TRUE(digest.DigestFile(path.c_str()).IsEmpty());
    EXPECT_TRUE(receiver.m_calls.empty());
  }
}

// Sizes, offsets and counters past 32 bits: zeros (a hole) up to 4 GiB, then data.
TEST(Md5File, SparseFileOver4GiB) {
  const std::int64_t kSize = (std::int64_t{1} << 32) + 100000;
  CTempPath file("sparse.bin");
  WriteFileAt(file.Path(), std::uint64_t{1} << 32, Pattern(100000));
  CRecordingReceiver receiver;
  CMd5Digest digest;
  digest.m_pReceiver = &receiver;
  EXPECT_EQ(std::string(digest.DigestFile(file.Path().c_str()).GetString()),
            "FEC6585C692195B4F4595902DD2B813F");  // oracle.py

  // 64 bytes, 65,536 full pieces and a last one of 34,400 bytes.
  ASSERT_EQ(receiver.m_calls.size(), 65538u);
  std::int64_t expected = 64;
  for (const Call& call : receiver.m_calls) {
    expected = std::min(expected + 65536, kSize);
    ASSERT_EQ(call, Call(kSize, expected));
  }
}

}  // namespace
