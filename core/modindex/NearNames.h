#pragma once

#include <QByteArray>
#include <QByteArrayList>

// "Did you mean": the names a few typing slips away from a word, letter case ignored.
namespace marlix {

// The number of letters to insert, delete or change to turn one word into the other, letter
// case ignored; `limit` + 1 as soon as it is sure to be more than `limit`.
int editDistance(const QByteArray &a, const QByteArray &b, int limit);

// At most `count` of the candidates nearest the word, none further than `limit`, nearest
// first (then in the candidates' order); the word itself (in any letter case) is not among
// them.
QByteArrayList nearestNames(const QByteArray &word, const QByteArrayList &candidates, int limit,
                            int count);

} // namespace marlix
