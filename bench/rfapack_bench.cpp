// Packs a generated mod folder of 5,000 files (60 MB) with the real marlix-rfapack, plain and
// compressed, and extracts both archives again. Targets: pack under 3 s plain and under 6 s
// compressed, extract under 2 s.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// Script-like text with some binary among it, so compression has about as much to do as on
// a real mod's mix of scripts and textures.
QByteArray fileContent(QRandomGenerator &random, int size) {
    static const QByteArray words[] = {"ObjectTemplate.create ",
                                       "Bundle ",
                                       "rem ",
                                       "setPosition ",
                                       "0/0.5/1 ",
                                       "\r\n",
                                       "include ",
                                       "Tank_",
                                       "geometry "};
    QByteArray bytes;
    bytes.reserve(size);
    const bool binary = random.bounded(4) == 0;
    while (bytes.size() < size) {
        if (binary)
            bytes.append(char(random.bounded(256)));
        else
            bytes.append(words[random.bounded(int(std::size(words)))]);
    }
    bytes.truncate(size);
    return bytes;
}

double run(const QStringList &arguments) {
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(RFAPACK_EXE), arguments);
    process.waitForFinished(-1);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (process.exitCode() != 0)
        std::printf("  (failed: %s)\n", qPrintable(arguments.join(' ')));
    return seconds;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString source = dir.filePath("mod/objects");
    QRandomGenerator random(42);
    constexpr int files = 5000;
    constexpr qint64 total = 60'000'000;
    qint64 written = 0;
    for (int i = 0; i < files; ++i) {
        const QString folder = QStringLiteral("%1/f%2/g%3").arg(source).arg(i % 40).arg(i % 7);
        QDir().mkpath(folder);
        const int size = int((total - written) / (files - i) * (0.5 + random.generateDouble()));
        QFile file(QStringLiteral("%1/file%2.con").arg(folder).arg(i));
        file.open(QIODevice::WriteOnly);
        file.write(fileContent(random, i == files - 1 ? int(total - written) : size));
        written += file.size();
    }
    std::printf("source: %d files, %.1f MB\n", files, written / 1e6);

    const QString plain = dir.filePath("plain.rfa"), packed = dir.filePath("packed.rfa");
    std::printf("pack uncompressed:   %.2f s (target < 3 s)\n",
                run({"pack", source, "objects", plain}));
    const double compressing = run({"pack", source, "objects", packed, "--compress"});
    std::printf("pack compressed:     %.2f s (target < 6 s), archive %.1f MB\n", compressing,
                QFileInfo(packed).size() / 1e6);
    std::printf("extract uncompressed: %.2f s (target < 2 s)\n",
                run({"extract", plain, dir.filePath("out1")}));
    std::printf("extract compressed:  %.2f s (target < 2 s)\n",
                run({"extract", packed, dir.filePath("out2")}));
    return 0;
}
