#include "tests/ui/fake_runtime.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace norvane::test {

FakePeer::FakePeer(FakeRuntime& runtime, const rt::FormLayout& layout)
    : m_runtime(runtime), m_layout(layout) {
  m_state.texts[{std::string(layout.name), rt::kNoIndex}] = layout.caption;
  for (const rt::ControlSpec& c : layout.controls) {
    m_state.texts[{std::string(c.name), c.index}] = c.text;
    if (c.kind == rt::ControlKind::OptionButton)
      m_state.values[{std::string(c.name), c.index}] = false;
  }
}

std::pair<std::string, int> FakePeer::Key(std::string_view control, int index) const {
  if (control != m_layout.name && !m_layout.Find(control, index)) {
    ADD_FAILURE() << "no control " << control << "(" << index << ") in " << m_layout.name;
    throw std::out_of_range("unknown control");
  }
  return {std::string(control), index};
}

void FakePeer::Note(std::string_view op, std::string_view control, int index,
                    std::string_view arg) const {
  std::string entry(op);
  entry.append(" ").append(control);
  if (index != rt::kNoIndex) entry.append("(").append(std::to_string(index)).append(")");
  if (!arg.empty()) entry.append(" ").append(arg);
  m_runtime.journal.push_back(entry);
}

std::string FakePeer::Text(std::string_view control, int index) const {
  const auto key = Key(control, index);
  ++m_reads[key.first];
  return m_state.texts.at(key);
}

int FakePeer::Reads(std::string_view control) const {
  const auto it = m_reads.find(control);
  return it == m_reads.end() ? 0 : it->second;
}

void FakePeer::SetText(std::string_view control, int index, std::string_view text) {
  m_state.texts[Key(control, index)] = text;
  Note("SetText", control, index, text);
}

void FakePeer::SetSelStart(std::string_view control, int index, int start) {
  m_state.selections[Key(control, index)].first = start;
  Note("SetSelStart", control, index, std::to_string(start));
}

void FakePeer::SetSelLength(std::string_view control, int index, int length) {
  m_state.selections[Key(control, index)].second = length;
  Note("SetSelLength", control, index, std::to_string(length));
}

void FakePeer::SetFocus(std::string_view control, int index) {
  Key(control, index);
  m_state.focus = control;
  Note("SetFocus", control, index, {});
}

bool FakePeer::Value(std::string_view control, int index) const {
  return m_state.values.at(Key(control, index));
}

// Like the real option group: selecting one clears the others of its container.
void FakePeer::SetValue(std::string_view control, int index, bool value) {
  Key(control, index);
  const rt::ControlSpec* row = m_layout.Find(control, index);
  if (value) {
    for (const rt::ControlSpec& c : m_layout.controls) {
      if (c.kind == rt::ControlKind::OptionButton && c.container == row->container) {
        m_state.values[{std::string(c.name), c.index}] = false;
      }
    }
  }
  m_state.values[{std::string(control), index}] = value;
  Note("SetValue", control, index, value ? "true" : "false");
}

void FakePeer::PrintImage() {
  ++m_runtime.prints;
  if (m_runtime.printFails) throw rt::Error("No default printer is set up.");
}

std::unique_ptr<rt::FormPeer> FakeRuntime::CreatePeer(rt::Form& form) {
  ++loads[std::string(form.Layout().name)];
  return std::make_unique<FakePeer>(*this, form.Layout());
}

void FakeRuntime::ShowMessageBox(std::string_view title, std::string_view prompt,
                                 rt::MsgBoxButtons buttons) {
  messageBoxes.push_back({std::string(title), std::string(prompt), buttons});
  journal.emplace_back("MsgBox");
}

void FakeRuntime::RunUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (user.empty()) {
      ADD_FAILURE() << "a wait would never end: no user action left";
      return;
    }
    const auto action = std::move(user.front());
    user.pop_front();
    action();
  }
}

}  // namespace norvane::test
