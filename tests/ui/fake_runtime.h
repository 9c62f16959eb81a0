// A runtime without a toolkit: each window's control state lives in a map,
// every operation the windows call is written to a journal, message boxes
// are recorded and closed at once, and a modal wait plays the scripted user
// actions one by one.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/forms.h"

namespace norvane::test {

struct MessageBox {
  std::string title, text;
  rt::MsgBoxButtons buttons;
  friend bool operator==(const MessageBox&, const MessageBox&) = default;
};

class FakeRuntime;

class FakePeer final : public rt::FormPeer {
 public:
  FakePeer(FakeRuntime& runtime, const rt::FormLayout& layout);

  std::string Text(std::string_view control, int index) const override;
  void SetText(std::string_view control, int index, std::string_view text) override;
  void SetSelStart(std::string_view control, int index, int start) override;
  void SetSelLength(std::string_view control, int index, int length) override;
  void SetFocus(std::string_view control, int index) override;
  bool Value(std::string_view control, int index) const override;
  void SetValue(std::string_view control, int index, bool value) override;
  void Show(rt::Modality modality) override { shown = modality; }
  void PrintImage() override;

  // What a user sees and what the window did, for the tests.
  struct State {
    std::map<std::pair<std::string, int>, std::string> texts;
    std::map<std::pair<std::string, int>, bool> values;
    std::map<std::pair<std::string, int>, std::pair<int, int>> selections;  // start, length
    std::string focus;
    friend bool operator==(const State&, const State&) = default;
  };
  const State& Now() const { return m_state; }
  std::string Caption() const { return Text(m_layout.name, rt::kNoIndex); }
  int Reads(std::string_view control) const;
  std::optional<rt::Modality> shown;

 private:
  std::pair<std::string, int> Key(std::string_view control, int index) const;
  void Note(std::string_view op, std::string_view control, int index, std::string_view arg) const;

  FakeRuntime& m_runtime;
  const rt::FormLayout& m_layout;
  State m_state;
  mutable std::map<std::string, int, std::less<>> m_reads;
};

class FakeRuntime final : public rt::Runtime {
 public:
  FakePeer& PeerOf(const rt::Form& form) { return dynamic_cast<FakePeer&>(form.Peer()); }

  char decimalSeparator = '.';
  bool printFails = false;
  int prints = 0;
  std::vector<MessageBox> messageBoxes;
  std::vector<std::string> journal;        // "SetText txtByteResult 1024", "MsgBox", ...
  std::map<std::string, int> loads;        // peers created, by window name
  std::deque<std::function<void()>> user;  // what the user does while a modal wait runs

 protected:
  char LocaleDecimalSeparator() const override { return decimalSeparator; }
  std::unique_ptr<rt::FormPeer> CreatePeer(rt::Form& form) override;
  void ShowMessageBox(std::string_view title, std::string_view prompt,
                      rt::MsgBoxButtons buttons) override;
  void RunUntil(const std::function<bool()>& done) override;
  void Wake() override {}
};

}  // namespace norvane::test
