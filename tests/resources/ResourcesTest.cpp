// Reads the built program's resources back, as the system sees them, and checks every field the code and
// the system rely on: dialog templates, string, version block, manifest, bitmaps and icon.
#include <windows.h>
// The other system headers need the types of the one above.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "Maker.h"
#include "resource.h"

static_assert(IDM_ABOUTBOX == 0x0010 && (IDM_ABOUTBOX & 0x000F) == 0,
              "system-menu commands keep bits 0-3 clear");
static_assert(IDC_STATIC == -1, "unaddressed controls");

namespace {

const WORD kLangUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

using Bytes = std::vector<uint8_t>;

std::string ProgramPath() {
  std::string path = QUORVEX_EXE;
  // The build tree has a Unix path; Wine shows the Unix root as drive Z.
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  return path;
}

Bytes ResourceOf(HMODULE module, LPCSTR type, int id) {
  HRSRC info = FindResourceExA(module, type, MAKEINTRESOURCEA(id), kLangUs);
  if (info == nullptr) return {};
  HGLOBAL handle = LoadResource(module, info);
  const auto* data = static_cast<const uint8_t*>(LockResource(handle));
  if (data == nullptr) return {};
  return Bytes(data, data + SizeofResource(module, info));
}

// Little-endian reader over a resource, with the alignment rules of templates and version blocks.
class Reader {
 public:
  explicit Reader(const Bytes& bytes, size_t begin = 0, size_t end = SIZE_MAX)
      : bytes_(bytes), pos_(begin), end_(end < bytes.size() ? end : bytes.size()) {}

  bool ok() const { return ok_; }
  size_t pos() const { return pos_; }
  bool AtEnd() const { return pos_ >= end_; }
  void Align4() { pos_ = (pos_ + 3) & ~size_t{3}; }
  void Seek(size_t pos) { pos_ = pos; }

  uint32_t Read(size_t width) {
    if (pos_ + width > end_) {
      ok_ = false;
      pos_ = end_;
      return 0;
    }
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) value |= uint32_t{bytes_[pos_ + i]} << (8 * i);
    pos_ += width;
    return value;
  }
  uint8_t Byte() { return static_cast<uint8_t>(Read(1)); }
  uint16_t Word() { return static_cast<uint16_t>(Read(2)); }
  uint32_t Dword() { return Read(4); }
  int Short() { return static_cast<int16_t>(Word()); }

  // A NUL-terminated UTF-16 string of ASCII characters, narrowed for comparison.
  std::string WideString() {
    std::string text;
    for (uint16_t ch = Word(); ok_ && ch != 0; ch = Word()) text += ch < 0x80 ? static_cast<char>(ch) : '?';
    return text;
  }

 private:
  const Bytes& bytes_;
  size_t pos_;
  size_t end_;
  bool ok_ = true;
};

// A name field of a template: empty, an ordinal or a string.
struct NameOrOrdinal {
  bool ordinal = false;
  uint16_t number = 0;
  std::string text;
};

NameOrOrdinal ReadNameOrOrdinal(Reader& in) {
  NameOrOrdinal name;
  uint16_t first = in.Word();
  if (first == 0xFFFF) {
    name.ordinal = true;
    name.number = in.Word();
  } else if (first != 0) {
    in.Seek(in.pos() - 2);
    name.text = in.WideString();
  }
  return name;
}

struct DialogItem {
  uint32_t help_id, ex_style, style;
  int x, y, cx, cy;
  int32_t id;
  NameOrOrdinal window_class, title;
  uint16_t creation_bytes;
};

struct Dialog {
  uint16_t version, signature;
  uint32_t help_id, ex_style, style;
  int x, y, cx, cy;
  NameOrOrdinal menu, window_class;
  std::string title;
  uint16_t point_size, weight;
  uint8_t italic, charset;
  std::string face;
  std::vector<DialogItem> items;
  bool complete;
};

