#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The hand-off between a later start of the program and the running one: the later start
// writes its command line into params.ini beside the program; the running one takes it up
// when its main window is painted.
namespace marlix {

inline QString handOffFileName() {
    return QStringLiteral("params.ini");
}

// Parameters 1 to n (parameter 0 is the program itself), joined with nothing between them.
QString joinedParameters(const QStringList &arguments);

// The file a start's command line names: the joined parameters, made absolute against the
// folder the start was made from, so that a relative name means the same file to a running
// window started elsewhere. No parameters give the empty text.
QString commandLineFile(const QStringList &arguments, const QString &workingFolder);

// Writes the one-line hand-off file whole. Throws cannotCreate.
void writeHandOff(const QString &fileName, const QString &text);

// Takes the hand-off up: when the file is there it is read and deleted, and its first line
// (if it has one) is returned. The file is gone before the caller acts on the line, so a
// message box raised while opening it cannot make a nested paint act on it a second time.
// A hand-off that cannot be read names nothing; it is removed all the same, because it would
// otherwise be tried again on every paint; so does one that cannot be removed.
std::optional<QString> takeHandOff(const QString &fileName);

} // namespace marlix
