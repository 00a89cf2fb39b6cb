// The file-drop edit on a host window, with drops built as the shell delivers them.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "controls/FileDropEdit.h"

namespace {

constexpr int kInputId = 1000;
constexpr char kUntouched[] = "untouched";

void PutDword(std::string& bytes, DWORD dw) {
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((dw >> (8 * i)) & 0xFF);
}

// A shortcut file written byte by byte (header and link information only), for a stored path longer than
// the shell's own link object would save.
void WriteRawShortcut(const std::string& strLinkPath, const std::string& strStoredPath) {
  std::string bytes;
  PutDword(bytes, 0x4C);  // header size
  const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
  bytes.append(reinterpret_cast<const char*>(clsid), sizeof clsid);
  PutDword(bytes, 0x02);  // flags: link information follows
  PutDword(bytes, FILE_ATTRIBUTE_ARCHIVE);
  bytes.append(24, '\0');  // creation, access and write times
  PutDword(bytes, 0);      // file size
  PutDword(bytes, 0);      // icon index
  PutDword(bytes, SW_SHOWNORMAL);
  bytes.append(12, '\0');  // hot key and reserved

  const DWORD dwInfoHeader = 0x1C;
  const DWORD dwVolumeSize = 0x11;  // four fields and an empty label
  const DWORD dwPathOffset = dwInfoHeader + dwVolumeSize;
  const DWORD dwSuffixOffset = dwPathOffset + static_cast<DWORD>(strStoredPath.size()) + 1;
  const DWORD dwInfoSize = dwSuffixOffset + 1;
  PutDword(bytes, dwInfoSize);
  PutDword(bytes, dwInfoHeader);
  PutDword(bytes, 0x01);  // a volume and a local base path
  PutDword(bytes, dwInfoHeader);
  PutDword(bytes, dwPathOffset);
  PutDword(bytes, 0);  // no network location
  PutDword(bytes, dwSuffixOffset);
  PutDword(bytes, dwVolumeSize);
  PutDword(bytes, DRIVE_FIXED);
  PutDword(bytes, 0x12345678);  // serial number
  PutDword(bytes, 0x10);        // label offset
  bytes += '\0';
  bytes += strStoredPath;
  bytes += '\0';
  bytes += '\0';       // empty path suffix
  PutDword(bytes, 0);  // no extra data

  HANDLE hFile = ::CreateFileA(strLinkPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
  DWORD dwWritten = 0;
  ::WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr);
  ::CloseHandle(hFile);
}

class FileDropEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(::CoInitialize(nullptr));
    ASSERT_TRUE(m_host.Create(RECT{560, 20, 960, 220}));
    // Without WS_EX_ACCEPTFILES, so that the attachment is seen to turn drops on.
    m_hWndInput = m_host.AddChild("EDIT", "", WS_BORDER | ES_AUTOHSCROLL, 0, kInputId, RECT{10, 10, 390, 34});
    ASSERT_NE(m_hWndInput, nullptr);
    ASSERT_TRUE(m_edit.SubclassDlgItem(kInputId, &m_host));
  }

  void TearDown() override {
    m_edit.UnsubclassWindow();
    ::CoUninitialize();
  }

  // Drops the names on the input and reports whether the drop was finished (its block freed).
  bool Drop(const std::vector<std::string>& names, bool bWide = true) {
    ::SetWindowTextA(m_hWndInput, kUntouched);
    m_host.m_nInputChanges = 0;
    HDROP hDrop = MakeDrop(names, bWide);
    ::SendMessageA(m_hWndInput, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0);
    return ::GlobalSize(hDrop) == 0;
  }

  std::string InputText() const {
    char szText[2048] = "";
    ::GetWindowTextA(m_hWndInput, szText, sizeof szText);
    return szText;
  }

  CTempDir m_dir;
  CTestHost m_host;
  CFileDropEdit m_edit;
  HWND m_hWndInput = nullptr;
};

