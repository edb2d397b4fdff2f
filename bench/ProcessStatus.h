#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>

// A field of /proc/self/status in kB ("VmRSS:" resident now, "VmHWM:" its peak), or -1.
inline long processStatusKb(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}
