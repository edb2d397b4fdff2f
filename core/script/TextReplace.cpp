#include "core/script/TextReplace.h"

namespace marlix {

Replacement::Replacement(const TextSearch &search, const QByteArray &text) {
    if (!search.options().regularExpression) {
        m_parts.append(Part{-1, text});
        return;
    }
    QByteArray literal;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            literal += c;
            continue;
        }
        const char next = text[++i];
        if (next >= '0' && next <= '9') {
            const int group = next - '0';
            if (group > search.groupCount()) {
                m_error = QStringLiteral("The replacement names group \\%1; the expression has "
                                         "%2")
                              .arg(group)
                              .arg(search.groupCount());
            }
            m_parts.append(Part{-1, literal});
            m_parts.append(Part{group, {}});
            literal.clear();
            continue;
        }
        switch (next) {
        case 'n':
            literal += '\n';
            break;
        case 'r':
            literal += '\r';
            break;
        case 't':
            literal += '\t';
            break;
        case '\\':
            literal += '\\';
            break;
        default:
            literal += '\\';
            literal += next;
        }
    }
    m_parts.append(Part{-1, literal});
}

QByteArray Replacement::bytesFor(const QRegularExpressionMatch *groups) const {
    QByteArray bytes;
    for (const Part &part : m_parts) {
        if (part.group < 0)
            bytes += part.bytes;
        else if (groups)
            bytes += groups->captured(part.group).toLatin1();
    }
    return bytes;
}

std::optional<TextEdit> replaceAt(const TextSearch &search, const TextView &text, qsizetype pos,
                                  const QByteArray &replacement) {
    const Replacement rule(search, replacement);
    const SearchMatch at = search.matchAt(text, pos);
    if (!rule.isValid() || !at.found())
        return std::nullopt;
    // The groups come from the same walk as Replace All's, so both give the same bytes.
    std::optional<TextEdit> edit;
    search.forEachMatch(text, pos, pos + 1,
                        [&](const SearchMatch &match, const QRegularExpressionMatch *groups) {
                            edit = TextEdit{match.start, match.length, rule.bytesFor(groups)};
                            return false;
                        });
    return edit;
}

ReplaceAllResult replaceAll(const TextSearch &search, const TextView &text,
                            const QByteArray &replacement, qsizetype start, qsizetype end) {
    ReplaceAllResult result;
    const Replacement rule(search, replacement);
    result.errorText = !search.isValid() ? search.errorText() : rule.errorText();
    if (!result.errorText.isEmpty())
        return result;
    const qsizetype stopped = search.forEachMatch(
        text, start, end, [&](const SearchMatch &match, const QRegularExpressionMatch *groups) {
            result.edits.append({match.start, match.length, rule.bytesFor(groups)});
            return true;
        });
    // The matches before the place given up are not all there are: replacing them alone would
    // leave the script half done.
    if (stopped >= 0) {
        result.edits.clear();
        result.errorText = searchStoppedText(lineNumberAt(text, stopped));
    }
    return result;
}

ReplaceAllResult replaceAll(const TextSearch &search, const TextView &text,
                            const QByteArray &replacement) {
    return replaceAll(search, text, replacement, text.offset, text.offset + text.size);
}

namespace {

// The bytes of [from, to) of the text with the edits inside it made; `base[pos]` is the byte
// at position pos.
QByteArray spliced(const char *base, qsizetype from, qsizetype to, const QList<TextEdit> &edits) {
    qsizetype grow = 0;
    for (const TextEdit &edit : edits)
        grow += edit.bytes.size() - edit.length;
    QByteArray out;
    out.reserve(to - from + std::max<qsizetype>(0, grow));
    qsizetype pos = from;
    for (const TextEdit &edit : edits) {
        out.append(base + pos, edit.start - pos);
        out.append(edit.bytes);
        pos = edit.start + edit.length;
    }
    out.append(base + pos, to - pos);
    return out;
}

} // namespace

QByteArray applyEdits(const QByteArray &text, const QList<TextEdit> &edits) {
    return spliced(text.constData(), 0, text.size(), edits);
}

TextEdit combinedEdit(const TextView &text, const QList<TextEdit> &edits) {
    if (edits.isEmpty())
        return {};
    const qsizetype start = edits.front().start;
    const qsizetype end = edits.back().start + edits.back().length;
    return {start, end - start, spliced(text.data - text.offset, start, end, edits)};
}

} // namespace marlix