TEST_F(FileDropEditTest, AttachmentTurnsDropsOn) {
  EXPECT_FALSE(m_edit.m_bAcceptFolders);
  EXPECT_TRUE(::GetWindowLongA(m_hWndInput, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

// Each drop either puts exactly one path into the field (with exactly one EN_CHANGE) or changes nothing,
// and is finished in every case.
TEST_F(FileDropEditTest, DropsTakeTheFirstExistingItemOfTheAcceptedKind) {
  const std::string strFile = m_dir.File("first file.txt");
  const std::string strSecond = m_dir.File("second.txt");
  const std::string strThird = m_dir.File("third.txt");
  const std::string strFolder = m_dir.Folder("a folder");
  const std::string strMissing = m_dir.Path("gone.txt");
  const std::string strToFile = m_dir.Path("to file.lnk");
  const std::string strToFolder = m_dir.Path("to folder.lnk");
  const std::string strToMissing = m_dir.Path("to missing.lnk");
  const std::string strToNothing = m_dir.Path("to nothing.lnk");
  MakeShortcut(strToFile, strFile);
  MakeShortcut(strToFolder, strFolder);
  MakeShortcut(strToMissing, strMissing);
  MakeShortcut(strToNothing, "");
  // Not a shortcut, although named like one: it is taken as the file it is.
  const std::string strFakeLink = m_dir.File("fake.lnk", "not a shell link");

  struct Case {
    const char* pszWhat;
    bool bAcceptFolders;
    std::vector<std::string> dropped;
    std::string strExpected;  // empty: the drop is ignored
    bool bWide;
  };
  const Case cases[] = {
      {"plain file", false, {strFile}, strFile, true},
      {"plain file, ANSI list", false, {strFile}, strFile, false},
      {"three files: the first only", false, {strFile, strSecond, strThird}, strFile, true},
      {"second of three first: still only the first", false, {strSecond, strFile, strThird}, strSecond, true},
      {"shortcut to a file: its target", false, {strToFile}, strFile, true},
      {"shortcut to a folder", false, {strToFolder}, "", true},
      {"shortcut to a missing file, its own path not used instead", false, {strToMissing}, "", true},
      {"shortcut storing no path: its own path", false, {strToNothing}, strToNothing, true},
      {"file named like a shortcut", false, {strFakeLink}, strFakeLink, true},
      {"folder", false, {strFolder}, "", true},
      {"missing file", false, {strMissing}, "", true},
      {"no item at all", false, {}, "", true},
      {"folders only: folder", true, {strFolder}, strFolder, true},
      {"folders only: shortcut to a folder", true, {strToFolder}, strFolder, true},
      {"folders only: file", true, {strFile}, "", true},
      {"folders only: shortcut to a file", true, {strToFile}, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszWhat);
    m_edit.m_bAcceptFolders = c.bAcceptFolders;
    EXPECT_TRUE(Drop(c.dropped, c.bWide)) << "the drop was not finished";
    if (c.strExpected.empty()) {
      EXPECT_EQ(InputText(), kUntouched);
      EXPECT_EQ(m_host.m_nInputChanges, 0);
    } else {
      EXPECT_EQ(InputText(), c.strExpected);
      EXPECT_EQ(m_host.m_nInputChanges, 1);
    }
  }
}

TEST_F(FileDropEditTest, FileOfFiveGibibytesIsAccepted) {
  const std::string strPath = m_dir.Path("five gibibytes.bin");
  HANDLE hFile = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
  DWORD dwReturned = 0;
  ::DeviceIoControl(hFile, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &dwReturned,
                    nullptr);  // where supported
  LARGE_INTEGER size;
  size.QuadPart = 5LL << 30;
  ASSERT_TRUE(::SetFilePointerEx(hFile, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(::SetEndOfFile(hFile));
  ::CloseHandle(hFile);

  EXPECT_TRUE(Drop({strPath}));
  EXPECT_EQ(InputText(), strPath);
  EXPECT_EQ(m_host.m_nInputChanges, 1);
}

// A stored path longer than the classic limit comes out of the ANSI link interface cut short, and the cut
// path may name another file. Such a shortcut counts as one without a target.
TEST_F(FileDropEditTest, ShortcutWhoseTargetDoesNotFitIsTakenAsItself) {
  const std::string strLongTarget = m_dir.Root() + "\\" + std::string(300, 'x');
  const size_t nCutName = MAX_PATH - 1 - m_dir.Root().size() - 1;
  ASSERT_LT(nCutName, 255u) << "the temporary directory is too short for this test";
  const std::string strCutTarget = m_dir.File(std::string(nCutName, 'x'));
  ASSERT_EQ(strCutTarget.size(), static_cast<size_t>(MAX_PATH - 1));
  const std::string strLink = m_dir.Path("long target.lnk");
  WriteRawShortcut(strLink, strLongTarget);

  EXPECT_TRUE(Drop({strLink}));
  EXPECT_EQ(InputText(), strLink);

  // A target that just fits is followed.
  const std::string strFitLink = m_dir.Path("fitting target.lnk");
  WriteRawShortcut(strFitLink, strCutTarget);
  EXPECT_TRUE(Drop({strFitLink}));
  EXPECT_EQ(InputText(), strCutTarget);
}

TEST_F(FileDropEditTest, PathTooLongToConvertIsNoShortcut) {
  CString strPath = (m_dir.Root() + "\\" + std::string(400, 'y') + ".lnk").c_str();
  const CString strBefore = strPath;
  EXPECT_TRUE(m_edit.ResolveShortcut(strPath).IsEmpty());
  EXPECT_EQ(strPath, strBefore);
}

// The host switches drops off in Text mode: the window no longer registers for shell drags. A message
// posted to it directly still arrives (only shell drags are refused), and switching back turns them on.
TEST_F(FileDropEditTest, HostSwitchesDropAcceptance) {
  const std::string strFile = m_dir.File("file.txt");
  m_edit.DragAcceptFiles(FALSE);
  EXPECT_FALSE(::GetWindowLongA(m_hWndInput, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

  ::SetWindowTextA(m_hWndInput, kUntouched);
  m_host.m_nInputChanges = 0;
  HDROP hDrop = MakeDrop({strFile}, true);
  ASSERT_TRUE(::PostMessageA(m_hWndInput, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0));
  EXPECT_TRUE(PumpMessages(2000, [&] { return m_host.m_nInputChanges > 0; }));
  EXPECT_EQ(InputText(), strFile);

  m_edit.DragAcceptFiles(TRUE);
  EXPECT_TRUE(::GetWindowLongA(m_hWndInput, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

}  // namespace
