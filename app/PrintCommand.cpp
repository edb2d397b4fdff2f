#include "app/PrintCommand.h"

#include "editor/AdvEdit.h"
#include "editor/PrintableCopy.h"
#include "platform/ErrorDisplay.h"

#include <Qsci/qsciprinter.h>

#include <QPrintDialog>

namespace marlix {

void printScript(QWidget *parent, TAdvEdit *editor, QsciPrinter *preset) {
    if (!editor)
        return;
    QsciPrinter dialogPrinter(QPrinter::HighResolution);
    QsciPrinter *printer = preset;
    if (!printer) {
        QPrintDialog dialog(&dialogPrinter, parent);
        dialog.setWindowTitle(QStringLiteral("Print"));
        if (editor->hasSelectedText())
            dialog.setOption(QAbstractPrintDialog::PrintSelection);
        if (dialog.exec() != QDialog::Accepted)
            return;
        printer = &dialogPrinter;
    }
    // Long lines wrap at the page's edge instead of being cut off.
    printer->setWrapMode(QsciScintilla::WrapWord);
    int from = -1, to = -1;
    if (printer->QPrinter::printRange() == QPrinter::Selection && editor->hasSelectedText()) {
        int lineTo = 0, indexTo = 0, indexFrom = 0;
        editor->getSelection(&from, &indexFrom, &lineTo, &indexTo);
        to = lineTo;
    }
    // The copy prints bytes 0x80-0x9F as the characters the editor shows for them.
    if (!printer->printRange(printableCopy(*editor).get(), from, to))
        showMessage(parent, QStringLiteral("The script could not be printed."));
}

} // namespace marlix
