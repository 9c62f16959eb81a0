// The small runtime that the windows are written against: windows loaded
// from a layout table, their controls reached by name, events raised into
// their handlers, message boxes, modal display, unload, end and printing.
// A back end (Qt, Win32) supplies the real windows; tests supply a fake.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeindex>
#include <unordered_map>
#include <utility>

#include "app/identity.h"
#include "app/layout.h"

namespace norvane::rt {

// An error raised by a runtime operation. what() is worded for a user.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class MsgBoxButtons { OkOnly = 0, OkCancel = 1 };
enum class Modality { Modeless = 0, Modal = 1 };

inline constexpr int vbKeyReturn = 13;
inline constexpr int vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4;

// Length of a text in the units that SelStart and SelLength count: UTF-16 code units.
int Len(std::string_view utf8);

class Runtime;

// One loaded window of a back end. Controls are named as in the layout
// table; `index` is kNoIndex for a control outside any control array. The
// window's own name stands for the window (its Caption).
class FormPeer {
 public:
  virtual ~FormPeer() = default;  // hides and releases the window; safe inside its own events
  virtual std::string Text(std::string_view control, int index) const = 0;
  virtual void SetText(std::string_view control, int index, std::string_view text) = 0;
  virtual void SetSelStart(std::string_view control, int index, int start) = 0;
  virtual void SetSelLength(std::string_view control, int index, int length) = 0;
  virtual void SetFocus(std::string_view control, int index) = 0;
  virtual bool Value(std::string_view control, int index) const = 0;
  virtual void SetValue(std::string_view control, int index, bool value) = 0;
  virtual void Show(Modality modality) = 0;
  // Prints an image of the client area on the default printer; throws Error when it cannot.
  virtual void PrintImage() = 0;
};

// A window class: its layout table and its event handlers. The runtime
// keeps one instance per class; loading gives it a peer, unloading takes
// the peer away, and the next use loads it again.
class Form {
 public:
  Form(Runtime& runtime, const FormLayout& layout) : m_runtime(runtime), m_layout(layout) {}
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const FormLayout& Layout() const { return m_layout; }
  bool Loaded() const { return m_peer != nullptr; }
  FormPeer& Peer() const;  // throws Error when the window is not loaded

 protected:
  Runtime& Rt() const { return m_runtime; }
  void SetCaption(std::string_view caption) { Peer().SetText(m_layout.name, kNoIndex, caption); }

 private:
  friend class Runtime;
  // The events a window may handle; the default is no handler.
  virtual void Form_Load() {}
  virtual void Click(std::string_view /*control*/, int /*index*/) {}
  virtual void KeyDown(std::string_view /*control*/, int /*index*/, int& /*keyCode*/,
                       int /*shift*/) {}

  Runtime& m_runtime;
  const FormLayout& m_layout;
  std::unique_ptr<FormPeer> m_peer;
};

// Controls as members of a window class, named as in its layout table.
class Control {
 public:
  Control(const Form& form, std::string_view name, int index = kNoIndex);
  std::string_view Name() const { return m_name; }
  int Index() const { return m_index; }

 protected:
  FormPeer& Peer() const { return m_form.Peer(); }
  const Form& m_form;
  std::string_view m_name;
  int m_index;
};

class TextBox : public Control {
 public:
  using Control::Control;
  std::string Text() const { return Peer().Text(m_name, m_index); }
  void SetText(std::string_view text) { Peer().SetText(m_name, m_index, text); }
  void SetSelStart(int start) { Peer().SetSelStart(m_name, m_index, start); }
  void SetSelLength(int length) { Peer().SetSelLength(m_name, m_index, length); }
  void SetFocus() { Peer().SetFocus(m_name, m_index); }
};

class OptionButton : public Control {
 public:
  using Control::Control;
  bool Value() const { return Peer().Value(m_name, m_index); }
  void SetValue(bool value) { Peer().SetValue(m_name, m_index, value); }
};

class Label : public Control {
 public:
  using Control::Control;
  void SetCaption(std::string_view caption) { Peer().SetText(m_name, m_index, caption); }
};

// Like controls that share one name and are told apart by Index 0 .. N-1.
template <class C, int N>
class ControlArray {
 public:
  ControlArray(const Form& form, std::string_view name)
      : ControlArray(form, name, std::make_integer_sequence<int, N>()) {}
  C& operator[](int index) { return m_controls.at(static_cast<std::size_t>(index)); }
  const C& operator[](int index) const { return m_controls.at(static_cast<std::size_t>(index)); }
  static constexpr int Count() { return N; }

 private:
  template <int... I>
  ControlArray(const Form& form, std::string_view name, std::integer_sequence<int, I...>)
      : m_controls{C(form, name, I)...} {}
  std::array<C, N> m_controls;
};

// The runtime services. The back end implements the protected hooks; the
// rest, the same for every back end, is here.
class Runtime {
 public:
  Runtime() = default;
  virtual ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // The one instance of a window class, created on first use.
  template <class F>
  F& Instance() {
    auto& slot = m_forms[std::type_index(typeid(F))];
    if (!slot) slot = std::make_unique<F>(*this);
    return static_cast<F&>(*slot);
  }

  // The application object.
  const ApplicationIdentity& App() const { return kIdentity; }

  // Loads the window if needed (its Load event runs before it shows), then
  // shows it. Modal: returns once the window has been unloaded.
  void Show(Form& form, Modality modality = Modality::Modeless);
  void Load(Form& form);
  // Closes the window and destroys its controls; with no window left loaded the program ends.
  void Unload(Form& form);
  // Ends the program at once: no further event of any window runs.
  void End();
  bool Ended() const { return m_ended; }
  // A modal box with the application title as caption; returns when it is closed.
  void MsgBox(std::string_view prompt, MsgBoxButtons buttons = MsgBoxButtons::OkOnly);
  // Prints an image of the window; throws Error when it cannot.
  void PrintForm(Form& form);
  // The decimal separator of the user's regional settings, for reading and writing amounts:
  // ',' where the settings say so, otherwise '.', the two the engine knows.
  char DecimalSeparator() const { return LocaleDecimalSeparator() == ',' ? ',' : '.'; }

  // Dispatches events until the program ends; returns the exit code.
  int Run();

  // For back ends: raise an event into its handler. An error the handler
  // does not trap is reported in a message box, and the program goes on.
  void RaiseClick(Form& form, std::string_view control, int index = kNoIndex);
  void RaiseKeyDown(Form& form, std::string_view control, int index, int& keyCode, int shift);

 protected:
  virtual std::unique_ptr<FormPeer> CreatePeer(Form& form) = 0;
  // The separator as the platform reports it, any character.
  virtual char LocaleDecimalSeparator() const { return '.'; }
  virtual void ShowMessageBox(std::string_view title, std::string_view prompt,
                              MsgBoxButtons buttons) = 0;
  // Dispatches events until `done` is true, checking it after every event.
  virtual void RunUntil(const std::function<bool()>& done) = 0;
  // Makes a waiting RunUntil look at its condition again.
  virtual void Wake() = 0;

 private:
  bool AnyLoaded() const;
  void Dispatch(const std::function<void()>& handler);

  std::unordered_map<std::type_index, std::unique_ptr<Form>> m_forms;
  bool m_ended = false;
};

}  // namespace norvane::rt
