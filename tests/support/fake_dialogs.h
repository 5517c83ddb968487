// Dialogs for tests: records every message and file request, and answers file dialogs
// from a queue (an empty queue answers Cancel).
#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <utility>
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
  std::optional<QString> open_file(const FileDialogRequest& request) override {
    open_requests.push_back(request);
    return next_answer();
  }
  std::optional<QString> save_file(const FileDialogRequest& request) override {
    save_requests.push_back(request);
    return next_answer();
  }

  // Queues the path the next file dialog returns; nullopt queues a Cancel.
  void answer(const std::optional<QString>& path) { answers.push_back({!path.has_value(), path.value_or(QString())}); }

  std::vector<ShownMessage> messages;
  std::vector<FileDialogRequest> open_requests;
  std::vector<FileDialogRequest> save_requests;
  struct Answer {
    bool cancel = true;
    QString path;
  };
  std::deque<Answer> answers;

 private:
  std::optional<QString> next_answer() {
    if (answers.empty()) return std::nullopt;
    const Answer a = answers.front();
    answers.pop_front();
    if (a.cancel) return std::nullopt;
    return a.path;
  }
};

}  // namespace zorvane::testing
