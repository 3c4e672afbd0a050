// The shell's "open": hands an address or a file to the desktop's opener (browser, mail
// program, file viewer) or starts a program. Components that open things take a ShellOpener of
// their own, so a test answers for one object and nothing is really opened.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

// How the opened program's window should appear. The desktop decides in the end; the mode is
// carried so that callers state their intent and tests can check it.
enum class ShellShowMode { ShowNormal = 1, ShowNoActivate = 4 };

struct ShellOpenRequest {
    QString operation = "open";
    QString file;       // an address with its scheme ("http://...", "mailto:...") or a file path
    QString parameters; // command-line parameters when `file` is a program; else empty
    QString directory;  // working folder for a program; empty for the current one
    ShellShowMode show = ShellShowMode::ShowNormal;
    QPointer<QWidget> owner; // the window on whose behalf the request is made; may be null
};

// Opens the request's file. The result follows the shell's convention: above 32 means success;
// 2 means the file or address could not be opened.
int ShellExecute(const ShellOpenRequest& request);

constexpr int ShellErrorFileNotFound = 2;

// What a component calls to open a request: ShellExecute unless a test gave it another.
using ShellOpener = std::function<int(const ShellOpenRequest&)>;
// Runs `opener`, or ShellExecute when it is empty.
int ShellOpen(const ShellOpener& opener, const ShellOpenRequest& request);

// True in a test run (TALLYHORN_TEST set) or on a platform without a desktop (offscreen,
// minimal). ShellExecute then opens nothing and reports failure, so no test can start a browser
// by accident.
bool NoDesktop();
