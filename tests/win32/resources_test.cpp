// The executable's version record and icon, read as the system's shell reads them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/driver.h"

namespace norvane::e2e {
namespace {

class Executable : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring path = ExePath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version record";
    m_record.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, m_record.data()));
  }
  template <class T>
  const T* Query(const wchar_t* block, UINT* length = nullptr) {
    void* value = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(m_record.data(), block, &value, &size)) return nullptr;
    if (length) *length = size;
    return static_cast<const T*>(value);
  }

 private:
  std::vector<BYTE> m_record;
};

TEST_F(Executable, CarriesItsFixedVersionInfo) {
  const auto* fixed = Query<VS_FIXEDFILEINFO>(L"\\");
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwStrucVersion, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000002u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000002u);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0u);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, 0x00000004u);
  EXPECT_EQ(fixed->dwFileType, 0x00000001u);
  EXPECT_EQ(fixed->dwFileSubtype, 0u);
  EXPECT_EQ(fixed->dwFileDateMS, 0u);
  EXPECT_EQ(fixed->dwFileDateLS, 0u);
}

TEST_F(Executable, IsWrittenForUsEnglishInUtf16) {
  UINT length = 0;
  const auto* translation = Query<WORD>(L"\\VarFileInfo\\Translation", &length);
  ASSERT_NE(translation, nullptr);
  ASSERT_EQ(length, 4u) << "one language and code page pair";
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);
}

TEST_F(Executable, NamesItsMakerProductAndVersion) {
  const std::pair<const wchar_t*, const wchar_t*> entries[] = {
      {L"CompanyName", L"Pimbrel's Computers"},
      {L"ProductName", L"Pimbrel's Norvane"},
      {L"FileVersion", L"1.00.0002"},
      {L"ProductVersion", L"1.00.0002"},
      {L"InternalName", L"Norvane"},
      {L"OriginalFilename", L"Norvane.exe"},
  };
  for (const auto& [key, expected] : entries) {
    const std::wstring block = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    const auto* value = Query<wchar_t>(block.c_str());
    ASSERT_NE(value, nullptr) << "no " << std::string(key, key + wcslen(key));
    EXPECT_EQ(std::wstring(value), expected);
  }
}

TEST(ExecutableIcon, IsOneCalculatorPictureOf32Pixels) {
  const std::wstring path = ExePath();
  EXPECT_EQ(ExtractIconExW(path.c_str(), -1, nullptr, nullptr, 0), 1u);
  HICON icon = nullptr;
  ASSERT_EQ(ExtractIconExW(path.c_str(), 0, &icon, nullptr, 1), 1u);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, 32);
  EXPECT_EQ(bitmap.bmHeight, 32);

  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  format.bmiHeader.biWidth = 32;
  format.bmiHeader.biHeight = -32;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> color(32 * 32), mask(32 * 32);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, info.hbmColor, 0, 32, color.data(), &format, DIB_RGB_COLORS);
  GetDIBits(screen, info.hbmMask, 0, 32, mask.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  auto count = [&](DWORD rgb) {
    int n = 0;
    for (int i = 0; i < 32 * 32; ++i)
      n += (color[i] & 0xFFFFFF) == rgb && (mask[i] & 0xFFFFFF) == 0;
    return n;
  };
  EXPECT_GT(count(0x00FFFF), 20) << "a cyan body";
  EXPECT_GT(count(0xFFFF00), 10) << "a yellow display";
  EXPECT_GT(count(0xC0C0C0), 10) << "light grey keys";
  for (int y = 0; y < 32; ++y) {
    for (int x : {0, 4, 27, 31}) {
      EXPECT_NE(mask[static_cast<std::size_t>(y * 32 + x)] & 0xFFFFFF, 0u)
          << "the side columns are transparent at " << x << "," << y;
    }
  }
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
}

// The manifest is what gives the program the common controls 6; without it, or with one naming
// the wrong processor, Windows loads the old controls without a word.
TEST(ExecutableManifest, GivesTheRunningProgramCommonControls6) {
  Program program;
  std::wstring controls;
  for (const std::wstring& path : program.Modules()) {
    if (path.ends_with(L"\\comctl32.dll")) controls = path;
  }
  ASSERT_FALSE(controls.empty()) << "the program has not loaded the common controls";

  // Not the system folder's old controls but the side-by-side assembly that the manifest names:
  // ...\winsxs\<processor>_microsoft.windows.common-controls_<key>_<version>_...\comctl32.dll
  const std::string path(controls.begin(), controls.end());
  const std::string processor = sizeof(void*) == 8 ? "amd64" : "x86";
  const std::string assembly = "\\winsxs\\" + processor + "_microsoft.windows.common-controls_";
  const auto at = path.find(assembly);
  ASSERT_NE(at, std::string::npos) << "loaded " << path;
  const auto version = path.find('_', at + assembly.size()) + 1;
  EXPECT_EQ(path.compare(version, 2, "6."), 0) << "loaded " << path;
}

}  // namespace
}  // namespace norvane::e2e