Dialog ParseDialogEx(const Bytes& bytes) {
  Reader in(bytes);
  Dialog d{};
  d.version = in.Word();
  d.signature = in.Word();
  d.help_id = in.Dword();
  d.ex_style = in.Dword();
  d.style = in.Dword();
  uint16_t count = in.Word();
  d.x = in.Short();
  d.y = in.Short();
  d.cx = in.Short();
  d.cy = in.Short();
  d.menu = ReadNameOrOrdinal(in);
  d.window_class = ReadNameOrOrdinal(in);
  d.title = in.WideString();
  if (d.style & DS_SETFONT) {
    d.point_size = in.Word();
    d.weight = in.Word();
    d.italic = in.Byte();
    d.charset = in.Byte();
    d.face = in.WideString();
  }
  for (uint16_t i = 0; i < count && in.ok(); ++i) {
    in.Align4();
    DialogItem item{};
    item.help_id = in.Dword();
    item.ex_style = in.Dword();
    item.style = in.Dword();
    item.x = in.Short();
    item.y = in.Short();
    item.cx = in.Short();
    item.cy = in.Short();
    item.id = static_cast<int32_t>(in.Dword());
    item.window_class = ReadNameOrOrdinal(in);
    item.title = ReadNameOrOrdinal(in);
    item.creation_bytes = in.Word();
    in.Seek(in.pos() + item.creation_bytes);
    d.items.push_back(item);
  }
  d.complete = in.ok() && d.items.size() == count;
  return d;
}

// The predefined classes may be stored as ordinals or as names, in any case.
std::string ClassName(const NameOrOrdinal& name) {
  if (name.ordinal) {
    switch (name.number) {
      case 0x80:
        return "BUTTON";
      case 0x81:
        return "EDIT";
      case 0x82:
        return "STATIC";
      default:
        return "#" + std::to_string(name.number);
    }
  }
  std::string upper = name.text;
  for (char& ch : upper) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
  return upper;
}

struct ExpectedItem {
  int id;
  const char* window_class;
  const char* text;  // nullptr: the title is the ordinal below
  int title_ordinal;
  int x, y, cx, cy;
  uint32_t style, ex_style;
};

struct ExpectedDialog {
  int id;
  const char* caption;
  int cx, cy;
  uint32_t style, ex_style;
  std::vector<ExpectedItem> items;
};

const std::vector<ExpectedDialog>& ExpectedDialogs() {
  static const std::vector<ExpectedDialog> dialogs = {
      {100,
       "Quorvex 2.5 by Maelbrook",
       230,
       54,
       0x80C000C8,
       0,
       {
           {-1, "STATIC", "Quorvex  version 2.5.002\nMD5 checksum generator", 0, 42, 9, 119, 21, 0x50020080,
            0},
           {-1, "STATIC", QUORVEX_COPYRIGHT, 0, 42, 37, 119, 8, 0x50020000, 0},
           {1, "BUTTON", "OK", 0, 168, 8, 50, 14, 0x50030001, 0},
           {-1, "STATIC", nullptr, 128, 8, 8, 20, 20, 0x50000203, 0},
       }},
      {102,
       "Quorvex 2.5.002 by Maelbrook",
       359,
       132,
       0x90CA10C8,
       0x00040000,
       {
           {1006, "BUTTON", "&File", 0, 16, 23, 82, 11, 0x50030009, 0},
           {1007, "BUTTON", "Text&", 0, 128, 25, 78, 9, 0x50010009, 0},
           {1000, "EDIT", "", 0, 16, 43, 313, 14, 0x50810080, 0x10},
           {1001, "BUTTON", ">>", 0, 330, 43, 14, 14, 0x5001800B, 0},
           {-1, "BUTTON", "Enter text or select file to generate MD5 Checksum", 0, 7, 7, 345, 68, 0x50000007,
            0},
           {1003, "BUTTON", "", 0, 15, 62, 328, 10, 0x5001800B, 0},
           {1002, "EDIT", "", 0, 6, 84, 346, 14, 0x50810881, 0},
           {1004, "STATIC", "Maelbrook Home", 0, 6, 113, 126, 12, 0x50020000, 0},
           {1, "BUTTON", "Generate &MD5", 0, 206, 111, 73, 14, 0x50010001, 0},
           {2, "BUTTON", "E&xit", 0, 281, 111, 71, 14, 0x50010000, 0},
       }},
  };
  return dialogs;
}

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "RGB(" << c.r << ", " << c.g << ", " << c.b << ")";
}

