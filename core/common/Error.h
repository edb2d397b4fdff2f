#pragma once

#include <QString>
#include <exception>

namespace marlix {

// A failure the user is meant to read. The text is shown as it stands by the application's
// general error display, so it carries the exact wording of the message box.
class Error : public std::exception {
public:
    explicit Error(QString text);

    const QString &text() const { return m_text; }
    const char *what() const noexcept override { return m_utf8.constData(); }

    static Error cannotOpen(const QString &path);   // "Cannot open file %s"
    static Error cannotCreate(const QString &path); // "Cannot create file %s"
    static Error notInteger(const QString &text);   // "'%s' is not a valid integer value"
    static Error listIndex(int index);              // "List index out of bounds (%d)"

private:
    QString m_text;
    QByteArray m_utf8;
};

} // namespace marlix
