// The save-file dialog, with a hook that tests use to answer it.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

// One entry of the dialog's file-type list: the text the user sees and the name patterns it
// lists. Patterns match without regard to letter case; "*.*" lists every file, also one
// without a dot.
struct FileFilter {
    QString text;
    QStringList patterns;
};

struct SaveFileRequest {
    QString caption;
    QString fileName; // proposed name (may be empty), in `directory`
    QString directory;
    QList<FileFilter> filters;
    int filterIndex = 1;         // the filter selected at first, counted from 1
    bool overwritePrompt = true; // ask before replacing an existing file
    bool folderMustExist = true; // the chosen file's folder must exist
    QPointer<QWidget> owner;     // the window the dialog is modal to; may be null
};

struct SaveFileAnswer {
    bool accepted = false;
    QString fileName;    // the chosen path as typed (no extension is added)
    int filterIndex = 1; // the filter selected when the user accepted, counted from 1
};

// Shows the dialog modally. Cancel gives accepted = false.
SaveFileAnswer SaveFileDialog(const SaveFileRequest& request);

// The patterns a filter lists, as the dialog applies them ("*.*" becomes "*").
QStringList DialogPatterns(const FileFilter& filter);

// While a hook is installed, SaveFileDialog hands every request to it and returns its answer.
// Pass an empty function to remove it.
using SaveFileHook = std::function<SaveFileAnswer(const SaveFileRequest&)>;
void SetSaveFileHook(SaveFileHook hook);