const Rgb kKey{192, 192, 192};
const Rgb kWhite{255, 255, 255};

// A 24-bit bitmap resource: header followed directly by bottom-up rows.
struct Bitmap {
  BITMAPINFOHEADER header{};
  const uint8_t* bits = nullptr;
  size_t stride = 0;
  int width() const { return header.biWidth; }
  int height() const { return header.biHeight; }
  Rgb At(int x, int y) const {  // y = 0 is the top row
    const uint8_t* p = bits + (height() - 1 - y) * stride + x * 3;
    return {p[2], p[1], p[0]};
  }
};

// Checks the format every bitmap of the program shares and returns the pixel view.
Bitmap CheckedBitmap(const Bytes& bytes, int width, int height) {
  Bitmap bitmap;
  if (bytes.size() < sizeof(BITMAPINFOHEADER)) {
    ADD_FAILURE() << "bitmap resource missing or too short: " << bytes.size() << " bytes";
    return bitmap;
  }
  std::memcpy(&bitmap.header, bytes.data(), sizeof bitmap.header);
  const BITMAPINFOHEADER& h = bitmap.header;
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, width);
  EXPECT_EQ(h.biHeight, height) << "rows are stored bottom-up";
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(h.biClrUsed, 0u);
  bitmap.stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  EXPECT_EQ(bytes.size(), 40 + bitmap.stride * height) << "no colour table, nothing after the rows";
  if (h.biWidth != width || h.biHeight != height || bytes.size() < 40 + bitmap.stride * height)
    return Bitmap{};
  bitmap.bits = bytes.data() + 40;
  return bitmap;
}

class ProgramResources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  static void TearDownTestSuite() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load " << ProgramPath(); }

  static Bytes Resource(LPCSTR type, int id) { return ResourceOf(module_, type, id); }

  static HMODULE module_;
};

HMODULE ProgramResources::module_ = nullptr;

// --- Inventory -------------------------------------------------------------------------------------------

using Entry = std::tuple<uintptr_t, uintptr_t, WORD>;  // type, name, language

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD language, LONG_PTR found) {
  // A resource named by a string would show up as a huge number; none is expected.
  reinterpret_cast<std::set<Entry>*>(found)->emplace(reinterpret_cast<uintptr_t>(type),
                                                     reinterpret_cast<uintptr_t>(name), language);
  return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found) {
  EnumResourceLanguagesA(module, type, name, AddLanguage, found);
  return TRUE;
}

BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR found) {
  EnumResourceNamesA(module, type, AddName, found);
  return TRUE;
}

std::set<Entry> Inventory(HMODULE module) {
  std::set<Entry> found;
  EnumResourceTypesA(module, AddType, reinterpret_cast<LONG_PTR>(&found));
  return found;
}

const std::set<Entry>& ExpectedInventory() {
  static const std::set<Entry> expected = {
      {3, 1, kLangUs},                                                             // the icon's image
      {14, 128, kLangUs},                                                          // icon group
      {5, 100, kLangUs},  {5, 102, kLangUs},                                       // dialogs
      {6, 7, kLangUs},                                                             // string block of 101
      {2, 131, kLangUs},  {2, 132, kLangUs}, {2, 200, kLangUs}, {16, 1, kLangUs},  // version
      {24, 1, kLangUs},                                                            // manifest
  };
  return expected;
}

TEST_F(ProgramResources, HoldsExactlyItsOwnResourcesAllInUsEnglish) {
  EXPECT_EQ(Inventory(module_), ExpectedInventory());
}

