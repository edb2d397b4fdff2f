// The main window's Find, Replace and Go to Line: bars at the bottom of the active tab page.
#include "app/frmMain.h"

#include "app/FindBar.h"
#include "app/GoToLineBar.h"
#include "app/PageControl.h"
#include "editor/AdvEdit.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>

using marlix::FindBar;
using marlix::GoToLineBar;

void TFormMain::createFindMenu() {
    const auto entry = [this](const QString &caption, const QKeySequence &key,
                              void (TFormMain::*handler)(), const char *name) {
        QAction *action = addEntry(mnuEdit, caption, key, handler);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    mnuFind = entry(QStringLiteral("Find"), QKeySequence(Qt::CTRL | Qt::Key_F),
                    &TFormMain::mnuFindClick, "mnuFind");
    mnuFindNext = entry(QStringLiteral("Find Next"), QKeySequence(Qt::Key_F3),
                        &TFormMain::mnuFindNextClick, "mnuFindNext");
    mnuFindPrevious = entry(QStringLiteral("Find Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
                            &TFormMain::mnuFindPreviousClick, "mnuFindPrevious");
    mnuReplace = entry(QStringLiteral("Replace"), QKeySequence(Qt::CTRL | Qt::Key_R),
                       &TFormMain::mnuReplaceClick, "mnuReplace");
    mnuGoToLine = entry(QStringLiteral("Go to Line..."), QKeySequence(Qt::CTRL | Qt::Key_G),
                        &TFormMain::mnuGoToLineClick, "mnuGoToLine");
}

namespace {

// One bar at a time at the bottom of a page.
void hideOtherBar(QWidget *page, bool keepFind) {
    if (keepFind) {
        if (auto *bar = GoToLineBar::ofPage(page, nullptr, false))
            bar->hide();
    } else if (auto *bar = FindBar::ofPage(page, nullptr, false)) {
        bar->close();
    }
}

} // namespace

void TFormMain::mnuFindClick() {
    if (TAdvEdit *editor = activeEditor()) {
        hideOtherBar(tabControl->ActivePage(), true);
        FindBar::ofPage(tabControl->ActivePage(), editor, true)->open(false);
    }
}

void TFormMain::mnuReplaceClick() {
    if (TAdvEdit *editor = activeEditor()) {
        hideOtherBar(tabControl->ActivePage(), true);
        FindBar::ofPage(tabControl->ActivePage(), editor, true)->open(true);
    }
}

void TFormMain::mnuFindNextClick() {
    TAdvEdit *editor = activeEditor();
    if (!editor)
        return;
    FindBar *bar = FindBar::ofPage(tabControl->ActivePage(), editor, false);
    if (!bar || bar->findField->text().isEmpty())
        mnuFindClick();
    else
        bar->findNext();
}

void TFormMain::mnuFindPreviousClick() {
    TAdvEdit *editor = activeEditor();
    if (!editor)
        return;
    FindBar *bar = FindBar::ofPage(tabControl->ActivePage(), editor, false);
    if (!bar || bar->findField->text().isEmpty())
        mnuFindClick();
    else
        bar->findPrevious();
}

void TFormMain::mnuGoToLineClick() {
    if (TAdvEdit *editor = activeEditor()) {
        hideOtherBar(tabControl->ActivePage(), false);
        GoToLineBar::ofPage(tabControl->ActivePage(), editor, true)->open();
    }
}
