// Dialogs for tests: records every message, and answers file dialogs from a queue (an empty
// queue, or a queued nullopt, answers Cancel).
#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <vector>

#include "shell/dialogs.h"

namespace zorvane::testing {

struct ShownMessage {
  QString title;
  QString text;
};

class FakeDialogs : public Dialogs {
 public:
  void message(const QString& text, const QString& title) override { messages.push_back({title, text}); }
  std::optional<QString> open_file(const FileDialogRequest&) override { return next_answer(); }
  std::optional<QString> save_file(const FileDialogRequest&) override { return next_answer(); }
  // Queues the path the next file dialog returns; nullopt queues a Cancel.
  void answer(const std::optional<QString>& path) { answers.push_back(path); }

  std::vector<ShownMessage> messages;
  std::deque<std::optional<QString>> answers;

 private:
  std::optional<QString> next_answer() {
    if (answers.empty()) return std::nullopt;
    const std::optional<QString> a = answers.front();
    answers.pop_front();
    return a;
  }
};

}  // namespace zorvane::testing