// The dialog tests link the same compiled resources into their own module; they must be the program's.
TEST_F(ProgramResources, ObjectLibraryCarriesTheSameResourcesIntoATestModule) {
  HMODULE self = GetModuleHandleA(nullptr);
  EXPECT_EQ(Inventory(self), ExpectedInventory());
  for (const Entry& entry : ExpectedInventory()) {
    auto type = MAKEINTRESOURCEA(std::get<0>(entry));
    int id = static_cast<int>(std::get<1>(entry));
    SCOPED_TRACE("type " + std::to_string(std::get<0>(entry)) + " id " + std::to_string(id));
    Bytes mine = ResourceOf(self, type, id);
    EXPECT_FALSE(mine.empty());
    EXPECT_EQ(mine, Resource(type, id));
  }
}

// --- Dialog templates ------------------------------------------------------------------------------------

class DialogTemplate : public ProgramResources, public ::testing::WithParamInterface<ExpectedDialog> {};

TEST_P(DialogTemplate, MatchesTheLayout) {
  const ExpectedDialog& want = GetParam();
  Bytes bytes = Resource(RT_DIALOG, want.id);
  ASSERT_FALSE(bytes.empty()) << "dialog " << want.id << " missing";
  Dialog got = ParseDialogEx(bytes);
  ASSERT_TRUE(got.complete) << "template ends early";

  EXPECT_EQ(got.version, 1);
  EXPECT_EQ(got.signature, 0xFFFF) << "extended template";
  EXPECT_EQ(got.help_id, 0u);
  EXPECT_EQ(got.style, want.style) << std::hex << got.style;
  EXPECT_EQ(got.ex_style, want.ex_style) << std::hex << got.ex_style;
  EXPECT_EQ(std::tie(got.x, got.y, got.cx, got.cy), std::make_tuple(0, 0, want.cx, want.cy));
  EXPECT_TRUE(!got.menu.ordinal && got.menu.text.empty()) << "no menu";
  EXPECT_TRUE(!got.window_class.ordinal && got.window_class.text.empty()) << "default dialog class";
  EXPECT_EQ(got.title, want.caption);
  EXPECT_EQ(got.point_size, 8);
  EXPECT_EQ(got.weight, 0);
  EXPECT_EQ(got.italic, 0);
  EXPECT_EQ(got.charset, DEFAULT_CHARSET);
  EXPECT_EQ(got.face, "MS Shell Dlg");

  ASSERT_EQ(got.items.size(), want.items.size());
  for (size_t i = 0; i < want.items.size(); ++i) {
    const ExpectedItem& w = want.items[i];
    const DialogItem& g = got.items[i];
    SCOPED_TRACE("control #" + std::to_string(i + 1) + " (id " + std::to_string(w.id) + ")");
    EXPECT_EQ(g.id, w.id);
    EXPECT_EQ(ClassName(g.window_class), w.window_class);
    if (w.text != nullptr) {
      EXPECT_FALSE(g.title.ordinal);
      EXPECT_EQ(g.title.text, w.text);
    } else {
      EXPECT_TRUE(g.title.ordinal);
      EXPECT_EQ(g.title.number, w.title_ordinal);
    }
    EXPECT_EQ(std::tie(g.x, g.y, g.cx, g.cy), std::tie(w.x, w.y, w.cx, w.cy));
    EXPECT_EQ(g.style, w.style) << std::hex << g.style;
    EXPECT_EQ(g.ex_style, w.ex_style) << std::hex << g.ex_style;
    EXPECT_EQ(g.help_id, 0u);
    EXPECT_EQ(g.creation_bytes, 0);
  }
}

void PrintTo(const ExpectedDialog& dialog, std::ostream* out) { *out << "dialog " << dialog.id; }

INSTANTIATE_TEST_SUITE_P(Program, DialogTemplate, ::testing::ValuesIn(ExpectedDialogs()),
                         [](const ::testing::TestParamInfo<ExpectedDialog>& info) {
                           return info.param.id == 100 ? std::string("About") : std::string("Main");
                         });

// --- String ----------------------------------------------------------------------------------------------

