// Where a command's result goes: standard output or a file. Every write is checked, the flush
// and the close included, so a full disk, a file size limit or a device that refuses the bytes
// is an error the command reports, never a result cut short with status 0.
#pragma once

#include <QByteArray>
#include <QString>

class TCommandOutput {
public:
    // Writes `bytes` to standard output (descriptor 1) and closes it. False with `error` set to
    // the system's reason ("No space left on device").
    static bool WriteStandardOutput(const QByteArray& bytes, QString& error);

    // Writes `bytes` to the file `fileName`. A regular file (or a new one) is replaced whole: the
    // bytes go to a temporary file in its folder, which is renamed over it only when every byte
    // is on the disk, so a failure leaves the old file as it was, or no file. Where no
    // temporary file can be made there (a folder the user cannot write), nothing is written and
    // an existing file is not touched. A device, a pipe or a descriptor ("/dev/stdout") is
    // written as it is. False with `error` set to the system's reason.
    static bool WriteFile(const QString& fileName, const QByteArray& bytes, QString& error);
};
