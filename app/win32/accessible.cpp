#include "app/win32/accessible.h"

#include <oleacc.h>

#include <string>

#include "app/win32/libraries.h"
#include "app/win32/text.h"

namespace norvane::win32 {
namespace {

// Active Accessibility and COM load at the first WM_GETOBJECT, which only a client such as a
// screen reader sends: a run without one never loads them. All on the thread that owns the
// windows.
struct Accessibility {
  decltype(&CreateStdAccessibleObject) createStandard;
  decltype(&LresultFromObject) lresultFromObject;
  decltype(&SysAllocStringLen) allocString;
  decltype(&CoInitializeEx) startCom;
  decltype(&CoUninitialize) endCom;
  bool comStarted;
};
enum class Loading { NotYet, Loaded, Failed };
Accessibility g_accessibility{};
Loading g_loading = Loading::NotYet;

// nullptr when a library is missing: then the controls answer nothing of their own, and a
// client builds the standard objects itself.
const Accessibility* LoadAccessibility() {
  if (g_loading == Loading::NotYet) {
    HMODULE oleacc = SystemLibrary(L"oleacc.dll");
    HMODULE oleaut32 = SystemLibrary(L"oleaut32.dll");
    HMODULE ole32 = SystemLibrary(L"ole32.dll");
    Accessibility& loaded = g_accessibility;
    const bool complete = Resolve(oleacc, "CreateStdAccessibleObject", loaded.createStandard) &&
                          Resolve(oleacc, "LresultFromObject", loaded.lresultFromObject) &&
                          Resolve(oleaut32, "SysAllocStringLen", loaded.allocString) &&
                          Resolve(ole32, "CoInitializeEx", loaded.startCom) &&
                          Resolve(ole32, "CoUninitialize", loaded.endCom);
    // The objects reach clients in other processes through COM.
    if (complete) loaded.comStarted = SUCCEEDED(loaded.startCom(nullptr, COINIT_APARTMENTTHREADED));
    g_loading = complete ? Loading::Loaded : Loading::Failed;
  }
  return g_loading == Loading::Loaded ? &g_accessibility : nullptr;
}

// The standard object of a control with two answers of its own.
class NamedObject final : public IAccessible, public IOleWindow {
 public:
  NamedObject(const Accessibility& library, IAccessible* standard, IOleWindow* window,
              const rt::ControlSpec& row)
      : m_library(library),
        m_standard(standard),
        m_window(window),
        m_name(Wide(rt::AccessibleName(row))),
        m_description(Wide(row.toolTip)) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *object = static_cast<IAccessible*>(this);
    } else if (iid == __uuidof(IOleWindow) && m_window) {
      *object = static_cast<IOleWindow*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_references); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --m_references;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return m_standard->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return m_standard->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return m_standard->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* error) override {
    return m_standard->Invoke(id, iid, locale, flags, parameters, result, exception, error);
  }

  // IAccessible: the two answers of the row, for the control itself.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!IsSelf(child) || m_name.empty()) return m_standard->get_accName(child, name);
    return Answer(m_name, name);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    if (!IsSelf(child) || m_description.empty()) {
      return m_standard->get_accDescription(child, description);
    }
    return Answer(m_description, description);
  }

  // IAccessible: the rest is the standard object's.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return m_standard->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return m_standard->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return m_standard->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return m_standard->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return m_standard->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return m_standard->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return m_standard->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return m_standard->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return m_standard->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return m_standard->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return m_standard->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return m_standard->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return m_standard->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return m_standard->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return m_standard->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return m_standard->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return m_standard->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return m_standard->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return m_standard->put_accValue(child, value);
  }

  // IOleWindow: how a client finds the control from its object.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override { return m_window->GetWindow(window); }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override {
    return m_window->ContextSensitiveHelp(enter);
  }

 private:
  ~NamedObject() {
    if (m_window) m_window->Release();
    m_standard->Release();
  }
  static bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
  }
  HRESULT Answer(const std::wstring& text, BSTR* answer) const {
    if (!answer) return E_POINTER;
    *answer = m_library.allocString(text.data(), static_cast<UINT>(text.size()));
    return *answer ? S_OK : E_OUTOFMEMORY;
  }

  const Accessibility& m_library;
  IAccessible* m_standard;
  IOleWindow* m_window;
  std::wstring m_name, m_description;
  long m_references = 1;
};

}  // namespace

LRESULT AnswerFromRow(HWND control, WPARAM wParam, LPARAM lParam, const rt::ControlSpec& row) {
  // lParam carries a 32-bit object id, sign-extended or not on 64-bit Windows.
  if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
  const Accessibility* library = LoadAccessibility();
  if (!library) return 0;
  IAccessible* standard = nullptr;
  if (FAILED(library->createStandard(control, OBJID_CLIENT, __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&standard)))) {
    return 0;
  }
  IOleWindow* ole = nullptr;
  if (FAILED(standard->QueryInterface(__uuidof(IOleWindow), reinterpret_cast<void**>(&ole)))) {
    ole = nullptr;
  }
  NamedObject* object = nullptr;
  try {  // nothing may be thrown back into the system's code
    object = new NamedObject(*library, standard, ole, row);
  } catch (...) {
    if (ole) ole->Release();
    standard->Release();
    return 0;
  }
  const LRESULT result =
      library->lresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object));
  object->Release();
  // A failure is negative: then the client makes the standard object itself.
  return result > 0 ? result : 0;
}

void EndAccessibility() {
  if (g_loading == Loading::Loaded && g_accessibility.comStarted) {
    g_accessibility.comStarted = false;
    g_accessibility.endCom();
  }
}

}  // namespace norvane::win32
