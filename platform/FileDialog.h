// The save-file dialog. A component that asks for a file name takes a SaveFileChooser of its
// own, so a test answers for that one object and no dialog is shown.
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

// What a component calls to ask for a file name: SaveFileDialog unless a test gave it another.
using SaveFileChooser = std::function<SaveFileAnswer(const SaveFileRequest&)>;
// Runs `chooser`, or SaveFileDialog when it is empty.
SaveFileAnswer ChooseSaveFile(const SaveFileChooser& chooser, const SaveFileRequest& request);
