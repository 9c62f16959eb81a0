// What a screen reader learns of every control of both windows through Active Accessibility,
// against the layout tables the windows are built from.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <ostream>
#include <string>
#include <variant>

#include "tests/ui/fake_runtime.h"
#include "tests/win32/driver.h"
#include "ui/about/frmAbout.h"
#include "ui/main/frmMain.h"

namespace norvane::e2e {
namespace {

// How a client comes by a control's object: by asking the control (WM_GETOBJECT), as
// AccessibleObjectFromWindow does, or by making the standard object from the window tree
// alone, as a client does that does not ask.
enum class Way { Asked, Standard };

struct Seen {
  std::wstring name, description, value;
  long role = 0;
};

// A text the object answers through `ask`; none when it has none (S_FALSE) or fails.
template <class Ask>
std::wstring TextFrom(Ask ask) {
  BSTR text = nullptr;
  std::wstring taken;
  if (ask(&text) == S_OK && text) taken.assign(text, SysStringLen(text));
  SysFreeString(text);
  return taken;
}

// The object's answers, or the HRESULT of the failed attempt to get it.
std::variant<Seen, HRESULT> Look(HWND control, Way way) {
  IAccessible* object = nullptr;
  auto** out = reinterpret_cast<void**>(&object);
  const HRESULT made =
      way == Way::Asked
          ? AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible), out)
          : CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible), out);
  if (FAILED(made) || !object) return made;
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  Seen seen;
  seen.name = TextFrom([&](BSTR* text) { return object->get_accName(self, text); });
  seen.description = TextFrom([&](BSTR* text) { return object->get_accDescription(self, text); });
  seen.value = TextFrom([&](BSTR* text) { return object->get_accValue(self, text); });
  VARIANT role;
  VariantInit(&role);
  if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) seen.role = role.lVal;
  VariantClear(&role);
  object->Release();
  return seen;
}

// The role of the standard object of each kind of control. Wine 8's standard objects know only
// an edit box's role and call every other control a client area.
bool RoleFits(long role, rt::ControlKind kind) {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  long expected = ROLE_SYSTEM_CLIENT;
  switch (kind) {
    case rt::ControlKind::TextBox:
      return role == ROLE_SYSTEM_TEXT;
    case rt::ControlKind::Frame:
      expected = ROLE_SYSTEM_GROUPING;
      break;
    case rt::ControlKind::CommandButton:
      expected = ROLE_SYSTEM_PUSHBUTTON;
      break;
    case rt::ControlKind::OptionButton:
      expected = ROLE_SYSTEM_RADIOBUTTON;
      break;
    case rt::ControlKind::Label:
      expected = ROLE_SYSTEM_STATICTEXT;
      break;
    case rt::ControlKind::PictureBox:
      expected = ROLE_SYSTEM_GRAPHIC;
      break;
  }
  return role == expected || (wine && role == ROLE_SYSTEM_CLIENT);
}

std::wstring WideOf(std::string_view text) {
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(
                        CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0)),
                    L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                      static_cast<int>(wide.size()));
  return wide;
}

// The control of `window` that the row places, found by its top left corner.
HWND ControlOf(HWND window, const rt::FormLayout& layout, const rt::ControlSpec& row) {
  int left = row.left, top = row.top;
  if (const rt::ControlSpec* container = layout.Find(row.container)) {
    left += container->left;
    top += container->top;
  }
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const RECT rect = RectIn(child, window);
    if (rect.left == Pixels(left) && rect.top == Pixels(top)) return child;
  }
  return nullptr;
}

enum class Window { Main, About };

struct AccessRow {
  const char* name;
  Window window;
  Way way;
};
void PrintTo(const AccessRow& row, std::ostream* out) { *out << row.name; }

class Accessibility : public ::testing::TestWithParam<AccessRow> {
 protected:
  Accessibility() : m_com(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~Accessibility() override {
    if (m_com) CoUninitialize();
  }

  const rt::FormLayout& Main() { return m_tables.Instance<frmMain>().Layout(); }
  const rt::FormLayout& About() { return m_tables.Instance<frmAbout>().Layout(); }

  // Converts 1 kilobyte, so that every box has a value to show.
  void ConvertOneKilobyte() {
    auto control = [&](std::string_view name, int index = rt::kNoIndex) {
      return ControlOf(m_program.Main(), Main(), *Main().Find(name, index));
    };
    SendMessageW(control("txtEntry"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    SendMessageW(control("optMeasure", 1), BM_CLICK, 0, 0);
    SendMessageW(control("cmdCalculate"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return TextOf(control("txtByteResult")) == L"1024"; }));
  }
  HWND OpenAbout() const {
    Press({VK_MENU, 'H'});
    Press({'B'});
    HWND about = nullptr;
    WaitFor([&] {
      return (about = m_program.FindWindowTitled(L"About Pimbrel's Norvane")) != nullptr;
    });
    return about;
  }

  Program m_program;

 private:
  bool m_com;
  test::FakeRuntime m_tables;
};

// Name, role, value and description of each control as the layout gives them: the row's
// accessible name, and its tip text as the description. A label's caption may be replaced as
// the window loads, so a label is named by what it shows.
TEST_P(Accessibility, EveryControlSaysWhatItIs) {
  const AccessRow& param = GetParam();
  HWND window = m_program.Main();
  const rt::FormLayout* layout = &Main();
  if (param.window == Window::About) {
    window = OpenAbout();
    ASSERT_NE(window, nullptr) << "the About window did not open";
    layout = &About();
  } else {
    ASSERT_NO_FATAL_FAILURE(ConvertOneKilobyte());
  }
  for (const rt::ControlSpec& row : layout->controls) {
    SCOPED_TRACE(std::string(row.name) +
                 (row.index == rt::kNoIndex ? "" : "(" + std::to_string(row.index) + ")"));
    HWND control = ControlOf(window, *layout, row);
    ASSERT_NE(control, nullptr) << "nothing at its place";
    const auto looked = Look(control, param.way);
    const Seen* seen = std::get_if<Seen>(&looked);
    ASSERT_TRUE(seen) << "no accessible object: error 0x" << std::hex
                      << static_cast<unsigned long>(std::get<HRESULT>(looked));
    const bool label = row.kind == rt::ControlKind::Label;
    const bool box = row.kind == rt::ControlKind::TextBox;
    EXPECT_EQ(seen->name, label ? TextOf(control) : WideOf(rt::AccessibleName(row)));
    EXPECT_TRUE(RoleFits(seen->role, row.kind)) << "role " << seen->role;
    EXPECT_EQ(seen->value, box ? TextOf(control) : L"");
    if (box) {
      EXPECT_FALSE(seen->value.empty());
    }
    // Only the control itself knows its tip text: the standard object has no description.
    if (param.way == Way::Asked) {
      EXPECT_EQ(seen->description, WideOf(row.toolTip));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothWindows, Accessibility,
                         ::testing::Values(AccessRow{"MainAsked", Window::Main, Way::Asked},
                                           AccessRow{"MainStandard", Window::Main, Way::Standard},
                                           AccessRow{"AboutAsked", Window::About, Way::Asked},
                                           AccessRow{"AboutStandard", Window::About,
                                                     Way::Standard}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace norvane::e2e