TEST_F(ProgramResources, StringBlockSevenHoldsOnlyTheAboutItem) {
  Bytes block = Resource(RT_STRING, 7);
  ASSERT_FALSE(block.empty());
  Reader in(block);
  for (int index = 0; index < 16; ++index) {  // ids 96..111, counted UTF-16 strings
    SCOPED_TRACE("string " + std::to_string(96 + index));
    uint16_t length = in.Word();
    std::string text;
    for (uint16_t i = 0; i < length; ++i) text += static_cast<char>(in.Word());
    EXPECT_EQ(text, index == 5 ? "&About MD5..." : "");
  }
  EXPECT_TRUE(in.ok());
  EXPECT_TRUE(in.AtEnd());

  char loaded[64] = {};
  EXPECT_EQ(LoadStringA(module_, 101, loaded, sizeof loaded), 13);
  EXPECT_STREQ(loaded, "&About MD5...");
}

// --- Version block ---------------------------------------------------------------------------------------

struct VersionNode {
  std::string key;
  uint16_t type = 0;
  uint16_t value_length = 0;
  Bytes value;       // binary values
  std::string text;  // text values
  std::vector<VersionNode> children;
};

bool ParseVersionNode(const Bytes& bytes, size_t begin, VersionNode& node, size_t& next) {
  Reader in(bytes, begin);
  uint16_t length = in.Word();
  size_t end = begin + length;
  if (length < 6 || end > bytes.size()) return false;
  Reader body(bytes, in.pos(), end);
  node.value_length = body.Word();
  node.type = body.Word();
  node.key = body.WideString();
  body.Align4();
  if (node.type == 1 && node.value_length > 0) {
    // Text: read up to the NUL; compilers disagree on whether the length counts it. A text node is a leaf.
    node.text = body.WideString();
    next = end;
    return body.ok();
  } else {
    for (uint16_t i = 0; i < node.value_length; ++i) node.value.push_back(body.Byte());
    body.Align4();
  }
  size_t pos = body.pos();
  while (pos + 6 <= end && body.ok()) {
    VersionNode child;
    if (!ParseVersionNode(bytes, pos, child, pos)) return false;
    node.children.push_back(child);
    pos = (pos + 3) & ~size_t{3};
  }
  next = end;
  return body.ok();
}

TEST_F(ProgramResources, VersionBlock) {
  Bytes bytes = Resource(RT_VERSION, 1);
  ASSERT_FALSE(bytes.empty());
  VersionNode root;
  size_t end = 0;
  ASSERT_TRUE(ParseVersionNode(bytes, 0, root, end));
  EXPECT_EQ(root.key, "VS_VERSION_INFO");
  ASSERT_EQ(root.value.size(), sizeof(VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, root.value.data(), sizeof fixed);
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed.dwStrucVersion, 0x00010000u);
  EXPECT_EQ(fixed.dwFileVersionMS, 0x00020005u);
  EXPECT_EQ(fixed.dwFileVersionLS, 0x00000002u);
  EXPECT_EQ(fixed.dwProductVersionMS, 0x00020005u);
  EXPECT_EQ(fixed.dwProductVersionLS, 0x00000002u);
  EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed.dwFileFlags, 0u);
  EXPECT_EQ(fixed.dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed.dwFileSubtype, 0u);
  EXPECT_EQ(fixed.dwFileDateMS, 0u);
  EXPECT_EQ(fixed.dwFileDateLS, 0u);

  ASSERT_EQ(root.children.size(), 2u);
  const VersionNode& string_info = root.children[0];
  const VersionNode& var_info = root.children[1];
  EXPECT_EQ(string_info.key, "StringFileInfo");
  ASSERT_EQ(string_info.children.size(), 1u);
  const VersionNode& table = string_info.children[0];
  EXPECT_EQ(table.key, "040904b0");
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Comments", "MD5 Generator"},
      {"CompanyName", "Maelbrook"},
      {"FileDescription", "Quorvex - MD5 Checksum Generator"},
      {"FileVersion", "2, 5, 0, 2"},
      {"InternalName", "Quorvex"},
      {"LegalCopyright", QUORVEX_COPYRIGHT},
      {"LegalTrademarks", ""},
      {"OriginalFilename", "Quorvex.exe"},
      {"PrivateBuild", "2.5.002"},
      {"ProductName", "Quorvex"},
      {"ProductVersion", "2, 5, 0, 2"},
      {"SpecialBuild", "2.5.002"},
  };
  std::vector<std::pair<std::string, std::string>> got;
  for (const VersionNode& entry : table.children) {
    EXPECT_EQ(entry.type, 1) << entry.key << " is text";
    got.emplace_back(entry.key, entry.text);
  }
  EXPECT_EQ(got, expected);

  EXPECT_EQ(var_info.key, "VarFileInfo");
  ASSERT_EQ(var_info.children.size(), 1u);
  EXPECT_EQ(var_info.children[0].key, "Translation");
  EXPECT_EQ(var_info.children[0].value, (Bytes{0x09, 0x04, 0xB0, 0x04}));
}

