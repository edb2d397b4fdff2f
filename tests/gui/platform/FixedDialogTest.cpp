// The frame shared by the fixed-size dialogs: every showing the program asks for runs the
// dialog's FormShow, and an error there is reported without keeping the dialog from showing.
#include "platform/FixedDialog.h"
#include "core/common/Error.h"
#include "platform/Prompts.h"

#include <QScreen>
#include <QtTest>

using namespace marlix;

namespace {

class CountingDialog : public FixedDialog {
public:
    explicit CountingDialog(QWidget *parent = nullptr)
        : FixedDialog(parent, QStringLiteral("Counting"), {200, 100}) {}
    int shows = 0;
    bool fail = false;
    void FormShow() override {
        ++shows;
        if (fail)
            throw Error::listIndex(shows);
    }
};

} // namespace

class FixedDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Prompts::setTestMode(true);
        Prompts::reset();
    }

    void everyShowingRunsFormShowOnce() {
        CountingDialog dialog;
        QCOMPARE(dialog.shows, 0);
        dialog.show();
        QCOMPARE(dialog.shows, 1);
        dialog.show(); // already visible: no new showing
        QCOMPARE(dialog.shows, 1);
        dialog.hide();
        dialog.show();
        QCOMPARE(dialog.shows, 2);
        QVERIFY(Prompts::shown().isEmpty());
        QCOMPARE(dialog.minimumSize(), QSize(200, 100));
        QCOMPARE(dialog.maximumSize(), QSize(200, 100));
    }

    void dialogOpenedOffCentreOverItsParent() {
        QWidget owner;
        owner.setGeometry(10, 10, 300, 200);
        owner.show();
        CountingDialog dialog(&owner);
        const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
        for (int showing = 0; showing < 3; ++showing) {
            dialog.show();
            QVERIFY(qAbs(dialog.geometry().center().x() - middle.x()) <= 1);
            QVERIFY(qAbs(dialog.geometry().center().y() - middle.y()) <= 1);
            dialog.hide();
            dialog.move(dialog.pos() + QPoint(0, 40)); // wherever it was left
        }
    }

    void anErrorInFormShowIsReportedAndTheDialogStillShows() {
        CountingDialog dialog;
        dialog.fail = true;
        dialog.show();
        QVERIFY(dialog.isVisible());
        QCOMPARE(Prompts::shownTexts(), QStringList({"List index out of bounds (1)"}));
        QCOMPARE(Prompts::shown().constFirst().icon, QMessageBox::Critical);
        QCOMPARE(Prompts::shown().constFirst().caption, QStringLiteral("Marlix"));
    }
};

QTEST_MAIN(FixedDialogTest)
#include "FixedDialogTest.moc"
