// The main window with its questions to the user answered by the test, and TNEF files to
// load into it.
#pragma once

#include <stdlib.h>

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "main_dialog.h"
#include "scratch_dir.h"
#include "tnef_builder.h"

namespace parcelo::testing {

struct ShownMessage {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
};

struct Question {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
    QStringList buttons;
};

struct SaveQuestion {
    QString proposedName;
    QString filter;
    QString defaultSuffix;
};

class TestDialog : public MainDialog {
  public:
    std::vector<ShownMessage> messages;
    QStringList opened;
    QList<QUrl> links;   // the links handed to the browser
    QString openAnswer;  // the path "chosen" in the Open dialog; empty: cancelled
    QString openFilter;
    QString saveAnswer;  // the path "chosen" in the Save dialog; empty: cancelled
    std::vector<SaveQuestion> saveQuestions;
    int menusShown = 0;
    QStringList menuTexts;
    QPoint menuPosition;
    int menuChoice = 0;        // command id of the item to pick; 0 picks none
    bool openSucceeds = true;  // whether a program takes the files opened
    QString folderAnswer;      // the folder "chosen"; empty: cancelled
    int folderQuestions = 0;
    std::vector<Question> questions;
    int choiceAnswer = -1;  // the index of the button "pressed"; -1: dismissed

  protected:
    QString AskOpenPath(const QString& filter) override {
        openFilter = filter;
        return openAnswer;
    }
    QString AskSavePath(const QString& proposedName, const QString& filter,
                        const QString& defaultSuffix) override {
        saveQuestions.push_back({proposedName, filter, defaultSuffix});
        return saveAnswer;
    }
    void ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text) override {
        messages.push_back({icon, caption, text});
    }
    bool OpenWithDefaultProgram(const QString& path) override {
        opened << path;
        return openSucceeds;
    }
    QString AskFolder(const QString&) override {
        ++folderQuestions;
        return folderAnswer;
    }
    int AskChoice(QMessageBox::Icon icon, const QString& caption, const QString& text,
                  const QStringList& buttons) override {
        questions.push_back({icon, caption, text, buttons});
        return choiceAnswer;
    }
    void OpenLink(const QUrl& url) override { links << url; }
    QAction* ExecMenu(QMenu& menu, const QPoint& globalPosition) override {
        ++menusShown;
        menuPosition = globalPosition;
        menuTexts.clear();
        QAction* chosen = nullptr;
        for (QAction* action : menu.actions()) {
            menuTexts << action->text();
            if (action->data().toInt() == menuChoice)
                chosen = action;
        }
        return chosen;
    }
};

inline const std::string kNote = "IPM.Microsoft Mail.Note";

// A note with an RTF body and the given attachments (name, content).
// What the body view shows above a NoteBytes body: its header line, the rule, a blank line.
inline const QString kHelloHeader = QStringLiteral("Subject: Hello\n\n\n");

inline std::string NoteBytes(const std::string& bodyRtf,
                             const std::vector<std::pair<std::string, std::string>>& attachments) {
    TnefBuilder builder;
    builder.messageClass(kNote).subject("Hello");
    if (!bodyRtf.empty())
        builder.messageProps(PropertyList().binary(0x1009, compressRtf(bodyRtf)));
    for (const auto& [name, content] : attachments)
        builder.attach(name, content);
    return builder.bytes();
}

// Writes `bytes` as a file in `dir` and gives its path.
inline QString WriteTnef(const ScratchDir& dir, const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = dir.path() / name;
    WriteFile(path, bytes);
    return QString::fromStdString(path.string());
}

inline QStringList ItemTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

inline std::string WithoutSlash(std::string path) {
    if (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

// Points $TMPDIR at a folder of the test's own while it lives, so that the scratch folders
// the window makes can be counted.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        if (const char* old = getenv("TMPDIR"))
            previous_ = old;
        setenv("TMPDIR", dir_.path().c_str(), 1);
    }
    ~TemporaryFolder() {
        if (previous_)
            setenv("TMPDIR", previous_->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    const std::filesystem::path& path() const { return dir_.path(); }
    size_t entries() const { return dir_.fileNames().size(); }

  private:
    ScratchDir dir_;
    std::optional<std::string> previous_;
};

}  // namespace parcelo::testing