// --- Manifest --------------------------------------------------------------------------------------------

TEST_F(ProgramResources, ManifestAsksForCommonControlsSix) {
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
      "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
      "<assemblyIdentity\r\n"
      "    version=\"1.0.0.0\"\r\n"
      "    processorArchitecture=\"X86\"\r\n"
      "    name=\"Microsoft.Windows.Sample\"\r\n"
      "    type=\"win32\"\r\n"
      "/>\r\n"
      "<description>Your app description here</description>\r\n"
      "<dependency>\r\n"
      "    <dependentAssembly>\r\n"
      "        <assemblyIdentity\r\n"
      "            type=\"win32\"\r\n"
      "            name=\"Microsoft.Windows.Common-Controls\"\r\n"
      "            version=\"6.0.0.0\"\r\n"
      "            processorArchitecture=\"X86\"\r\n"
      "            publicKeyToken=\"6595b64144ccf1df\"\r\n"
      "            language=\"*\"\r\n"
      "        />\r\n"
      "    </dependentAssembly>\r\n"
      "</dependency>\r\n"
      "</assembly>\r\n";
  Bytes bytes = Resource(MAKEINTRESOURCEA(24), 1);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
}

// The test module carries the same manifest, so the process it starts gets version 6 of the common
// controls: only that version answers BCM_GETIDEALSIZE, and it is loaded from the side-by-side store.
TEST(ManifestInForce, CommonControlsSixAreLoaded) {
  InitCommonControls();
  HMODULE comctl = GetModuleHandleA("comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(comctl, path, MAX_PATH);
  std::string lower = path;
  for (char& ch : lower) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
  EXPECT_NE(lower.find("common-controls"), std::string::npos) << path;

  HWND button = CreateWindowExA(0, "BUTTON", "Generate &MD5", WS_POPUP | BS_PUSHBUTTON, 0, 0, 100, 30,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(button, nullptr);
  SIZE ideal{};
  EXPECT_TRUE(SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
  EXPECT_GT(ideal.cx, 0);
  DestroyWindow(button);
}

// --- Browse glyphs ---------------------------------------------------------------------------------------

struct GlyphCase {
  int id;
  int key_pixels;
};

class BrowseGlyph : public ProgramResources, public ::testing::WithParamInterface<GlyphCase> {};

// The key colour must be background only: every key pixel reaches the border through key pixels, so none
// sits inside the folder where it would show as a hole. The folder's silhouette is the outline colour.
TEST_P(BrowseGlyph, KeyColourIsTheBackgroundOnly) {
  const GlyphCase& glyph = GetParam();
  Bytes bytes = Resource(RT_BITMAP, glyph.id);
  Bitmap bmp = CheckedBitmap(bytes, 19, 18);
  ASSERT_NE(bmp.bits, nullptr);
  const int w = bmp.width(), h = bmp.height();

  int keys = 0;
  std::vector<int> reached(w * h, 0);
  std::vector<std::pair<int, int>> todo;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (bmp.At(x, y) != kKey) continue;
      ++keys;
      if (x == 0 || y == 0 || x == w - 1 || y == h - 1) {
        reached[y * w + x] = 1;
        todo.emplace_back(x, y);
      }
    }
  }
  while (!todo.empty()) {
    auto [x, y] = todo.back();
    todo.pop_back();
    const int step[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& s : step) {
      int nx = x + s[0], ny = y + s[1];
      if (nx < 0 || ny < 0 || nx >= w || ny >= h || reached[ny * w + nx] || bmp.At(nx, ny) != kKey) continue;
      reached[ny * w + nx] = 1;
      todo.emplace_back(nx, ny);
    }
  }
  int outline = 0;
  const Rgb kOutline{65, 48, 24};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      Rgb c = bmp.At(x, y);
      if (c == kKey) {
        EXPECT_TRUE(reached[y * w + x]) << "enclosed key pixel at " << x << "," << y;
        continue;
      }
      if (c == kOutline) ++outline;
      bool touches_background =
          (x > 0 && bmp.At(x - 1, y) == kKey) || (x + 1 < w && bmp.At(x + 1, y) == kKey) ||
          (y > 0 && bmp.At(x, y - 1) == kKey) || (y + 1 < h && bmp.At(x, y + 1) == kKey);
      if (touches_background) {
        EXPECT_EQ(c, kOutline) << "silhouette pixel at " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(keys, glyph.key_pixels);
  EXPECT_GT(outline, 0);
}

void PrintTo(const GlyphCase& glyph, std::ostream* out) { *out << "bitmap " << glyph.id; }

INSTANTIATE_TEST_SUITE_P(Program, BrowseGlyph, ::testing::Values(GlyphCase{131, 193}, GlyphCase{132, 180}),
                         [](const ::testing::TestParamInfo<GlyphCase>& info) {
                           return info.param.id == 131 ? std::string("Closed") : std::string("Open");
                         });

TEST_F(ProgramResources, OpenAndClosedGlyphsDiffer) {
  Bytes closed = Resource(RT_BITMAP, 131), open = Resource(RT_BITMAP, 132);
  ASSERT_FALSE(closed.empty());
  EXPECT_NE(closed, open);
}

// --- Progress texture ------------------------------------------------------------------------------------

bool Between(int value, int a, int b) { return (value >= a && value <= b) || (value >= b && value <= a); }

bool IsGrey(const Rgb& c) { return c.r == c.g && c.g == c.b && c.r > 0 && c.r < 255; }

TEST_F(ProgramResources, ProgressTextureHasItsSegmentedStructure) {
  Bytes bytes = Resource(RT_BITMAP, 200);
  Bitmap tex = CheckedBitmap(bytes, 736, 13);
  ASSERT_NE(tex.bits, nullptr);

  // Shading of a segment, taken from the first one and required of all others.
  std::vector<Rgb> shade(12);
  for (int y = 1; y <= 11; ++y) shade[y] = tex.At(1, y);
  EXPECT_EQ(shade[1], (Rgb{141, 192, 70}));
  EXPECT_EQ(shade[6], (Rgb{73, 182, 10}));
  EXPECT_EQ(shade[11], (Rgb{171, 188, 104}));
  for (int y = 2; y <= 10; ++y) {
    if (y == 6) continue;
    const Rgb& from = y < 6 ? shade[1] : shade[6];
    const Rgb& to = y < 6 ? shade[6] : shade[11];
    SCOPED_TRACE("row " + std::to_string(y));
    EXPECT_TRUE(Between(shade[y].r, from.r, to.r) && Between(shade[y].g, from.g, to.g) &&
                Between(shade[y].b, from.b, to.b))
        << shade[y] << " is not between " << from << " and " << to;
  }
  for (int y = 1; y <= 11; ++y) {
    int sum = shade[y].r + shade[y].g + shade[y].b;
    if (y != 6) {
      EXPECT_GT(sum, shade[6].r + shade[6].g + shade[6].b) << "row 6 is the darkest";
    }
  }

  int wrong = 0, segment_columns = 0;
  for (int x = 0; x < 736; ++x) {
    bool segment = x >= 1 && x <= 734 && (x - 1) % 8 < 6;
    if (segment) ++segment_columns;
    for (int y = 0; y < 13; ++y) {
      Rgb got = tex.At(x, y);
      bool good;
      if (y == 0) {
        good = got == Rgb{219, 219, 219};
      } else if (x == 0) {
        good = (y == 1 || y == 12) ? IsGrey(got) : got == kWhite;
      } else if (y == 12) {
        good = got == kWhite;
      } else {
        good = got == (segment ? shade[y] : kWhite);
      }
      if (!good && ++wrong <= 10) ADD_FAILURE() << "pixel " << x << "," << y << " is " << got;
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(segment_columns, 92 * 6);
}

// --- Icon ------------------------------------------------------------------------------------------------

TEST_F(ProgramResources, IconIsOneThirtyTwoBitImage) {
  Bytes group = Resource(RT_GROUP_ICON, 128);
  ASSERT_EQ(group.size(), 6u + 14u) << "header and one entry";
  Reader in(group);
  EXPECT_EQ(in.Word(), 0);  // reserved
  EXPECT_EQ(in.Word(), 1);  // icons, not cursors
  EXPECT_EQ(in.Word(), 1);
  EXPECT_EQ(in.Byte(), 32);  // width
  EXPECT_EQ(in.Byte(), 32);  // height
  EXPECT_EQ(in.Byte(), 0);   // colour count
  EXPECT_EQ(in.Byte(), 0);
  EXPECT_EQ(in.Word(), 1);   // planes
  EXPECT_EQ(in.Word(), 32);  // bits per pixel
  EXPECT_EQ(in.Dword(), 4264u);
  uint16_t image_id = in.Word();
  EXPECT_EQ(image_id, 1);

  Bytes image = Resource(RT_ICON, image_id);
  ASSERT_EQ(image.size(), 4264u) << "header, 32x32x4 colour bytes, 32x4 mask bytes";
  BITMAPINFOHEADER h;
  std::memcpy(&h, image.data(), sizeof h);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 32);
  EXPECT_EQ(h.biHeight, 64) << "colour and mask rows together";
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 32);
  EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));

  // Alpha and mask agree: the mask marks exactly the fully transparent pixels.
  const uint8_t* colour = image.data() + 40;
  const uint8_t* mask = colour + 4096;
  int opaque = 0, blue = 0, mismatched = 0;
  for (int row = 0; row < 32; ++row) {  // bottom-up
    for (int x = 0; x < 32; ++x) {
      const uint8_t* p = colour + (row * 32 + x) * 4;  // B, G, R, A
      bool masked = (mask[row * 4 + x / 8] >> (7 - x % 8)) & 1;
      if (masked != (p[3] == 0)) ++mismatched;
      if (p[3] == 255) {
        ++opaque;
        if (p[0] > p[2] && p[0] > p[1]) ++blue;
      }
    }
  }
  EXPECT_EQ(mismatched, 0);
  auto alpha = [&](int x, int y_top) { return colour[((31 - y_top) * 32 + x) * 4 + 3]; };
  EXPECT_EQ(alpha(0, 0) + alpha(31, 0) + alpha(0, 31) + alpha(31, 31), 0) << "transparent ground";
  EXPECT_EQ(alpha(16, 16), 255);
  EXPECT_GT(opaque, 32 * 32 / 2);
  EXPECT_GT(blue, opaque / 2) << "a blue emblem";

  // The system accepts the image as an icon of that size.
  HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000, 32,
                                        32, LR_DEFAULTCOLOR);
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP colour_bitmap{};
  EXPECT_TRUE(GetObjectA(info.hbmColor, sizeof colour_bitmap, &colour_bitmap));
  EXPECT_EQ(colour_bitmap.bmWidth, 32);
  EXPECT_EQ(colour_bitmap.bmHeight, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
}

}  // namespace
