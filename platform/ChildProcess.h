#pragma once

#include <QString>
#include <QStringList>

namespace marlix {

// Child processes started by the compile-and-launch dialog. Both calls wait for the child to
// end in a local event loop, so the program's windows stay responsive meanwhile.

// Runs a one-line batch file through /bin/sh in the given working folder. The CRs of the
// file's CR LF line ends are removed before the shell reads it, or the shell would take
// "compile.ini\r" as the redirected file's name. Returns false when nothing could be started:
// neither the shell nor the command the batch line names.
bool runBatchAndWait(const QString &batchPath, const QString &workingFolder);

// Starts a program with its parameter text split into arguments the way a shell splits them,
// at a raised priority when the system allows it. Returns false when it cannot be started.
bool runProgramAndWait(const QString &program, const QString &parameters,
                       const QString &workingFolder);

// The folder children run in: the root folder, standing for the Windows drive root.
QString childWorkingFolder();

} // namespace marlix
