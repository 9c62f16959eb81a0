#include "app/forms.h"

#include <exception>

namespace norvane::rt {

int Len(std::string_view utf8) {
  int units = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if ((byte & 0xC0) == 0x80) continue;  // continuation byte
    units += byte >= 0xF0 ? 2 : 1;        // outside the basic plane: a surrogate pair
  }
  return units;
}

FormPeer& Form::Peer() const {
  if (!m_peer) throw Error("The window " + std::string(m_layout.name) + " is not loaded.");
  return *m_peer;
}

Control::Control(const Form& form, std::string_view name, int index)
    : m_form(form), m_name(name), m_index(index) {
  // A misspelt name would otherwise fail only when its event first fires.
  if (!form.Layout().Find(name, index)) {
    throw std::logic_error("no control " + std::string(name) + " in " +
                           std::string(form.Layout().name));
  }
}

Runtime::~Runtime() = default;

void Runtime::Load(Form& form) {
  if (form.Loaded() || m_ended) return;
  form.m_peer = CreatePeer(form);
  Dispatch([&form] { form.Form_Load(); });
}

void Runtime::Show(Form& form, Modality modality) {
  Load(form);
  if (!form.Loaded()) return;  // ended, or unloaded by its own Load handler
  form.m_peer->Show(modality);
  if (modality == Modality::Modal) {
    RunUntil([this, &form] { return m_ended || !form.Loaded(); });
  }
}

void Runtime::Unload(Form& form) {
  if (!form.Loaded()) return;
  form.m_peer.reset();
  Wake();
}

void Runtime::End() {
  m_ended = true;
  for (auto& [type, form] : m_forms) form->m_peer.reset();
  Wake();
}

void Runtime::MsgBox(std::string_view prompt, MsgBoxButtons buttons) {
  ShowMessageBox(App().Title, prompt, buttons);
}

void Runtime::PrintForm(Form& form) { form.Peer().PrintImage(); }

int Runtime::Run() {
  RunUntil([this] { return m_ended || !AnyLoaded(); });
  return 0;
}

bool Runtime::AnyLoaded() const {
  for (const auto& [type, form] : m_forms) {
    if (form->Loaded()) return true;
  }
  return false;
}

void Runtime::RaiseClick(Form& form, std::string_view control, int index) {
  Dispatch([&] { form.Click(control, index); });
}

void Runtime::RaiseKeyDown(Form& form, std::string_view control, int index, int& keyCode,
                           int shift) {
  Dispatch([&] { form.KeyDown(control, index, keyCode, shift); });
}

void Runtime::Dispatch(const std::function<void()>& handler) {
  if (m_ended) return;
  // No toolkit may see an exception leave a handler: report it, keep going.
  try {
    handler();
  } catch (const std::exception& e) {
    ShowMessageBox(App().Title, e.what(), MsgBoxButtons::OkOnly);
  } catch (...) {
    ShowMessageBox(App().Title, "An unexpected error stopped this command.", MsgBoxButtons::OkOnly);
  }
}

}  // namespace norvane::rt
