// Measures the find bar's work on a large script, Replace All of 10,000 matches and Find in
// Files over a mod's worth of scripts. The searches are the core's; the editor steps (marks as
// indicators, Replace All as one undo step) run on a bare QScintilla control to show what the
// window adds.
#include "core/search/FindInFiles.h"
#include "core/script/TextReplace.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>
#include <algorithm>
#include <cstdio>

namespace {

using Sci = QsciScintillaBase;

double ms(const QElapsedTimer &timer) {
    return timer.nsecsElapsed() / 1e6;
}

// Script lines as mods write them; `serial` makes the names differ from line to line.
QByteArray scriptLine(int serial) {
    static const char *const shapes[] = {
        "ObjectTemplate.create PlayerControlObject Tank%1",
        "ObjectTemplate.setNetworkableInfo BasicInfo",
        "rem settings of the hull %1 follow",
        "ObjectTemplate.addTemplate TankHull%1",
        "if v_arg1 == host",
        "  ObjectTemplate.setPosition 0/0.4/%1",
        "endIf",
        "include ../Common/Tank%1.con",
        "GeometryTemplate.create StandardMesh tank_m%1",
        "ObjectTemplate.hasCollisionPhysics 1",
    };
    QByteArray line = QByteArray(shapes[serial % 10]).replace("%1", QByteArray::number(serial));
    if (serial % 20 == 14)
        line.replace("host", "local"); // "host" on every 20th line only
    return line.leftJustified(40 + serial % 3, ' ');
}

// 200,000 lines of about 42 bytes with CR LF: 8.5 MB.
QByteArray largeScript() {
    QByteArray text;
    text.reserve(9 << 20);
    for (int i = 0; i < 200000; ++i)
        text += scriptLine(i) + "\r\n";
    return text;
}

template <typename F> double best(int runs, F &&work) {
    double fastest = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        fastest = std::min(fastest, ms(timer));
    }
    return fastest;
}

void markAllMatches(const QByteArray &script) {
    QsciScintilla edit;
    edit.setUtf8(false);
    edit.SendScintilla(Sci::SCI_ADDTEXT, static_cast<unsigned long>(script.size()),
                       script.constData());
    const auto *data =
        reinterpret_cast<const char *>(edit.SendScintilla(Sci::SCI_GETCHARACTERPOINTER));
    const marlix::TextView view = marlix::TextView::whole(data, script.size());
    for (const bool regex : {false, true}) {
        const marlix::TextSearch search(regex ? "tank\\d+" : "StandardMesh",
                                        {false, true, regex, true});
        qsizetype found = 0;
        const double count = best(5, [&] { found = search.count(view); });
        const double mark = best(5, [&] {
            edit.SendScintilla(Sci::SCI_SETINDICATORCURRENT, 8UL);
            edit.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL, script.size());
            for (const marlix::SearchMatch &m : search.findAll(view, 0, script.size()))
                edit.SendScintilla(Sci::SCI_INDICATORFILLRANGE, m.start, m.length);
        });
        std::printf("mark all %-14s %6lld matches in 8.5 MB: counted %.1f ms, "
                    "found and marked as indicators %.1f ms (target 100 ms)\n",
                    regex ? "(expression)" : "(word)", static_cast<long long>(found), count, mark);
    }
}

void replaceAllMatches(const QByteArray &script) {
    // Every 20th line holds the word "host": 10,000 matches.
    const marlix::TextSearch search("host", {true, true, false, true});
    const marlix::TextView view = marlix::TextView::whole(script);
    marlix::ReplaceAllResult result;
    const double edits = best(5, [&] { result = marlix::replaceAll(search, view, "server"); });
    QByteArray replaced;
    const double bytes = best(5, [&] { replaced = marlix::applyEdits(script, result.edits); });

    const marlix::TextSearch groups("(tank)_m(\\d+)", {false, true, true, true});
    marlix::ReplaceAllResult grouped;
    const double regexEdits =
        best(5, [&] { grouped = marlix::replaceAll(groups, view, "\\1_mesh\\2"); });

    // As one change, the way the find bar applies it: one undo step, one notification.
    QsciScintilla edit;
    edit.setUtf8(false);
    edit.SendScintilla(Sci::SCI_ADDTEXT, static_cast<unsigned long>(script.size()),
                       script.constData());
    edit.SendScintilla(Sci::SCI_EMPTYUNDOBUFFER);
    QElapsedTimer timer;
    timer.start();
    const auto *data =
        reinterpret_cast<const char *>(edit.SendScintilla(Sci::SCI_GETCHARACTERPOINTER));
    const marlix::TextEdit one =
        marlix::combinedEdit(marlix::TextView::whole(data, script.size()), result.edits);
    edit.SendScintilla(Sci::SCI_SETTARGETRANGE, one.start, one.start + one.length);
    edit.SendScintilla(Sci::SCI_REPLACETARGET, one.bytes.size(), one.bytes.constData());
    const double apply = ms(timer);
    const bool same = edit.SendScintilla(Sci::SCI_GETLENGTH) == replaced.size();
    timer.restart();
    edit.SendScintilla(Sci::SCI_UNDO);
    const double undo = ms(timer);
    const bool restored = edit.SendScintilla(Sci::SCI_GETLENGTH) == script.size();
    std::printf("replace all %lld matches: edits %.1f ms, new text %.1f ms, as one change in the "
                "editor %.1f ms%s, undone in %.1f ms%s (target 300 ms)\n",
                static_cast<long long>(result.count()), edits, bytes, apply,
                same ? "" : " (WRONG LENGTH)", undo, restored ? "" : " (UNDO FAILED)");
    std::printf("replace all %lld matches with groups \\1 \\2: edits %.1f ms\n",
                static_cast<long long>(grouped.count()), regexEdits);
}

void findInFiles() {
    QTemporaryDir dir;
    QStringList paths;
    qint64 total = 0;
    for (int f = 0; f < 5000; ++f) {
        const QString sub = dir.filePath(QStringLiteral("cat%1").arg(f % 20));
        QDir().mkpath(sub);
        QByteArray text;
        for (int i = 0; text.size() < 12000; ++i)
            text += scriptLine(f * 300 + i) + "\r\n";
        paths << sub + QStringLiteral("/script%1.con").arg(f);
        QFile file(paths.last());
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(text);
        total += text.size();
    }
    for (const bool regex : {false, true}) {
        marlix::FindInFilesOptions run;
        run.threads = 2;
        marlix::FindInFilesResult result;
        const QByteArray pattern = regex ? "TankHull\\d*03" : "TankHull1003";
        const double time = best(3, [&] {
            result = marlix::findInFiles(paths, pattern, {false, true, regex, true}, run);
        });
        std::printf("find in files %-12s %d scripts, %.1f MB, 2 threads: %lld matches in "
                    "%.1f ms (target 1000 ms)\n",
                    regex ? "(expression)" : "(word)", result.filesSearched, total / 1e6,
                    static_cast<long long>(result.matches.size()), time);
    }
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QByteArray script = largeScript();
    std::printf("script: %lld bytes, 200000 lines\n", static_cast<long long>(script.size()));
    markAllMatches(script);
    replaceAllMatches(script);
    findInFiles();
    return 0;
}
