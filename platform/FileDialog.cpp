#include "platform/FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QPointer>

QStringList DialogPatterns(const FileFilter& filter)
{
    QStringList patterns;
    for (const QString& pattern : filter.patterns)
        patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    return patterns;
}

SaveFileAnswer ChooseSaveFile(const SaveFileChooser& chooser, const SaveFileRequest& request)
{
    return chooser ? chooser(request) : SaveFileDialog(request);
}

namespace {
// Runs the dialog until the answer is known; `alive` turns empty when the dialog's owner took
// it away meanwhile, which answers as a cancel without touching the dialog again.
SaveFileAnswer RunSaveFileDialog(QFileDialog& dialog, const SaveFileRequest& request,
                                 const QPointer<QFileDialog>& alive)
{
    // Our own dialog, so that the file-type texts stay as given and match as stated below.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    dialog.setFilter((dialog.filter() | QDir::AllEntries) & ~QDir::CaseSensitive);
    QStringList texts;
    for (const FileFilter& filter : request.filters)
        texts << filter.text;
    dialog.setNameFilters(texts);

    // The dialog takes patterns from the text's parentheses; ours come from the filter itself
    // (a text such as "Zipped File" names none, and "*.*" must list names without a dot).
    auto model = dialog.findChild<QFileSystemModel*>();
    auto apply = [&](const QString& text) {
        const qsizetype index = texts.indexOf(text);
        if (model && index >= 0) {
            model->setNameFilterDisables(false);
            model->setNameFilters(DialogPatterns(request.filters.at(index)));
        }
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, apply);
    if (request.filterIndex >= 1 && request.filterIndex <= texts.size()) {
        dialog.selectNameFilter(texts.at(request.filterIndex - 1));
        apply(texts.at(request.filterIndex - 1));
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);

    SaveFileAnswer answer;
    for (;;) {
        const int result = dialog.exec();
        if (!alive || result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return answer;
        answer.fileName = dialog.selectedFiles().constFirst();
        // The chosen file's folder must exist.
        if (request.folderMustExist && !QFileInfo(answer.fileName).absoluteDir().exists())
            continue;
        break;
    }
    answer.accepted = true;
    answer.filterIndex = static_cast<int>(texts.indexOf(dialog.selectedNameFilter())) + 1;
    if (answer.filterIndex < 1)
        answer.filterIndex = 1;
    return answer;
}
} // namespace

SaveFileAnswer SaveFileDialog(const SaveFileRequest& request)
{
    // On the heap: an owner deleted while the dialog runs takes the dialog with it, and the
    // answer is then a cancel.
    const QPointer<QFileDialog> dialog =
        new QFileDialog(request.owner, request.caption, request.directory);
    const SaveFileAnswer answer = RunSaveFileDialog(*dialog, request, dialog);
    delete dialog.data();
    return answer;
}
