// libFuzzer target: any message, split into any pieces, must give OpenSSL's MD5 through Update, through
// DigestText, and through UpdateFromFile after a fed prefix (a partly filled block, pieces of 65,536).
#include <fuzzer/FuzzedDataProvider.h>
#include <openssl/evp.h>
#include <stdio.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "digest/Md5Digest.h"

namespace {

void Expect(bool bHolds, const char* what) {
  if (bHolds) return;
  fprintf(stderr, "digest mismatch: %s\n", what);
  std::abort();
}

void Render(const unsigned char* pDigest, char* pText) {
  for (int i = 0; i < 16; ++i) snprintf(pText + 2 * i, 3, "%02X", pDigest[i]);
}

class CCheckingReceiver final : public CProgressReceiver {
 public:
  void UpdateProgress(std::int64_t total, std::int64_t done) override {
    Expect(total == m_nTotal && done > m_nLastDone && done <= total, "progress");
    m_nLastDone = done;
  }
  std::int64_t m_nTotal = 0;
  std::int64_t m_nLastDone = 0;
};

// One scratch file for the process, rewritten for every input.
int ScratchFile() {
  static int nFile = [] {
    FILE* pFile = tmpfile();
    return pFile ? fileno(pFile) : -1;
  }();
  return nFile;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  FuzzedDataProvider provider(pData, nSize);
  std::vector<std::uint32_t> pieces(provider.ConsumeIntegralInRange<std::size_t>(1, 8));
  for (std::uint32_t& piece : pieces) piece = provider.ConsumeIntegralInRange<std::uint32_t>(0, 300);
  pieces.back() += 1;  // every round of pieces moves on
  // Now and then the message is tiled out past a few file pieces.
  std::size_t nTiled = provider.ConsumeBool() ? provider.ConsumeIntegralInRange<std::size_t>(0, 200000) : 0;
  std::vector<unsigned char> message = provider.ConsumeRemainingBytes<unsigned char>();
  if (nTiled != 0 && !message.empty()) {
    std::vector<unsigned char> tiled(nTiled);
    for (std::size_t i = 0; i < nTiled; ++i) tiled[i] = message[i % message.size()];
    message.swap(tiled);
  }

  unsigned char expected[16];
  EVP_Digest(message.data(), message.size(), expected, nullptr, EVP_md5(), nullptr);
  char expectedText[33];
  Render(expected, expectedText);

  // Split feeding.
  Md5Context context;
  CMd5Digest::Init(&context);
  std::size_t offset = 0;
  for (std::size_t i = 0; offset < message.size(); ++i) {
    std::size_t length = std::min<std::size_t>(pieces[i % pieces.size()], message.size() - offset);
    CMd5Digest::Update(&context, message.data() + offset, static_cast<std::uint32_t>(length));
    offset += length;
  }
  unsigned char actual[16];
  CMd5Digest::Final(actual, &context);
  Expect(std::memcmp(actual, expected, 16) == 0, "split Update");

  // Whole text.
  {
    CMd5Digest digest;
    Expect(digest.DigestText(message.data(), static_cast<std::uint32_t>(message.size())) == expectedText,
           "DigestText");
  }

  // The first piece's length fed by Update, the rest read from a file.
  int nFile = ScratchFile();
  if (nFile < 0) return 0;
  std::size_t prefix = std::min<std::size_t>(pieces[0], message.size());
  std::size_t rest = message.size() - prefix;
  Expect(ftruncate(nFile, 0) == 0 &&
             pwrite(nFile, message.data() + prefix, rest, 0) == static_cast<ssize_t>(rest) &&
             lseek(nFile, 0, SEEK_SET) == 0,
         "scratch file");
  CCheckingReceiver receiver;
  receiver.m_nTotal = static_cast<std::int64_t>(rest);
  CMd5Digest digest;
  digest.m_pReceiver = &receiver;
  CMd5Digest::Update(digest.m_pContext, message.data(), static_cast<std::uint32_t>(prefix));
  Expect(digest.UpdateFromFile(digest.m_pContext, nFile, static_cast<std::int64_t>(rest)), "UpdateFromFile");
  CMd5Digest::Final(actual, digest.m_pContext);
  Expect(std::memcmp(actual, expected, 16) == 0, "Update then UpdateFromFile");
  return 0;
}
