#include "core/script/HeaderBlock.h"

#include <QRegularExpression>

namespace marlix {

QByteArray headerStarLine() {
    return QByteArray("rem ") + QByteArray(90, '*');
}

QByteArray headerDatePrefix() {
    return QByteArrayLiteral("rem ** Last saved date: ");
}

QString dateTimeText(const QDateTime &when, const QLocale &locale) {
    const QString date = locale.toString(when.date(), QLocale::ShortFormat);
    const QTime time = when.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    // Qt's long time format adds the time zone, which the system's long time does not show.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return date + QLatin1Char(' ') + locale.toString(time, format.trimmed());
}

QByteArray headerDateLine(const QDateTime &when, const QLocale &locale) {
    return headerDatePrefix() + dateTimeText(when, locale).toLatin1();
}

QByteArray headerBlockText(const QByteArray &dateLine) {
    const QByteArray star = headerStarLine();
    return star + "\r\n" + dateLine + "\r\n" + star + "\r\n\r\n";
}

bool carriesHeaderBlock(const QByteArray &line1, const QByteArray &line2, const QByteArray &line3) {
    const QByteArray star = headerStarLine();
    return line1 == star && line2.startsWith(headerDatePrefix()) && line3 == star;
}

} // namespace marlix
