#include "app/MarlixApplication.h"
#include "core/common/Error.h"
#include "platform/Prompts.h"

#include <QTest>
#include <QTimer>

using namespace marlix;

namespace {
class Throwing : public QObject {
public:
    bool event(QEvent *e) override {
        if (e->type() == QEvent::User)
            throw Error::cannotOpen(QStringLiteral("/x.con"));
        if (e->type() == QEvent::User + 1)
            throw std::runtime_error("plain failure");
        return QObject::event(e);
    }
};
} // namespace

// The application object's last line of defence: an exception that escapes an event handler
// reaches the error display and the program goes on.
class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void strayExceptionsReachTheErrorDisplay() {
        Prompts::setTestMode(true);
        Prompts::reset();
        Throwing target;
        QEvent user(QEvent::User);
        QCOMPARE(QCoreApplication::sendEvent(&target, &user), false);
        QEvent plain(QEvent::Type(QEvent::User + 1));
        QCoreApplication::sendEvent(&target, &plain);
        bool later = false;
        QTimer::singleShot(0, &target, [] { throw Error::listIndex(3); });
        QTimer::singleShot(0, &target, [&later] { later = true; });
        QTRY_VERIFY(later);
        QCOMPARE(Prompts::shownTexts(), QStringList({"Cannot open file /x.con", "plain failure",
                                                     "List index out of bounds (3)"}));
        QCOMPARE(Prompts::shown().first().icon, QMessageBox::Critical);
        QCOMPARE(Prompts::shown().first().caption, QStringLiteral("Marlix"));
    }
};

int main(int argc, char **argv) {
    marlix::Application application(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "ApplicationTest.moc"
