// The queue of a printer of the printing system (CUPS), asked through libcups: whether it
// exists, takes jobs and is not stopped, and the hand-over of a print file as one job whose id
// tells that the queue took it. Qt's own printing hands its jobs over without looking at the
// answer, so a removed printer or a stopped service would lose the job without a word.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

enum class TQueueProblem {
    None,
    NoService,    // the printing system cannot be reached
    NoSuchQueue,  // the printing system has no queue of that name
    NotAccepting, // the queue rejects new jobs
    Stopped,      // the queue takes jobs but does not print them
    Refused       // the queue did not take the job (Submit)
};

struct TQueueState {
    TQueueProblem Problem = TQueueProblem::None;
    QString Detail; // the printing system's own words, when it gave some
};

using TQueueOptions = QList<std::pair<QByteArray, QByteArray>>;

namespace PrintQueue {
// The printing system's default queue; empty when there is none or no printing system answers.
QString DefaultQueue();
// True when the printing system answers and has at least one queue.
bool HasQueues();

// The state of `queue` ("name" or "name/instance") now.
TQueueState Check(const QString& queue);

// Hands the PDF `file` to `queue` as one job named `title`. Returns the job id (above 0), or 0
// with `state` saying why the queue did not take it.
int Submit(const QString& queue, const QString& file, const QString& title,
           const TQueueOptions& options, TQueueState& state);

// What the user reads when printing `report` (its name as the user knows it, "the Amortization
// Schedule") on `queue` fails: the report, the printer's name, what happened and what to do.
QString Message(const QString& report, const QString& queue, const TQueueState& state);
// What the user reads when `report` has no printer to go to and no file is chosen: either no
// printer is installed, or printers are but none is the default.
QString NoPrinterMessage(const QString& report, bool printersInstalled);
} // namespace PrintQueue
