#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>

// The header block kept at the top of every saved script: a star line, the date line with the
// time of the last save, the star line again and an empty line.
namespace marlix {

QByteArray headerStarLine();   // "rem " followed by 90 asterisks
QByteArray headerDatePrefix(); // "rem ** Last saved date: "

// The date and time as the system writes them: short date, a blank and the long time; the
// blank and the time are left out at exactly midnight.
QString dateTimeText(const QDateTime &when, const QLocale &locale = QLocale::system());
QByteArray headerDateLine(const QDateTime &when, const QLocale &locale = QLocale::system());

// The four header lines, each followed by CR LF, to insert before the first line.
QByteArray headerBlockText(const QByteArray &dateLine);

// True when the first three lines are a header block this program wrote: star line, a date
// line, star line.
bool carriesHeaderBlock(const QByteArray &line1, const QByteArray &line2, const QByteArray &line3);

} // namespace marlix
