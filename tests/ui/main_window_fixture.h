#pragma once
// A main window with its settings, documents and undo snapshots in a private
// temporary folder, and questions answered by the test.

#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace qzarn::shell {

namespace fs = std::filesystem;

class ScriptedQuestions final : public ui::DocumentQuestions {
 public:
  ui::SaveChoice AskSaveChanges(QWidget*, const QString& caption) override {
    asked.push_back(caption);
    return answer;
  }
  std::optional<QString> AskSavePath(QWidget*, const QString&) override { return path; }
  void ShowError(QWidget*, const QString& text) override { errors.push_back(text); }
  bool AskYesNo(QWidget*, const QString& text) override {
    yes_no_asked.push_back(text);
    yes_no_when.push_back(std::chrono::steady_clock::now());
    return yes;
  }

  ui::SaveChoice answer = ui::SaveChoice::kCancel;
  std::optional<QString> path;
  std::vector<QString> asked;
  std::vector<QString> errors;
  bool yes = true;
  std::vector<QString> yes_no_asked;
  std::vector<std::chrono::steady_clock::time_point> yes_no_when;
};

class MainWindowTest : public ::testing::Test {
 protected:
  ShellOptions Options() {
    ShellOptions o;
    const fs::path root = temp_.path().toStdString();
    o.settings.user_file = root / "user.ini";
    o.settings.program_file = root / "program.ini";
    o.settings.documents_folder = root / "docs";
    o.settings.program_folder = root;
    o.undo_folder = (root / "undo").string();
    o.questions = &questions_;
    return o;
  }

  static bool SendClose(QWidget& w) {
    QCloseEvent close;
    QApplication::sendEvent(&w, &close);
    return close.isAccepted();
  }

  static void Touch(const fs::path& path) { std::ofstream(path) << "x"; }

  QTemporaryDir temp_;
  ScriptedQuestions questions_;
};

}  // namespace qzarn::shell
