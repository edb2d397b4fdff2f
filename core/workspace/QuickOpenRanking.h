#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Quick open: what the user typed, and the candidates (script paths or defined names) that
// hold its letters in order, best first.
namespace marlix {

struct QuickOpenQuery {
    enum Kind { Path, Name, Line };
    Kind kind = Path;
    QString text; // the letters to look for (blanks dropped, "\" read as "/")
    int line = 0; // a line to go to, counting from 1; 0 for none
};

// "tank" a path, "tank:40" a path and a line, "@Tank_Hull" a defined name, ":40" a line of
// the script in view.
QuickOpenQuery parseQuickOpenQuery(const QString &input);

// Whether the letters of `query` occur in `text` in the same order (both already folded).
bool isSubsequence(QStringView query, QStringView text);

class QuickOpenRanking {
public:
    // The candidates as shown, "/" between folders; a name is a candidate without folders.
    void setCandidates(const QStringList &candidates);
    qsizetype size() const { return qsizetype(m_candidates.size()); }
    const QString &candidate(qsizetype index) const { return m_candidates[index].text; }

    // The indexes of the candidates that hold the query's letters in order, at most `limit`:
    // those whose file name holds them first (a file name that begins with the query before
    // one that holds it whole, before one that holds its letters apart), then shorter
    // candidates first, then in order ignoring case. Letter case is ignored. An empty query
    // gives the shortest candidates.
    QList<int> rank(const QString &query, int limit) const;

private:
    struct Candidate {
        QString text;
        QString folded;
        int nameStart = 0; // where the file name begins in `folded`
    };
    std::vector<Candidate> m_candidates;
};

} // namespace marlix
