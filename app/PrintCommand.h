#pragma once

class QWidget;
class QsciPrinter;
class TAdvEdit;

namespace marlix {

// File > Print: the script with its colours, or its selection when the print dialog is told
// so. A preset printer is printed on without asking (its page setup is the caller's). A
// failure to print is reported.
void printScript(QWidget *parent, TAdvEdit *editor, QsciPrinter *preset);

} // namespace marlix
